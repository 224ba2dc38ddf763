#pragma once

// The buffer every row statement is written into.

#include <QString>

#include <algorithm>
#include <cstring>

// Appends to a QString through a pointer: a statement is put together from
// many small pieces for every row, and each would otherwise be a library call.
// The string is made longer by `expected` characters (at least 64) while
// writing and cut to the written length when the writer goes; a buffer reused
// from row to row keeps its memory.
class StatementBuffer {
public:
    explicit StatementBuffer(QString& text, qsizetype expected = 0) : m_text(text), m_size(text.size())
    {
        m_text.resize(m_size + std::max<qsizetype>(expected, 64));
        m_data = m_text.data();
        m_capacity = m_text.size();
    }
    ~StatementBuffer() { m_text.resize(m_size); }
    StatementBuffer(const StatementBuffer&) = delete;
    StatementBuffer& operator=(const StatementBuffer&) = delete;

    // Room for n characters at the end, written by the caller.
    QChar* room(qsizetype n)
    {
        if (m_size + n > m_capacity)
            grow(m_size + n);
        QChar* p = m_data + m_size;
        m_size += n;
        return p;
    }
    StatementBuffer& operator+=(QChar c)
    {
        *room(1) = c;
        return *this;
    }
    StatementBuffer& operator+=(QLatin1Char c) { return *this += QChar(c); }
    StatementBuffer& operator+=(QLatin1StringView latin1)
    {
        const char* from = latin1.data();
        QChar* to = room(latin1.size());
        for (qsizetype i = 0; i < latin1.size(); ++i)
            to[i] = QLatin1Char(from[i]);
        return *this;
    }
    StatementBuffer& operator+=(const QString& text)
    {
        append(text.constData(), text.size());
        return *this;
    }
    void append(const QChar* from, qsizetype n)
    {
        if (n > 0)
            std::memcpy(room(n), from, size_t(n) * sizeof(QChar));
    }

private:
    void grow(qsizetype needed)
    {
        m_text.resize(std::max(needed, 2 * m_capacity));
        m_data = m_text.data();
        m_capacity = m_text.size();
    }

    QString& m_text;
    qsizetype m_size;
    QChar* m_data = nullptr;
    qsizetype m_capacity = 0;
};

// The text that `write` puts into a buffer.
template <typename Write>
QString written(const Write& write)
{
    QString text;
    {
        StatementBuffer out(text);
        write(out);
    }
    return text;
}

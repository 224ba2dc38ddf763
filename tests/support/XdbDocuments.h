#pragma once

// XDB documents for the tests, written the way the ERP's writer pads its
// fixed columns.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace xdbdoc {

inline QString pad(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

inline QString right(const QString& text, int width)
{
    return text.rightJustified(width, QLatin1Char(' '));
}

// Key in columns 1-22, a separator in column 23, the value from column 24.
inline QString key(const QString& word, const QString& value)
{
    return pad(word, 22) + QLatin1Char(':') + value;
}

// "[felder]": name in 24-75, type code in 76-78, size in 80-82.
inline QString feld(const QString& name, int type, int size)
{
    return pad(QStringLiteral("feld "), 22) + QLatin1Char(':') + pad(name, 52) + right(QString::number(type), 3)
        + QLatin1Char(' ') + right(QString::number(size), 3);
}

inline QString tabelle(const QString& table)
{
    return key(QStringLiteral("tabelle"), table);
}

// The rename blocks: key in columns 1-24, values from column 26 (old up to 75, new from 77).
inline QString renameKey(const QString& word, const QString& value)
{
    return pad(word, 24) + QLatin1Char(':') + value;
}

inline QString renamePair(const QString& word, const QString& oldName, const QString& newName)
{
    return renameKey(word, pad(oldName, 50) + QLatin1Char('>') + newName);
}

// Old format: "#####" and the table from column 27; fields with name in
// 1-50, type 51-53, size 54-56 and the default from 57.
inline QString oldTable(const QString& table)
{
    return pad(QStringLiteral("#####"), 26) + table;
}

inline QString oldField(const QString& name, int type, int size, const QString& defaultText = QString())
{
    return pad(name, 50) + right(QString::number(type), 3) + right(QString::number(size), 3) + defaultText;
}

inline QByteArray windows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        Q_ASSERT(c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF));
        bytes.append(char(c.unicode()));
    }
    return bytes;
}

enum class Encoding { Windows1252, Utf8 };

inline QByteArray bytesOf(const QStringList& lines, const QByteArray& lineEnd = "\r\n",
                          Encoding encoding = Encoding::Windows1252)
{
    QByteArray out;
    for (const QString& line : lines) {
        out += encoding == Encoding::Utf8 ? line.toUtf8() : windows1252(line);
        out += lineEnd;
    }
    return out;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

}  // namespace xdbdoc

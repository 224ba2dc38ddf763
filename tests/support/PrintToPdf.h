#pragma once

// Printing into a PDF file as the tests do it: ScopedEnv sets the variable that
// sends the print there, pdfText and pdfPages read the file back.

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// Sets an environment variable (unsets it for a null value) for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// Text of a PDF file as pdftotext reads it; null when pdftotext is missing.
inline QString pdfText(const QString& pdfFile)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QString();
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), pdfFile, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Number of pages of a PDF file as pdfinfo reads it; -1 when pdfinfo is missing.
inline int pdfPages(const QString& pdfFile)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (tool.isEmpty())
        return -1;
    QProcess p;
    p.start(tool, {pdfFile});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return 0;
}

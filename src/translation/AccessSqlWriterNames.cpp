#include "sql/Names.h"
#include "translation/AccessSqlWriter.h"
#include "translation/AccessSqlWriterParts.h"

// The one name rule of the dialect (ReadsBare), with the quotes of view texts.
QString ServerName(const QString& name, Dialect dialect)
{
    return ViewTextName(name, dialect);
}

namespace accesssql::writer {

QString qualified(const QStringList& parts, Dialect dialect)
{
    QString result;
    for (const QString& part : parts) {
        if (!result.isEmpty())
            result += QLatin1Char('.');
        result += ServerName(part, dialect);
    }
    return result;
}

// Texts on one line: MySQL reads escapes for line breaks (and a backslash
// as an escape, so it is doubled); SQL Server gets CHAR() pieces, and N''
// when the text needs more than ASCII.
QString literal(const QString& text, Dialect dialect)
{
    if (dialect == Dialect::MySQL) {
        QString body;
        body.reserve(text.size() + 2);
        for (QChar c : text) {
            if (c == QLatin1Char('\\'))
                body += QLatin1String("\\\\");
            else if (c == QLatin1Char('\''))
                body += QLatin1String("''");
            else if (c == QLatin1Char('\r'))
                body += QLatin1String("\\r");
            else if (c == QLatin1Char('\n'))
                body += QLatin1String("\\n");
            else
                body += c;
        }
        return QLatin1Char('\'') + body + QLatin1Char('\'');
    }
    QStringList pieces;
    QString piece;
    bool wide = false;
    auto flush = [&] {
        if (!piece.isEmpty())
            pieces.append((wide ? QStringLiteral("N'") : QStringLiteral("'")) + piece + QLatin1Char('\''));
        piece.clear();
        wide = false;
    };
    for (QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            flush();
            pieces.append(c == QLatin1Char('\r') ? QStringLiteral("CHAR(13)") : QStringLiteral("CHAR(10)"));
        } else {
            piece += c;
            if (c == QLatin1Char('\''))
                piece += c;
            wide = wide || c.unicode() > 127;
        }
    }
    flush();
    if (pieces.isEmpty())
        return QStringLiteral("''");
    if (pieces.size() == 1)
        return pieces.first();
    return QLatin1Char('(') + pieces.join(QLatin1String(" + ")) + QLatin1Char(')');
}

// ISO forms. SQL Server reads "yyyy-mm-dd" as year-day-month for datetime
// under a German login, "yyyymmdd" and "yyyy-mm-ddThh:mm:ss" never.
QString dateLiteral(const DateTimeValue& d, Dialect dialect)
{
    if (dialect == Dialect::MySQL) {
        if (!d.hasTime)
            return QString::asprintf("'%04d-%02d-%02d'", d.year, d.month, d.day);
        return QString::asprintf("'%04d-%02d-%02d %02d:%02d:%02d'", d.year, d.month, d.day, d.hour, d.minute, d.second);
    }
    if (!d.hasTime)
        return QString::asprintf("'%04d%02d%02d'", d.year, d.month, d.day);
    return QString::asprintf("'%04d-%02d-%02dT%02d:%02d:%02d'", d.year, d.month, d.day, d.hour, d.minute, d.second);
}

// Access's like pattern (* ? # [list]) for MySQL's LIKE: no # and no lists.
QString likeForMySql(const QString& pattern)
{
    QString result;
    for (QChar c : pattern) {
        if (c == QLatin1Char('*'))
            result += QLatin1Char('%');
        else if (c == QLatin1Char('?'))
            result += QLatin1Char('_');
        else if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            result += QLatin1Char('\\') + c;
        else
            result += c;
    }
    return result;
}

namespace {

[[noreturn]] void badPattern(const QString& pattern)
{
    cannot(QStringLiteral("Like-Muster \"") + pattern + QStringLiteral("\" nicht übersetzbar"));
}

// The inside of a [list] at `open`, and the position of its "]".
QString likeList(const QString& pattern, qsizetype open, qsizetype& close)
{
    close = pattern.indexOf(QLatin1Char(']'), open + 1);
    if (close < 0 || close == open + 1)
        badPattern(pattern);
    return pattern.mid(open + 1, close - open - 1);
}

}  // namespace

// With # or a list the pattern becomes a regular expression on MySQL.
QString likeAsRegexp(const QString& pattern)
{
    static const QString special = QStringLiteral(".^$|()+{}\\");
    QString result = QStringLiteral("^");
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('*')) {
            result += QLatin1String(".*");
        } else if (c == QLatin1Char('?')) {
            result += QLatin1Char('.');
        } else if (c == QLatin1Char('#')) {
            result += QLatin1String("[0-9]");
        } else if (c == QLatin1Char('[')) {
            qsizetype close;
            QString list = likeList(pattern, i, close);
            result += QLatin1Char('[');
            if (list.startsWith(QLatin1Char('!'))) {
                if (list.size() == 1)
                    badPattern(pattern);
                result += QLatin1Char('^');
                list.remove(0, 1);
            }
            for (QChar l : list) {
                if (l == QLatin1Char('\\') || l == QLatin1Char('^') || l == QLatin1Char('['))
                    result += QLatin1Char('\\');
                result += l;
            }
            result += QLatin1Char(']');
            i = close;
        } else {
            if (special.contains(c) || c == QLatin1Char(']'))
                result += QLatin1Char('\\');
            result += c;
        }
    }
    return result + QLatin1Char('$');
}

// SQL Server's LIKE has lists of its own; % and _ are put in lists to stay literal.
QString likeForMsSql(const QString& pattern)
{
    QString result;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('*')) {
            result += QLatin1Char('%');
        } else if (c == QLatin1Char('?')) {
            result += QLatin1Char('_');
        } else if (c == QLatin1Char('#')) {
            result += QLatin1String("[0-9]");
        } else if (c == QLatin1Char('%') || c == QLatin1Char('_')) {
            result += QLatin1Char('[') + c + QLatin1Char(']');
        } else if (c == QLatin1Char('[')) {
            qsizetype close;
            QString list = likeList(pattern, i, close);
            if (list.startsWith(QLatin1Char('^')))
                badPattern(pattern);
            if (list.startsWith(QLatin1Char('!'))) {
                if (list.size() == 1)
                    badPattern(pattern);
                list[0] = QLatin1Char('^');
            }
            result += QLatin1Char('[') + list + QLatin1Char(']');
            i = close;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace accesssql::writer

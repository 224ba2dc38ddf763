#include "conversion/TableList.h"

#include "core/TimeOfDay.h"
#include "sql/DialectRecord.h"
#include "sql/Names.h"

QString PadName(const QString& name)
{
    QString entry = name;
    if (entry.size() < 40)
        entry += QString(40 - entry.size(), QLatin1Char(' '));
    entry += QLatin1Char('\t');
    return entry;
}

namespace {
QString trimBlanks(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}
}  // namespace

QString TableNameFromEntry(const QString& entry)
{
    const qsizetype bracket = entry.indexOf(QLatin1Char('['));
    if (bracket < 0)
        return trimBlanks(entry);
    // Everything before the tab in front of the bracket.
    return trimBlanks(entry.left(qMax<qsizetype>(0, bracket - 1)));
}

QString RowCountStatement(Dialect dialect, const QString& table)
{
    // MySQL's count has always had the name between grave accents.
    if (DialectRecord(dialect).columns == ColumnQuoting::Backticks)
        return QStringLiteral("SELECT COUNT(*) FROM ") + BacktickQuoted(table);
    return QStringLiteral("SELECT COUNT(*) FROM ") + SqlName(table, dialect);
}

QString TimeOfDayText(int s)
{
    return TimeOfDay::durationText(((s % 86400) + 86400) % 86400);
}

QString LastActionStatus(int startSeconds, int endSeconds)
{
    const int duration = TimeOfDay::elapsedSince(startSeconds, endSeconds);
    return QStringLiteral("Bereit. letzte Aktion: ") + TimeOfDayText(startSeconds) + QStringLiteral(" - ")
        + TimeOfDayText(endSeconds) + QStringLiteral("  |  ") + TimeOfDayText(duration);
}

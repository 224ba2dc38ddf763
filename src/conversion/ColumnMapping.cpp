#include "conversion/ColumnMapping.h"

#include "sql/DialectRecord.h"
#include "sql/Names.h"
#include "sql/TypeTables.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// Whether the dialect gives a column of this field a default at all.
bool takesDefault(const dao::Field& field, const SqlDialect& d)
{
    if (!d.defaultsOnLongTexts && (field.Type == dao::dbMemo || field.Type == dao::dbDate))
        return false;
    return d.dateDefaults || field.Type != dao::dbDate;
}

bool isOneOf(int type, std::initializer_list<int> types)
{
    for (int t : types)
        if (type == t)
            return true;
    return false;
}

// Access writes a true default as Yes, True, On or -1, in any case.
bool isTrueDefault(const QString& s)
{
    for (const char* word : {"yes", "true", "on", "-1"})
        if (s.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// "Now()" and "=Now()" alike; empty when the default is no function call.
QString calledFunction(const QString& defaultValue)
{
    static const QRegularExpression call(QStringLiteral("^\\s*=?\\s*([A-Za-z_][A-Za-z0-9_$]*)\\s*\\("));
    const QRegularExpressionMatch m = call.match(defaultValue);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

QString FunctionDefault(const QString& defaultValue, Dialect dialect)
{
    static const QRegularExpression now(QStringLiteral("^\\s*=?\\s*Now\\s*\\(\\s*\\)\\s*$"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression date(QStringLiteral("^\\s*=?\\s*Date\\s*\\(\\s*\\)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const SqlDialect& d = DialectRecord(dialect);
    if (now.match(defaultValue).hasMatch())
        return d.nowFunction.toString();
    if (date.match(defaultValue).hasMatch())
        return d.dateFunction.toString();
    return {};
}

QString DefaultLeftOut(const dao::Field& field, const ConversionOptions& options)
{
    if (calledFunction(field.DefaultValue).isEmpty() || !FunctionDefault(field.DefaultValue, options.dialect).isEmpty())
        return {};
    // Where no default is written anyway, nothing is lost.
    if (!takesDefault(field, DialectRecord(options.dialect)))
        return {};
    return QStringLiteral("Feld ") + field.Name + QStringLiteral(": der Standardwert ") + field.DefaultValue
        + QStringLiteral(" hat auf dem Server keine Entsprechung und wird ausgelassen.");
}

QString SQLDefault(const dao::Field& field, bool quoted, const ConversionOptions& options)
{
    const SqlDialect& d = DialectRecord(options.dialect);
    QString s = field.DefaultValue;
    // A function Access calls for each new row: the server's own where it has
    // one, else none; never a value for cells that are empty in Access.
    if (!calledFunction(s).isEmpty()) {
        if (!quoted || (field.Type == dao::dbDate && !d.dateDefaults))
            return {};
        return FunctionDefault(s, options.dialect);
    }
    if (!s.isEmpty()) {
        // Access keeps text defaults in double quotes; each end is stripped once.
        if (s.startsWith(QLatin1Char('"')))
            s.remove(0, 1);
        if (s.endsWith(QLatin1Char('"')))
            s.chop(1);
        if (s.isEmpty())
            s = QStringLiteral(" ");
        if (field.Type == dao::dbBoolean)
            s = isTrueDefault(s) ? QStringLiteral("1") : QStringLiteral("0");
        else if (quoted && isOneOf(field.Type, {dao::dbDate, dao::dbText, dao::dbMemo}))
            s = QLatin1Char('\'') + s + QLatin1Char('\'');
    } else {
        if (options.default0
            && isOneOf(field.Type, {dao::dbByte, dao::dbInteger, dao::dbLong, dao::dbSingle, dao::dbDouble}))
            s = QStringLiteral("0");
        if (options.defaultBlank && (field.Type == dao::dbText || (field.Type == dao::dbDate && d.blankDateDefault)))
            s = quoted ? QStringLiteral("' '") : QStringLiteral(" ");
        if (field.Type == dao::dbBoolean)
            s = QStringLiteral("0");
    }
    if (field.Type == dao::dbDate && !d.dateDefaults)
        s.clear();
    return s;
}

QString ServerTypeText(const dao::Field& field, const ConversionOptions& options)
{
    return ServerTypeFor(TypeTable::TableConversion, field.Type, options, field.Size, field.Precision, field.Scale);
}

QString ShortenColumnNames(QString text)
{
    // The full name is longer than the servers' 30-character limit for names.
    static const QString longName = QStringLiteral("Auftragsbestätigung_Französisch");
    static const QString shortName = QStringLiteral("AuftragsbestätigungFranzösisch");
    if (text.contains(longName, Qt::CaseInsensitive))
        text.replace(longName, shortName, Qt::CaseInsensitive);
    return text;
}

QString DefaultClause(const dao::Field& field, const ConversionOptions& options)
{
    const SqlDialect& d = DialectRecord(options.dialect);
    if (!d.defaultsOnLongTexts && (field.Type == dao::dbMemo || field.Type == dao::dbDate))
        return {};
    const QString value = SQLDefault(field, true, options);
    if (value.isEmpty())
        return {};
    return d.defaultKeyword.toString() + value;
}

QString NullabilityClause(const dao::Field& field, const QStringList& keyList, Dialect dialect)
{
    if (field.Required || field.Type == dao::dbBoolean || keyList.contains(field.Name, Qt::CaseInsensitive))
        return QStringLiteral("NOT NULL");
    return DialectRecord(dialect).nullKeyword.toString();
}

QString ColumnDefinitionLine(const dao::Field& field, const QString& separator, const QStringList& keyList,
                             const QString& table, const ConversionOptions& options,
                             const std::function<QString()>& primaryKeyClause, QString* pkClauseOut)
{
    if (!keyList.isEmpty() && field.Name.compare(keyList.first(), Qt::CaseInsensitive) == 0 && primaryKeyClause) {
        const QString clause = primaryKeyClause();
        if (pkClauseOut)
            *pkClauseOut = clause;
    }
    const QString blank = QStringLiteral(" ");
    return separator + WrittenColumnName(field.Name, table, options.dialect) + blank + ServerTypeText(field, options)
        + blank + DefaultClause(field, options) + blank + NullabilityClause(field, keyList, options.dialect) + blank;
}

#include "conversion/ColumnMapping.h"

#include "sql/DialectRecord.h"
#include "sql/Literals.h"
#include "sql/Names.h"
#include "sql/TypeTables.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

bool isOneOf(int type, std::initializer_list<int> types)
{
    for (int t : types)
        if (type == t)
            return true;
    return false;
}

bool isNumberType(int type)
{
    return isOneOf(
        type,
        {dao::dbByte, dao::dbInteger, dao::dbLong, dao::dbCurrency, dao::dbSingle, dao::dbDouble, dao::dbDecimal});
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

// A date as Access keeps it in a default: #m/d/yyyy [h:mm[:ss]]#, or the
// German and ISO forms users type.
std::optional<QDateTime> defaultDate(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('#')) && text.endsWith(QLatin1Char('#')))
        text = text.mid(1, text.size() - 2).trimmed();
    for (const char* format : {"M/d/yyyy H:mm:ss", "M/d/yyyy H:mm", "M/d/yyyy"}) {
        const QDateTime dt = QDateTime::fromString(text, QLatin1String(format));
        if (dt.isValid())
            return dt;
        const QDate d = QDate::fromString(text, QLatin1String(format));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    return ParseDateText(text);
}

// What an Access default is to the server: a value (as the row copy writes
// an empty cell's: numbers with ".", dates as dd.MM.yyyy HH:mm:ss, texts as
// they are), a function, or nothing a server could take.
struct AccessDefault {
    enum Kind { Value, Function, Unusable } kind = Unusable;
    QString value;
    std::optional<QDateTime> date;
};

AccessDefault readDefault(const dao::Field& field)
{
    if (!calledFunction(field.DefaultValue).isEmpty())
        return {AccessDefault::Function, field.DefaultValue, {}};
    QString s = field.DefaultValue;
    // Access keeps text defaults in double quotes; each end is stripped once.
    if (s.startsWith(QLatin1Char('"')))
        s.remove(0, 1);
    if (s.endsWith(QLatin1Char('"')))
        s.chop(1);
    if (s.isEmpty())
        s = QStringLiteral(" ");
    if (field.Type == dao::dbBoolean)
        return {AccessDefault::Value, isTrueDefault(s) ? QStringLiteral("1") : QStringLiteral("0"), {}};
    if (isNumberType(field.Type)) {
        // Only a number: anything else in a DEFAULT or a row would be statement text.
        static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][+-]?\\d+)?$"));
        const QString n = s.trimmed();
        if (!number.match(n).hasMatch())
            return {};
        return {AccessDefault::Value, QString(n).replace(QLatin1Char(','), QLatin1Char('.')), {}};
    }
    if (field.Type == dao::dbDate) {
        const std::optional<QDateTime> date = defaultDate(s);
        if (!date)
            return {};
        return {AccessDefault::Value, date->toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), date};
    }
    if (field.Type == dao::dbText || field.Type == dao::dbMemo)
        return {AccessDefault::Value, s, {}};
    return {};
}

// Whether the dialect's column of this field may carry the default at all.
bool takesDefault(const dao::Field& field, const AccessDefault& value, const SqlDialect& d)
{
    if (field.Type == dao::dbMemo)
        return d.memoDefaults;
    if (field.Type == dao::dbDate)
        return value.kind == AccessDefault::Function ? d.dateFunctionDefaults : d.dateValueDefaults;
    return true;
}

}  // namespace

bool Transferable(const dao::Field& field)
{
    return (field.Type >= dao::dbBoolean && field.Type <= dao::dbMemo) || field.Type == dao::dbGUID
        || field.Type == dao::dbDecimal;
}

QList<dao::Field> TransferableFields(const QList<dao::Field>& fields)
{
    QList<dao::Field> kept;
    for (const dao::Field& field : fields)
        if (Transferable(field))
            kept.append(field);
    return kept;
}

QString LeftOutColumnText(const QString& table, const dao::Field& field)
{
    return QStringLiteral("Tabelle %1, Feld %2: %3 (Access-Typ %4) werden nicht übertragen.")
        .arg(table, field.Name, dao::AccessTypeName(field.Type))
        .arg(field.Type);
}

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
    if (field.DefaultValue.isEmpty())
        return {};
    // Where the rows are filled with the default, nothing of it is lost.
    if (!SQLDefault(field, true, options).isEmpty() || !SQLDefault(field, false, options).isEmpty())
        return {};
    return QStringLiteral("Feld ") + field.Name + QStringLiteral(": der Standardwert ") + field.DefaultValue
        + QStringLiteral(" hat auf dem Server keine Entsprechung und wird ausgelassen.");
}

QString SQLDefault(const dao::Field& field, bool quoted, const ConversionOptions& options)
{
    const SqlDialect& d = DialectRecord(options.dialect);
    if (!field.DefaultValue.isEmpty()) {
        const AccessDefault value = readDefault(field);
        if (value.kind == AccessDefault::Unusable)
            return {};
        // A function Access calls for each new row: the server's own where it
        // has one, else none; never a value for cells that are empty in Access.
        if (value.kind == AccessDefault::Function)
            return quoted && takesDefault(field, value, d) ? FunctionDefault(field.DefaultValue, options.dialect)
                                                           : QString();
        if (field.Type == dao::dbDate && !d.dateValueDefaults && !d.dateFunctionDefaults)
            return {};
        if (!quoted)
            return value.value;
        if (value.date)
            return DateLiteral(value.date->date(), value.date->time(), options.dialect, false);
        if (field.Type == dao::dbText || field.Type == dao::dbMemo)
            return QuotedText(value.value, options.dialect);
        return value.value;
    }
    QString s;
    if (options.default0
        && isOneOf(field.Type, {dao::dbByte, dao::dbInteger, dao::dbLong, dao::dbSingle, dao::dbDouble}))
        s = QStringLiteral("0");
    if (options.defaultBlank && (field.Type == dao::dbText || (field.Type == dao::dbDate && d.blankDateDefault)))
        s = quoted ? QStringLiteral("' '") : QStringLiteral(" ");
    if (field.Type == dao::dbBoolean)
        s = QStringLiteral("0");
    if (field.Type == dao::dbDate && !d.dateValueDefaults && !d.dateFunctionDefaults)
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
    // A Memo or a date the dialect takes no default for gets none; the rows are filled all the same.
    if ((field.Type == dao::dbMemo && !d.memoDefaults)
        || (field.Type == dao::dbDate && !d.dateValueDefaults && calledFunction(field.DefaultValue).isEmpty()))
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

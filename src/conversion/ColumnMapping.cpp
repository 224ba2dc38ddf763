#include "conversion/ColumnMapping.h"

#include "sql/ServerNames.h"

#include <algorithm>

namespace {

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

}  // namespace

QString SQLDefault(const dao::Field& field, bool quoted, const ConversionOptions& options)
{
    QString s = field.DefaultValue;
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
        if (options.default0 && isOneOf(field.Type, {dao::dbByte, dao::dbInteger, dao::dbLong, dao::dbSingle, dao::dbDouble}))
            s = QStringLiteral("0");
        if (options.defaultBlank
            && (field.Type == dao::dbText || (field.Type == dao::dbDate && options.dialect != Dialect::Oracle)))
            s = quoted ? QStringLiteral("' '") : QStringLiteral(" ");
        if (field.Type == dao::dbBoolean)
            s = QStringLiteral("0");
    }
    if (field.Type == dao::dbDate && options.dialect == Dialect::DB2)
        s.clear();
    return s;
}

namespace {

// Server types, one row per Access type, one column per dialect. "{size}" is
// the field's size, "{precision}" and "{scale}" those of a Decimal field.
// MS SQL and Sybase keep the types existing server databases were made with;
// MySQL, Oracle and DB2 get types those servers have (MONEY, IMAGE and a
// VARBINARY without length are none of theirs) that hold every value whole.
struct TypeRow {
    int type;
    const char* mssql;
    const char* sybase;
    const char* mysql;
    const char* oracle;
    const char* db2;
};

// clang-format off
constexpr TypeRow typeTable[] = {
    // Access type      MSSQL          Sybase         MySQL                       Oracle                     DB2
    {dao::dbBoolean,    "BIT",         "BIT",         "BIT",                      "FLOAT",                   "SMALLINT"},
    {dao::dbByte,       "SMALLINT",    "SMALLINT",    "SMALLINT",                 "DECIMAL",                 "SMALLINT"},
    {dao::dbInteger,    "SMALLINT",    "SMALLINT",    "SMALLINT",                 "DECIMAL",                 "SMALLINT"},
    {dao::dbLong,       "INT",         "INT",         "INT",                      "INT",                     "INTEGER"},
    {dao::dbCurrency,   "MONEY",       "MONEY",       "DECIMAL(19,4)",            "NUMBER(19,4)",            "DECIMAL(19,4)"},
    {dao::dbSingle,     "REAL",        "REAL",        "REAL",                     "REAL",                    "REAL"},
    {dao::dbDouble,     "FLOAT",       "FLOAT",       "DOUBLE",                   "FLOAT",                   "DOUBLE"},
    {dao::dbDate,       "DATETIME",    "DATETIME",    "DATETIME",                 "TIMESTAMP",               "TIMESTAMP"},
    {dao::dbBinary,     "",            "",            "VARBINARY({size})",        "RAW({size})",             "BLOB({size})"},
    {dao::dbText,       "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})",  "VARCHAR({size})",         "VARCHAR({size})"},
    {dao::dbLongBinary, "IMAGE",       "IMAGE",       "LONGBLOB",                 "BLOB",                    "BLOB(2G)"},
    {dao::dbMemo,       "TEXT",        "TEXT",        "LONGTEXT",                 "CLOB",                    "CLOB(4194304)"},
    {dao::dbGUID,       "VARBINARY",   "VARBINARY",   "CHAR(38)",                 "CHAR(38)",                "CHAR(38)"},
    {dao::dbDecimal,    "",            "",            "DECIMAL({precision},{scale})", "NUMBER({precision},{scale})", "DECIMAL({precision},{scale})"},
};
// clang-format on

// Where a setting of the run changes the type.
struct TypeVariant {
    int type;
    Dialect dialect;
    bool ConversionOptions::*when;
    const char* text;
};

constexpr TypeVariant typeVariants[] = {
    {dao::dbByte, Dialect::Oracle, &ConversionOptions::moduleDataSource, "FLOAT"},
    {dao::dbInteger, Dialect::Oracle, &ConversionOptions::moduleDataSource, "FLOAT"},
    {dao::dbLong, Dialect::Oracle, &ConversionOptions::moduleDataSource, "FLOAT"},
    {dao::dbMemo, Dialect::DB2, &ConversionOptions::moduleDataSource, "VARCHAR(2000)"},
    {dao::dbDouble, Dialect::Sybase, &ConversionOptions::linuxSwitch, "DECIMAL"},
};

const char* typeFor(const TypeRow& row, Dialect dialect)
{
    switch (dialect) {
    case Dialect::MSSQL: return row.mssql;
    case Dialect::Sybase: return row.sybase;
    case Dialect::MySQL: return row.mysql;
    case Dialect::Oracle: return row.oracle;
    case Dialect::DB2: return row.db2;
    }
    return "";
}

// Access allows Decimal precisions of 1 to 28, which every server here takes.
constexpr int maxDecimalPrecision = 28;

}  // namespace

QString ServerTypeText(const dao::Field& field, const ConversionOptions& options)
{
    for (const TypeVariant& v : typeVariants)
        if (v.type == field.Type && v.dialect == options.dialect && options.*v.when)
            return QLatin1String(v.text);
    for (const TypeRow& row : typeTable) {
        if (row.type != field.Type)
            continue;
        QString text = QLatin1String(typeFor(row, options.dialect));
        if (!text.contains(QLatin1Char('{')))
            return text;
        // A precision outside Access's range comes from a damaged definition: take the largest.
        const int precision = field.Precision >= 1 && field.Precision <= maxDecimalPrecision ? field.Precision
                                                                                              : maxDecimalPrecision;
        const int scale = std::clamp(field.Scale, 0, precision);
        text.replace(QLatin1String("{size}"), QString::number(field.Size));
        text.replace(QLatin1String("{precision}"), QString::number(precision));
        text.replace(QLatin1String("{scale}"), QString::number(scale));
        return text;
    }
    return {};
}

QString WrittenColumnName(const QString& name, const QString& table, Dialect dialect)
{
    switch (dialect) {
    case Dialect::DB2:
        // This one table of the ERP product has column names DB2 reserves.
        if (table == QLatin1String("F5SB90R"))
            return DoubleQuoted(name);
        return name;
    case Dialect::Oracle:
        if (name.toUpper() == QLatin1String("CHECK"))
            return QLatin1Char('"') + name.toUpper() + QLatin1Char('"');
        return name;
    case Dialect::MSSQL:
        return DoubleQuoted(name);
    case Dialect::Sybase:
        return name;
    case Dialect::MySQL:
        return BacktickQuoted(name);
    }
    return name;
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
    if (options.dialect == Dialect::MySQL && (field.Type == dao::dbMemo || field.Type == dao::dbDate))
        return {};
    const QString d = SQLDefault(field, true, options);
    if (d.isEmpty())
        return {};
    return (options.dialect == Dialect::DB2 ? QStringLiteral("WITH DEFAULT ") : QStringLiteral("DEFAULT ")) + d;
}

QString NullabilityClause(const dao::Field& field, const QStringList& keyList, Dialect dialect)
{
    if (field.Required || field.Type == dao::dbBoolean || keyList.contains(field.Name, Qt::CaseInsensitive))
        return QStringLiteral("NOT NULL");
    return dialect == Dialect::DB2 ? QString() : QStringLiteral("NULL");
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

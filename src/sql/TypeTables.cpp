#include "sql/TypeTables.h"

#include "access/DaoTypes.h"
#include "sql/DialectRecord.h"

#include <algorithm>

namespace {

// The columns of a type table.
enum Flavour { MSSQL, Sybase, SybaseLinux, MySQL, Oracle, OracleModule, DB2, DB2Module, FlavourCount };

struct TypeRow {
    int type;
    const char* types[FlavourCount];
};

// "{size}" is the field's size, "{precision}" and "{scale}" those of a Decimal
// field. MS SQL and Sybase keep the types existing server databases were made
// with; MySQL, Oracle and DB2 get types those servers have (MONEY, IMAGE and a
// VARBINARY without length are none of theirs) that hold every value whole.
// clang-format off
constexpr TypeRow kConversionTypes[] = {
    // Access type  MSSQL        Sybase       Sybase Linux MySQL          Oracle          Oracle module   DB2              DB2 module
    {1,  {"BIT",         "BIT",       "BIT",       "BIT",           "FLOAT",        "FLOAT",        "SMALLINT",      "SMALLINT"}},
    {2,  {"SMALLINT",    "SMALLINT",  "SMALLINT",  "SMALLINT",      "DECIMAL",      "FLOAT",        "SMALLINT",      "SMALLINT"}},
    {3,  {"SMALLINT",    "SMALLINT",  "SMALLINT",  "SMALLINT",      "DECIMAL",      "FLOAT",        "SMALLINT",      "SMALLINT"}},
    {4,  {"INT",         "INT",       "INT",       "INT",           "INT",          "FLOAT",        "INTEGER",       "INTEGER"}},
    {5,  {"MONEY",       "MONEY",     "MONEY",     "DECIMAL(19,4)", "NUMBER(19,4)", "NUMBER(19,4)", "DECIMAL(19,4)", "DECIMAL(19,4)"}},
    {6,  {"REAL",        "REAL",      "REAL",      "REAL",          "REAL",         "REAL",         "REAL",          "REAL"}},
    {7,  {"FLOAT",       "FLOAT",     "DECIMAL",   "DOUBLE",        "FLOAT",        "FLOAT",        "DOUBLE",        "DOUBLE"}},
    {8,  {"DATETIME",    "DATETIME",  "DATETIME",  "DATETIME",      "TIMESTAMP",    "TIMESTAMP",    "TIMESTAMP",     "TIMESTAMP"}},
    {9,  {"",            "",          "",          "VARBINARY({size})", "RAW({size})", "RAW({size})", "BLOB({size})", "BLOB({size})"}},
    {10, {"VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})"}},
    {11, {"IMAGE",       "IMAGE",     "IMAGE",     "LONGBLOB",      "BLOB",         "BLOB",         "BLOB(2G)",      "BLOB(2G)"}},
    {12, {"TEXT",        "TEXT",      "TEXT",      "LONGTEXT",      "CLOB",         "CLOB",         "CLOB(4194304)", "VARCHAR(2000)"}},
    {15, {"VARBINARY",   "VARBINARY", "VARBINARY", "CHAR(38)",      "CHAR(38)",     "CHAR(38)",     "CHAR(38)",      "CHAR(38)"}},
    {16, {"",            "",          "",          "DECIMAL({precision},{scale})", "NUMBER({precision},{scale})", "NUMBER({precision},{scale})", "DECIMAL({precision},{scale})", "DECIMAL({precision},{scale})"}},
};

// An added column: Yes/No is DECIMAL(1,0) on Oracle, Memo VARCHAR(2000) for an
// Oracle module data source and always CLOB(4194304) on DB2; Binary and
// Decimal have no type (the server refuses the column and the list says why).
constexpr TypeRow kXdbTypes[] = {
    // Access type  MSSQL        Sybase       Sybase Linux MySQL          Oracle          Oracle module   DB2              DB2 module
    {1,  {"BIT",         "BIT",       "BIT",       "BIT",           "DECIMAL(1,0)", "FLOAT",        "SMALLINT",      "SMALLINT"}},
    {2,  {"SMALLINT",    "SMALLINT",  "SMALLINT",  "SMALLINT",      "DECIMAL",      "FLOAT",        "SMALLINT",      "SMALLINT"}},
    {3,  {"SMALLINT",    "SMALLINT",  "SMALLINT",  "SMALLINT",      "DECIMAL",      "FLOAT",        "SMALLINT",      "SMALLINT"}},
    {4,  {"INT",         "INT",       "INT",       "INT",           "INT",          "FLOAT",        "INTEGER",       "INTEGER"}},
    {5,  {"MONEY",       "MONEY",     "MONEY",     "DECIMAL(19,4)", "NUMBER(19,4)", "NUMBER(19,4)", "DECIMAL(19,4)", "DECIMAL(19,4)"}},
    {6,  {"REAL",        "REAL",      "REAL",      "REAL",          "REAL",         "REAL",         "REAL",          "REAL"}},
    {7,  {"FLOAT",       "FLOAT",     "DECIMAL",   "DOUBLE",        "FLOAT",        "FLOAT",        "DOUBLE",        "DOUBLE"}},
    {8,  {"DATETIME",    "DATETIME",  "DATETIME",  "DATETIME",      "TIMESTAMP",    "TIMESTAMP",    "TIMESTAMP",     "TIMESTAMP"}},
    {10, {"VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})", "VARCHAR({size})"}},
    {11, {"IMAGE",       "IMAGE",     "IMAGE",     "LONGBLOB",      "BLOB",         "BLOB",         "BLOB(2G)",      "BLOB(2G)"}},
    {12, {"TEXT",        "TEXT",      "TEXT",      "LONGTEXT",      "CLOB",         "VARCHAR(2000)", "CLOB(4194304)", "CLOB(4194304)"}},
    {15, {"VARBINARY",   "VARBINARY", "VARBINARY", "CHAR(38)",      "CHAR(38)",     "CHAR(38)",     "CHAR(38)",      "CHAR(38)"}},
};
// clang-format on

Flavour flavourOf(const DialectOptions& o)
{
    switch (o.dialect) {
    case Dialect::MSSQL:
        return MSSQL;
    case Dialect::Sybase:
        return o.linuxSwitch ? SybaseLinux : Sybase;
    case Dialect::MySQL:
        return MySQL;
    case Dialect::Oracle:
        return o.moduleDataSource ? OracleModule : Oracle;
    case Dialect::DB2:
        return o.moduleDataSource ? DB2Module : DB2;
    }
    return MSSQL;
}

// Access allows Decimal precisions of 1 to 28, which every server here takes.
constexpr int kMostDecimalPrecision = 28;

template <size_t N>
QString lookUp(const TypeRow (&table)[N], int accessType, const DialectOptions& options, int size, int precision,
               int scale)
{
    for (const TypeRow& row : table) {
        if (row.type != accessType)
            continue;
        QString text = QLatin1String(row.types[flavourOf(options)]);
        if (!text.contains(QLatin1Char('{')))
            return text;
        if (scale == dao::kScaleOfEachValue)
            return DialectRecord(options.dialect).anyScaleDecimal.toString();
        // A precision outside Access's range comes from a damaged definition: take the largest.
        const int p = precision >= 1 && precision <= kMostDecimalPrecision ? precision : kMostDecimalPrecision;
        text.replace(QLatin1String("{size}"), QString::number(size));
        text.replace(QLatin1String("{precision}"), QString::number(p));
        text.replace(QLatin1String("{scale}"), QString::number(std::clamp(scale, 0, p)));
        return text;
    }
    return {};
}

}  // namespace

QString ServerTypeFor(TypeTable table, int accessType, const DialectOptions& options, int size, int precision,
                      int scale)
{
    if (table == TypeTable::XdbColumn)
        return lookUp(kXdbTypes, accessType, options, size, precision, scale);
    return lookUp(kConversionTypes, accessType, options, size, precision, scale);
}

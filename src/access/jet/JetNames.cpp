#include "access/jet/JetNames.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace jet {

namespace {

// The reserved words of Jet SQL (Microsoft Jet 4.0 SQL reference). Access
// brackets an alias, table or parameter name that is one of them, which is
// why Northwind's "Format([ShippedDate],"yyyy") AS [Year]" is bracketed while
// "Forms" and "BeginningDate" in its parameter names are not.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = [] {
        // clang-format off
        const char* const list[] = {
            "ABSOLUTE", "ACTION", "ADD", "ADMINDB", "ALL", "ALLOCATE", "ALPHANUMERIC", "ALTER", "AND", "ANY", "ARE",
            "AS", "ASC", "ASSERTION", "AT", "AUTHORIZATION", "AUTOINCREMENT", "AVG", "BAND", "BEGIN", "BETWEEN",
            "BINARY", "BIT", "BIT_LENGTH", "BNOT", "BOR", "BOTH", "BXOR", "BY", "BYTE", "CASCADE", "CASCADED",
            "CASE", "CAST", "CATALOG", "CHAR", "CHARACTER", "CHAR_LENGTH", "CHARACTER_LENGTH", "CHECK", "CLOSE",
            "COALESCE", "COLLATE", "COLLATION", "COLUMN", "COMMIT", "COMP", "COMPRESSION", "CONNECT", "CONNECTION",
            "CONSTRAINT", "CONSTRAINTS", "CONTAINER", "CONTINUE", "CONVERT", "CORRESPONDING", "COUNT", "COUNTER",
            "CREATE", "CREATEDB", "CROSS", "CURRENCY", "CURRENT", "CURRENT_DATE", "CURRENT_TIME",
            "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE", "DATE", "DATETIME", "DAY", "DEALLOCATE",
            "DEC", "DECIMAL", "DECLARE", "DEFAULT", "DEFERRABLE", "DEFERRED", "DELETE", "DESC", "DESCRIBE",
            "DESCRIPTOR", "DIAGNOSTICS", "DISALLOW", "DISCONNECT", "DISTINCT", "DISTINCTROW", "DOMAIN", "DOUBLE",
            "DROP", "ELSE", "END", "END-EXEC", "ESCAPE", "EXCEPT", "EXCEPTION", "EXCLUSIVECONNECT", "EXEC",
            "EXECUTE", "EXISTS", "EXTERNAL", "EXTRACT", "FALSE", "FETCH", "FIRST", "FLOAT", "FLOAT4", "FLOAT8",
            "FOR", "FOREIGN", "FOUND", "FROM", "FULL", "GENERAL", "GET", "GLOBAL", "GO", "GOTO", "GRANT", "GROUP",
            "GUID", "HAVING", "HOUR", "IDENTITY", "IEEEDOUBLE", "IEEESINGLE", "IGNORE", "IMAGE", "IMMEDIATE", "IN",
            "INDEX", "INDICATOR", "INHERITABLE", "INITIALLY", "INNER", "INPUT", "INSENSITIVE", "INSERT", "INT",
            "INTEGER", "INTEGER1", "INTEGER2", "INTEGER4", "INTERSECT", "INTERVAL", "INTO", "IS", "ISOLATION",
            "JOIN", "KEY", "LANGUAGE", "LAST", "LEADING", "LEFT", "LEVEL", "LIKE", "LOCAL", "LOGICAL", "LOGICAL1",
            "LONG", "LONGBINARY", "LONGCHAR", "LONGTEXT", "LOWER", "MATCH", "MAX", "MEMO", "MIN", "MINUTE",
            "MODULE", "MONEY", "MONTH", "NAMES", "NATIONAL", "NATURAL", "NCHAR", "NEXT", "NO", "NOT", "NOTE",
            "NULL", "NULLIF", "NUMBER", "NUMERIC", "OBJECT", "OCTET_LENGTH", "OF", "OLEOBJECT", "ON", "ONLY",
            "OPEN", "OPTION", "OR", "ORDER", "OUTER", "OUTPUT", "OVERLAPS", "OWNERACCESS", "PAD", "PARAMETERS",
            "PARTIAL", "PASSWORD", "PERCENT", "PIVOT", "POSITION", "PRECISION", "PREPARE", "PRESERVE", "PRIMARY",
            "PRIOR", "PRIVILEGES", "PROC", "PROCEDURE", "PUBLIC", "READ", "REAL", "REFERENCES", "RELATIVE",
            "RESTRICT", "REVOKE", "RIGHT", "ROLLBACK", "ROWS", "SCHEMA", "SCROLL", "SECOND", "SECTION", "SELECT",
            "SELECTSCHEMA", "SELECTSECURITY", "SESSION", "SESSION_USER", "SET", "SHORT", "SINGLE", "SIZE",
            "SMALLINT", "SOME", "SPACE", "SQL", "SQLCODE", "SQLERROR", "SQLSTATE", "STDEV", "STDEVP", "STRING",
            "SUBSTRING", "SUM", "SYSNAME", "SYSTEM_USER", "TABLE", "TABLEID", "TEMPORARY", "TEXT", "THEN", "TIME",
            "TIMESTAMP", "TIMEZONE_HOUR", "TIMEZONE_MINUTE", "TINYINT", "TO", "TOP", "TRAILING", "TRANSACTION",
            "TRANSFORM", "TRANSLATE", "TRANSLATION", "TRIM", "TRUE", "UNION", "UNIQUE", "UNIQUEIDENTIFIER",
            "UNKNOWN", "UPDATE", "UPDATEIDENTITY", "UPDATEOWNER", "UPDATESECURITY", "UPPER", "USAGE", "USER",
            "USING", "VALUE", "VALUES", "VAR", "VARBINARY", "VARCHAR", "VARP", "VARYING", "VIEW", "WHEN",
            "WHENEVER", "WHERE", "WITH", "WORK", "WRITE", "YEAR", "YES", "YESNO", "ZONE",
        };
        // clang-format on
        QSet<QString> set;
        for (const char* w : list)
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return words;
}

bool isBracketed(const QString& name)
{
    return name.size() >= 2 && name.front() == QLatin1Char('[') && name.back() == QLatin1Char(']');
}

// Sort weight classes: blanks and punctuation, then digits, then letters.
constexpr quint32 kDigitClass = 0x200000;
constexpr quint32 kLetterClass = 0x300000;

bool ignoredAtFirst(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('\'');
}

// The base letter of c, without accents and case ("Ä" -> "a").
QChar baseLetter(QChar c)
{
    if (c.decompositionTag() == QChar::Canonical) {
        const QString d = c.decomposition();
        if (!d.isEmpty())
            c = d.front();
    }
    return c.toCaseFolded();
}

QList<quint32> primaryWeights(const QString& s)
{
    QList<quint32> w;
    w.reserve(s.size());
    for (const QChar c : s) {
        if (ignoredAtFirst(c))
            continue;
        if (c == QChar(0x00DF) || c == QChar(0x1E9E)) {  // ß sorts as "ss"
            w.append(kLetterClass + 's');
            w.append(kLetterClass + 's');
        } else if (c.isDigit()) {
            w.append(kDigitClass + quint32(c.digitValue()));
        } else if (c.isLetter()) {
            w.append(kLetterClass + baseLetter(c).unicode());
        } else {
            w.append(c.unicode());
        }
    }
    return w;
}

QString withoutIgnored(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (!ignoredAtFirst(c))
            out.append(c.toCaseFolded());
    }
    return out;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

}  // namespace

bool needsBrackets(const QString& name)
{
    if (name.isEmpty() || name.front().isDigit())
        return true;
    for (const QChar c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
            return true;
    }
    return reservedWords().contains(name.toUpper());
}

QString bracketed(const QString& name)
{
    if (isBracketed(name) || !needsBrackets(name))
        return name;
    return QLatin1Char('[') + name + QLatin1Char(']');
}

QString bracketedPath(const QString& path, const QString& separators)
{
    QString out;
    QString part;
    int depth = 0;
    for (const QChar c : path) {
        if (c == QLatin1Char('['))
            ++depth;
        else if (c == QLatin1Char(']') && depth > 0)
            --depth;
        if (depth == 0 && separators.contains(c)) {
            out += bracketed(part) + c;
            part.clear();
        } else {
            part.append(c);
        }
    }
    return out + bracketed(part);
}

namespace {

// compareNames once the primary weights are known.
int compareWeighed(const QString& a, const QList<quint32>& wa, const QString& b, const QList<quint32>& wb)
{
    if (wa != wb)
        return std::lexicographical_compare(wa.begin(), wa.end(), wb.begin(), wb.end()) ? -1 : 1;
    // Equal letters: unaccented before accented, then without hyphens before with.
    if (const int accents = withoutIgnored(a).compare(withoutIgnored(b)))
        return sign(accents);
    if (const int marks = a.compare(b, Qt::CaseInsensitive))
        return sign(marks);
    for (qsizetype i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i])
            return a[i].isLower() ? -1 : 1;  // lower case first
    }
    return sign(int(a.size() - b.size()));
}

}  // namespace

int compareNames(const QString& a, const QString& b)
{
    return compareWeighed(a, primaryWeights(a), b, primaryWeights(b));
}

QList<int> nameOrder(const QStringList& names)
{
    QList<QList<quint32>> weights;
    weights.reserve(names.size());
    QList<int> order;
    order.reserve(names.size());
    for (const QString& name : names) {
        order.append(int(weights.size()));
        weights.append(primaryWeights(name));
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compareWeighed(names[a], weights[a], names[b], weights[b]) < 0; });
    return order;
}

}  // namespace jet

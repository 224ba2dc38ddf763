#include "sql/Names.h"

#include "core/TextPieces.h"

#include <QSet>

namespace {
// The name between two quote characters, a quote character inside doubled.
QString quotedWith(const QString& name, QLatin1Char quote)
{
    QString out;
    out.reserve(name.size() + 2);
    out += quote;
    for (const QChar c : name) {
        if (c == quote)
            out += quote;
        out += c;
    }
    out += quote;
    return out;
}
}  // namespace

QString BacktickQuoted(const QString& name)
{
    return quotedWith(name, QLatin1Char('`'));
}

QString DoubleQuoted(const QString& name)
{
    return quotedWith(name, QLatin1Char('"'));
}

namespace {
// What MySQL reads as an unquoted identifier: ASCII letters, digits, "_", "$"
// and every character beyond ASCII, not digits only.
bool plainOnMySql(const QString& name)
{
    if (name.isEmpty())
        return false;
    bool onlyDigits = true;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool digit = u >= u'0' && u <= u'9';
        const bool ok =
            digit || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_' || u == u'$' || u >= 0x80;
        if (!ok)
            return false;
        onlyDigits = onlyDigits && digit;
    }
    return !onlyDigits;
}
}  // namespace

namespace {

// Words the server will not take as a bare name. MariaDB's list as its own
// parser has it, with the words MySQL 8 reserves besides.
const char kMySqlReserved[] =
    "ACCESSIBLE ADD ALL ALTER ANALYZE AND AS ASC ASENSITIVE BEFORE BETWEEN BIGINT BINARY BLOB BOTH BY CALL CASCADE "
    "CASE CHANGE CHAR CHARACTER CHECK COLLATE COLUMN CONDITION CONSTRAINT CONTINUE CONVERT CREATE CROSS CUBE CUME_DIST "
    "CURRENT_DATE CURRENT_ROLE CURRENT_TIME CURRENT_TIMESTAMP CURRENT_USER CURSOR DATABASE DATABASES DAY_HOUR "
    "DAY_MICROSECOND DAY_MINUTE DAY_SECOND DEC DECIMAL DECLARE DEFAULT DELAYED DELETE DELETE_DOMAIN_ID DENSE_RANK "
    "DESC DESCRIBE DETERMINISTIC DISTINCT DISTINCTROW DIV DOUBLE DO_DOMAIN_IDS DROP DUAL EACH ELSE ELSEIF EMPTY "
    "ENCLOSED ESCAPED EXCEPT EXISTS EXIT EXPLAIN FALSE FETCH FIRST_VALUE FLOAT FLOAT4 FLOAT8 FOR FORCE FOREIGN FROM "
    "FULLTEXT FUNCTION GENERATED GRANT GROUP GROUPING GROUPS HAVING HIGH_PRIORITY HOUR_MICROSECOND HOUR_MINUTE "
    "HOUR_SECOND IF IGNORE IGNORE_DOMAIN_IDS IN INDEX INFILE INNER INOUT INSENSITIVE INSERT INT INT1 INT2 INT3 INT4 "
    "INT8 INTEGER INTERSECT INTERVAL INTO IO_AFTER_GTIDS IO_BEFORE_GTIDS IS ITERATE JOIN JSON_TABLE KEY KEYS KILL LAG "
    "LAST_VALUE LATERAL LEAD LEADING LEAVE LEFT LIKE LIMIT LINEAR LINES LOAD LOCALTIME LOCALTIMESTAMP LOCK LONG "
    "LONGBLOB LONGTEXT LOOP LOW_PRIORITY MASTER_BIND MASTER_DEMOTE_TO_REPLICA MASTER_DEMOTE_TO_SLAVE "
    "MASTER_SSL_VERIFY_SERVER_CERT MATCH MAXVALUE MEDIUMBLOB MEDIUMINT MEDIUMTEXT MIDDLEINT MINUTE_MICROSECOND "
    "MINUTE_SECOND MOD MODIFIES NATURAL NOT NO_WRITE_TO_BINLOG NTH_VALUE NTILE NULL NUMERIC OF OFFSET ON OPTIMIZE "
    "OPTIMIZER_COSTS OPTION OPTIONALLY OR ORDER OUT OUTER OUTFILE OVER PAGE_CHECKSUM PARSE_VCOL_EXPR PARTITION "
    "PERCENT_RANK PORTION PRECISION PRIMARY PROCEDURE PURGE RANGE RANK READ READS READ_WRITE REAL RECURSIVE "
    "REFERENCES REF_SYSTEM_ID REGEXP RELEASE RENAME REPEAT REPLACE REQUIRE RESIGNAL RESTRICT RETURN RETURNING REVOKE "
    "RIGHT RLIKE ROW ROWS ROW_NUMBER SCHEMA SCHEMAS SECOND_MICROSECOND SELECT SENSITIVE SEPARATOR SET SHOW SIGNAL "
    "SMALLINT SPATIAL SPECIFIC SQL SQLEXCEPTION SQLSTATE SQLWARNING SQL_BIG_RESULT SQL_BUFFER_RESULT SQL_CACHE "
    "SQL_CALC_FOUND_ROWS SQL_NO_CACHE SQL_SMALL_RESULT SSL STARTING STATS_AUTO_RECALC STATS_PERSISTENT "
    "STATS_SAMPLE_PAGES STORED STRAIGHT_JOIN SYSTEM TABLE TERMINATED THEN TINYBLOB TINYINT TINYTEXT TO TRAILING "
    "TRIGGER TRUE UNDO UNION UNIQUE UNLOCK UNSIGNED UPDATE USAGE USE USING UTC_DATE UTC_TIME UTC_TIMESTAMP VALUES "
    "VARBINARY VARCHAR VARCHARACTER VARYING VIRTUAL WHEN WHERE WHILE WINDOW WITH WRITE XOR YEAR_MONTH ZEROFILL";

// SQL Server's reserved key words.
const char kMsSqlReserved[] =
    "ADD ALL ALTER AND ANY AS ASC AUTHORIZATION BACKUP BEGIN BETWEEN BREAK BROWSE BULK BY CASCADE CASE CHECK "
    "CHECKPOINT CLOSE CLUSTERED COALESCE COLLATE COLUMN COMMIT COMPUTE CONSTRAINT CONTAINS CONTAINSTABLE CONTINUE "
    "CONVERT CREATE CROSS CURRENT CURRENT_DATE CURRENT_TIME CURRENT_TIMESTAMP CURRENT_USER CURSOR DATABASE DBCC "
    "DEALLOCATE DECLARE DEFAULT DELETE DENY DESC DISK DISTINCT DISTRIBUTED DOUBLE DROP DUMP ELSE END ERRLVL ESCAPE "
    "EXCEPT EXEC EXECUTE EXISTS EXIT EXTERNAL FETCH FILE FILLFACTOR FOR FOREIGN FREETEXT FREETEXTTABLE FROM FULL "
    "FUNCTION GOTO GRANT GROUP HAVING HOLDLOCK IDENTITY IDENTITYCOL IDENTITY_INSERT IF IN INDEX INNER INSERT "
    "INTERSECT INTO IS JOIN KEY KILL LEFT LIKE LINENO LOAD MERGE NATIONAL NOCHECK NONCLUSTERED NOT NULL NULLIF OF OFF "
    "OFFSETS ON OPEN OPENDATASOURCE OPENQUERY OPENROWSET OPENXML OPTION OR ORDER OUTER OVER PERCENT PIVOT PLAN "
    "PRECISION PRIMARY PRINT PROC PROCEDURE PUBLIC RAISERROR READ READTEXT RECONFIGURE REFERENCES REPLICATION RESTORE "
    "RESTRICT RETURN REVERT REVOKE RIGHT ROLLBACK ROWCOUNT ROWGUIDCOL RULE SAVE SCHEMA SECURITYAUDIT SELECT "
    "SEMANTICKEYPHRASETABLE SEMANTICSIMILARITYDETAILSTABLE SEMANTICSIMILARITYTABLE SESSION_USER SET SETUSER SHUTDOWN "
    "SOME STATISTICS SYSTEM_USER TABLE TABLESAMPLE TEXTSIZE THEN TO TOP TRAN TRANSACTION TRIGGER TRUNCATE TRY_CONVERT "
    "TSEQUAL UNION UNIQUE UNPIVOT UPDATE UPDATETEXT USE USER VALUES VARYING VIEW WAITFOR WHEN WHERE WHILE WITH "
    "WITHIN WRITETEXT";

QSet<QString> wordSet(const char* words)
{
    QSet<QString> set;
    for (const QString& word : QString::fromLatin1(words).split(QLatin1Char(' ')))
        set.insert(word);
    return set;
}

}  // namespace

bool ReservedWord(const QString& name, Dialect dialect)
{
    static const QSet<QString> mySql = wordSet(kMySqlReserved);
    static const QSet<QString> msSql = wordSet(kMsSqlReserved);
    if (dialect != Dialect::MySQL && dialect != Dialect::MSSQL)
        return false;
    return (dialect == Dialect::MySQL ? mySql : msSql).contains(name.toUpper());
}

QString PlainOrQuotedName(const QString& name, Dialect dialect)
{
    if (dialect == Dialect::MySQL && (!plainOnMySql(name) || ReservedWord(name, dialect)))
        return BacktickQuoted(name);
    return name;
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

bool ReadableBare(const QString& name)
{
    if (name.isEmpty() || !(name.front().isLetter() || name.front() == QLatin1Char('_')))
        return false;
    for (const QChar c : name) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!(c.isLetter() || digit || c == QLatin1Char('_') || c == QLatin1Char('$')))
            return false;
    }
    return true;
}

QString ViewTextName(const QString& name, Dialect dialect)
{
    if (ReadableBare(name))
        return name;
    switch (dialect) {
    case Dialect::MySQL:
        return BacktickQuoted(name);
    case Dialect::Sybase:
        return BracketQuoted(name, dialect);
    case Dialect::MSSQL:
    case Dialect::Oracle:
    case Dialect::DB2:
        break;
    }
    return DoubleQuoted(name);
}

QString BracketQuoted(const QString& name, Dialect dialect)
{
    if (dialect == Dialect::Sybase && name.contains(QLatin1Char(']')))
        return DoubleQuoted(name);
    QString out;
    out.reserve(name.size() + 2);
    out += QLatin1Char('[');
    for (const QChar c : name) {
        out += c;
        if (c == QLatin1Char(']'))
            out += c;
    }
    out += QLatin1Char(']');
    return out;
}

bool ReadsBare(const QString& name, Dialect dialect)
{
    const QString core = TrimBlanks(name);
    if (dialect == Dialect::MySQL)
        return plainOnMySql(core);
    if (core.isEmpty() || !(core[0].isLetter() || core[0] == QLatin1Char('_')))
        return false;
    for (const QChar c : core) {
        const char16_t u = c.unicode();
        const bool ascii = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_'
            || u == u'$' || u == u'#';
        if (!ascii && !(u >= 0x80 && c.isLetterOrNumber()))
            return false;
    }
    return true;
}

QString DelimitedName(const QString& name, Dialect dialect)
{
    if (ReadsBare(name, dialect))
        return name;
    switch (dialect) {
    case Dialect::MSSQL:
    case Dialect::Sybase:
        return BracketQuoted(name, dialect);
    case Dialect::MySQL:
        return BacktickQuoted(name);
    case Dialect::Oracle:
    case Dialect::DB2:
        break;
    }
    return DoubleQuoted(name);
}

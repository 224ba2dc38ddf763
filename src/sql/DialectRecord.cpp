#include "sql/DialectRecord.h"

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

const QSet<QString>& mySqlWords()
{
    static const QSet<QString> words = wordSet(kMySqlReserved);
    return words;
}

const QSet<QString>& msSqlWords()
{
    static const QSet<QString> words = wordSet(kMsSqlReserved);
    return words;
}

const QSet<QString>& noWords()
{
    static const QSet<QString> none;
    return none;
}

const SqlDialect& msSql()
{
    static const SqlDialect d{
        .dialect = Dialect::MSSQL,
        .caption = u"Microsoft SQL",
        .open = QLatin1Char('['),
        .close = QLatin1Char(']'),
        .closeDoubles = true,
        .bareExtras = u"$#@",
        .reservedWords = msSqlWords(),
        .upperCaseNames = false,
        .columns = ColumnQuoting::DoubleQuotes,
        .checkColumnQuoted = false,
        .identityLine = u"AutoWertIdentität int IDENTITY (1,1) PRIMARY KEY",
        .identityIsListedKey = false,
        .identityBySequence = false,
        .constraintTableChars = 26,
        .freeConstraintName = true,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .defaultsOnLongTexts = true,
        .dateDefaults = true,
        .blankDateDefault = true,
        .nowFunction = u"CURRENT_TIMESTAMP",
        .dateFunction = u"",
        .memoKeyLength = false,
        .tableSuffix = u"",
        .countsIndexes = true,
        .indexNameNumbered = false,
        .indexNameDated = false,
        .indexNameChars = 30,
        .indexNameQuoted = true,
        .indexNameNoDashes = false,
        .existingIndexError = u"",
        .sharedInserts = false,
        .translatesViews = true,
        .triggers = TriggerSyntax::TransactSql,
        .triggerFieldQuote = u"\"",
        .xdbQuotesAlways = true,
        .renamesWithSpRename = true,
        .createsXdbIndexes = true,
        .xdbIndexBit2Skips = true,
        .xdbIndexNamesQuoted = true,
        .indexExistsQuery =
            u"SELECT COUNT(*) FROM dbo.sysindexes INNER JOIN dbo.sysobjects ON sysobjects.id = sysindexes.id WHERE "
            u"sysobjects.xtype = 'U' AND sysobjects.name = {table} AND (sysindexes.name = {index} OR "
            u"sysindexes.name LIKE {prefixed})",
        .products = {QStringLiteral("Microsoft SQL Server")},
    };
    return d;
}

const SqlDialect& sybase()
{
    static const SqlDialect d{
        .dialect = Dialect::Sybase,
        .caption = u"Sybase",
        .open = QLatin1Char('['),
        .close = QLatin1Char(']'),
        .closeDoubles = false,
        .bareExtras = u"$#@",
        .reservedWords = noWords(),
        .upperCaseNames = false,
        .columns = ColumnQuoting::AsNames,
        .checkColumnQuoted = false,
        .identityLine = u"AutoWertIdentität numeric IDENTITY PRIMARY KEY",
        .identityIsListedKey = true,
        .identityBySequence = false,
        .constraintTableChars = 26,
        .freeConstraintName = false,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .defaultsOnLongTexts = true,
        .dateDefaults = true,
        .blankDateDefault = true,
        .nowFunction = u"",
        .dateFunction = u"",
        .memoKeyLength = false,
        .tableSuffix = u"",
        .countsIndexes = false,
        .indexNameNumbered = false,
        .indexNameDated = false,
        .indexNameChars = 30,
        .indexNameQuoted = false,
        .indexNameNoDashes = false,
        .existingIndexError = u"",
        .sharedInserts = false,
        .translatesViews = false,
        .triggers = TriggerSyntax::TransactSql,
        .triggerFieldQuote = u"",
        .xdbQuotesAlways = true,
        .renamesWithSpRename = true,
        .createsXdbIndexes = true,
        .xdbIndexBit2Skips = false,
        .xdbIndexNamesQuoted = false,
        .indexExistsQuery =
            u"SELECT COUNT(*) FROM SYSINDEX INNER JOIN SYSTABLE ON SYSTABLE.table_id = SYSINDEX.table_id WHERE "
            u"SYSTABLE.table_type = 'BASE' AND SYSTABLE.table_name = {table} AND SYSINDEX.index_name = {index}",
        .products = {QStringLiteral("Adaptive Server"), QStringLiteral("Sybase"), QStringLiteral("SQL Anywhere")},
    };
    return d;
}

const SqlDialect& mySql()
{
    static const SqlDialect d{
        .dialect = Dialect::MySQL,
        .caption = u"MySQL",
        .open = QLatin1Char('`'),
        .close = QLatin1Char('`'),
        .closeDoubles = true,
        .bareExtras = u"$",
        .reservedWords = mySqlWords(),
        .upperCaseNames = false,
        .columns = ColumnQuoting::Backticks,
        .checkColumnQuoted = false,
        .identityLine = u"AutoWertIdentität INT NOT NULL auto_increment PRIMARY KEY",
        .identityIsListedKey = true,
        .identityBySequence = false,
        .constraintTableChars = 26,
        .freeConstraintName = false,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .defaultsOnLongTexts = false,
        .dateDefaults = true,
        .blankDateDefault = true,
        .nowFunction = u"CURRENT_TIMESTAMP",
        .dateFunction = u"(CURRENT_DATE)",
        .memoKeyLength = true,
        .tableSuffix = u" ENGINE=BDB",
        .countsIndexes = false,
        .indexNameNumbered = false,
        .indexNameDated = false,
        .indexNameChars = 30,
        .indexNameQuoted = false,
        .indexNameNoDashes = true,
        .existingIndexError = u"",
        .sharedInserts = true,
        .translatesViews = true,
        .triggers = TriggerSyntax::MySql,
        .triggerFieldQuote = u"",
        .xdbQuotesAlways = true,
        .renamesWithSpRename = false,
        .createsXdbIndexes = false,
        .xdbIndexBit2Skips = false,
        .xdbIndexNamesQuoted = false,
        .indexExistsQuery = u"",
        .products = {QStringLiteral("MariaDB"), QStringLiteral("MySQL")},
    };
    return d;
}

const SqlDialect& oracle()
{
    static const SqlDialect d{
        .dialect = Dialect::Oracle,
        .caption = u"Oracle",
        .open = QLatin1Char('"'),
        .close = QLatin1Char('"'),
        .closeDoubles = true,
        .bareExtras = u"$#",
        .reservedWords = noWords(),
        .upperCaseNames = true,
        .columns = ColumnQuoting::AsNames,
        .checkColumnQuoted = true,
        .identityLine = u"AutoWertIdentität NUMBER(10,0) PRIMARY KEY",
        .identityIsListedKey = false,
        .identityBySequence = true,
        .constraintTableChars = 26,
        .freeConstraintName = false,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .defaultsOnLongTexts = true,
        .dateDefaults = true,
        .blankDateDefault = false,
        .nowFunction = u"",
        .dateFunction = u"",
        .memoKeyLength = false,
        .tableSuffix = u"",
        .countsIndexes = true,
        .indexNameNumbered = true,
        .indexNameDated = true,
        .indexNameChars = 27,
        .indexNameQuoted = true,
        .indexNameNoDashes = false,
        .existingIndexError = u"42S11",
        .sharedInserts = false,
        .translatesViews = false,
        .triggers = TriggerSyntax::Oracle,
        .triggerFieldQuote = u"",
        .xdbQuotesAlways = false,
        .renamesWithSpRename = true,
        .createsXdbIndexes = false,
        .xdbIndexBit2Skips = false,
        .xdbIndexNamesQuoted = false,
        .indexExistsQuery = u"",
        .products = {QStringLiteral("Oracle")},
    };
    return d;
}

const SqlDialect& db2()
{
    static const SqlDialect d{
        .dialect = Dialect::DB2,
        .caption = u"DB2",
        .open = QLatin1Char('"'),
        .close = QLatin1Char('"'),
        .closeDoubles = true,
        .bareExtras = u"$#@",
        .reservedWords = noWords(),
        .upperCaseNames = true,
        .columns = ColumnQuoting::AsNames,
        .checkColumnQuoted = false,
        .identityLine = u"AutoWertIdentität INTEGER NOT NULL GENERATED ALWAYS AS IDENTITY (START WITH 0, INCREMENT BY "
                        u"1, NO CACHE ) "
                        u"PRIMARY KEY",
        .identityIsListedKey = false,
        .identityBySequence = false,
        .constraintTableChars = 14,
        .freeConstraintName = false,
        .defaultKeyword = u"WITH DEFAULT ",
        .nullKeyword = u"",
        .defaultsOnLongTexts = true,
        .dateDefaults = false,
        .blankDateDefault = true,
        .nowFunction = u"",
        .dateFunction = u"",
        .memoKeyLength = false,
        .tableSuffix = u"",
        .countsIndexes = true,
        .indexNameNumbered = true,
        .indexNameDated = false,
        .indexNameChars = 15,
        .indexNameQuoted = true,
        .indexNameNoDashes = false,
        .existingIndexError = u"SQL0605W",
        .sharedInserts = false,
        .translatesViews = false,
        .triggers = TriggerSyntax::Db2,
        .triggerFieldQuote = u"",
        .xdbQuotesAlways = false,
        .renamesWithSpRename = true,
        .createsXdbIndexes = false,
        .xdbIndexBit2Skips = false,
        .xdbIndexNamesQuoted = false,
        .indexExistsQuery = u"",
        .products = {QStringLiteral("DB2")},
    };
    return d;
}

}  // namespace

const SqlDialect& DialectRecord(Dialect dialect)
{
    switch (dialect) {
    case Dialect::MSSQL:
        return msSql();
    case Dialect::Sybase:
        return sybase();
    case Dialect::MySQL:
        return mySql();
    case Dialect::Oracle:
        return oracle();
    case Dialect::DB2:
        return db2();
    }
    return msSql();
}

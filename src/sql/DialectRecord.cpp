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

// Oracle's reserved words (V$RESERVED_WORDS with RESERVED = 'Y').
const char kOracleReserved[] =
    "ACCESS ADD ALL ALTER AND ANY AS ASC AUDIT BETWEEN BY CHAR CHECK CLUSTER COLUMN COMMENT COMPRESS CONNECT CREATE "
    "CURRENT DATE DECIMAL DEFAULT DELETE DESC DISTINCT DROP ELSE EXCLUSIVE EXISTS FILE FLOAT FOR FROM GRANT GROUP "
    "HAVING IDENTIFIED IMMEDIATE IN INCREMENT INDEX INITIAL INSERT INTEGER INTERSECT INTO IS LEVEL LIKE LOCK LONG "
    "MAXEXTENTS MINUS MLSLABEL MODE MODIFY NOAUDIT NOCOMPRESS NOT NOWAIT NULL NUMBER OF OFFLINE ON ONLINE OPTION OR "
    "ORDER PCTFREE PRIOR PRIVILEGES PUBLIC RAW RENAME RESOURCE REVOKE ROW ROWID ROWNUM ROWS SELECT SESSION SET SHARE "
    "SIZE SMALLINT START SUCCESSFUL SYNONYM SYSDATE TABLE THEN TO TRIGGER UID UNION UNIQUE UPDATE USER VALIDATE "
    "VALUES VARCHAR VARCHAR2 VIEW WHENEVER WHERE WITH";

// Sybase Adaptive Server Enterprise's reserved words.
const char kSybaseReserved[] =
    "ADD ALL ALTER AND ANY ARITH_OVERFLOW AS ASC AT AUTHORIZATION AVG BEGIN BETWEEN BREAK BROWSE BULK BY CASCADE "
    "CASE CHAR_CONVERT CHECK CHECKPOINT CLOSE CLUSTERED COALESCE COMMIT COMPUTE CONFIRM CONNECT CONSTRAINT CONTINUE "
    "CONTROLROW CONVERT COUNT COUNT_BIG CREATE CURRENT CURSOR DATABASE DBCC DEALLOCATE DECLARE DECRYPT DEFAULT "
    "DELETE DESC DETERMINISTIC DISK DISTINCT DOUBLE DROP DUMMY DUMP ELSE ENCRYPT END ENDTRAN ERRLVL ERRORDATA "
    "ERROREXIT ESCAPE EXCEPT EXCLUSIVE EXEC EXECUTE EXISTS EXIT EXP_ROW_SIZE EXTERNAL FETCH FILLFACTOR FOR FOREIGN "
    "FROM FUNC FUNCTION GOTO GRANT GROUP HAVING HOLDLOCK IDENTITY IDENTITY_GAP IDENTITY_START IF IN INDEX INOUT "
    "INSENSITIVE INSERT INSTALL INTERSECT INTO IS ISOLATION JAR JOIN KEY KILL LEVEL LIKE LINENO LOAD LOCK "
    "MATERIALIZED MAX MAX_ROWS_PER_PAGE MIN MIRROR MIRROREXIT MODIFY NATIONAL NEW NOHOLDLOCK NONCLUSTERED "
    "NONSCROLLABLE NON_SENSITIVE NOT NULL NULLIF NUMERIC_TRUNCATION OF OFF OFFSETS ON ONCE ONLINE ONLY OPEN OPTION "
    "OR ORDER OUT OUTPUT OVER PARTITION PERM PERMANENT PLAN PREPARE PRIMARY PRINT PRIVILEGES PROC PROCEDURE "
    "PROCESSEXIT PROXY_TABLE PUBLIC QUIESCE RAISERROR READ READPAST READTEXT RECONFIGURE REFERENCES REMOVE REORG "
    "REPLACE REPLICATION RESERVEPAGEGAP RETURN RETURNS REVOKE ROLE ROLLBACK ROWCOUNT ROWS RULE SAVE SCHEMA SCROLL "
    "SCROLLABLE SELECT SEMI_SENSITIVE SET SETUSER SHARED SHUTDOWN SOME STATISTICS STRINGSIZE STRIPE SUM "
    "SYB_IDENTITY SYB_RESTREE SYB_TERMINATE TABLE TEMP TEMPORARY TEXTSIZE TO TRACEFILE TRAN TRANSACTION TRIGGER "
    "TRUNCATE TSEQUAL UNION UNIQUE UNPARTITION UPDATE USE USER USER_OPTION USING VALUES VARYING VIEW WAITFOR WHEN "
    "WHERE WHILE WITH WORK WRITETEXT XMLEXTRACT XMLPARSE XMLTEST XMLVALIDATE";

// DB2's reserved words (the SQL reserved words of DB2 for Linux, UNIX and Windows).
const char kDb2Reserved[] =
    "ADD AFTER ALIAS ALL ALLOCATE ALLOW ALTER AND ANY AS ASENSITIVE ASSOCIATE ASUTIME AT AUDIT AUX AUXILIARY BEFORE "
    "BEGIN BETWEEN BINARY BUFFERPOOL BY CACHE CALL CALLED CAPTURE CARDINALITY CASCADED CASE CAST CCSID CHAR "
    "CHARACTER CHECK CLONE CLOSE CLUSTER COLLECTION COLLID COLUMN COMMENT COMMIT CONCAT CONDITION CONNECT "
    "CONNECTION CONSTRAINT CONTAINS CONTINUE COUNT COUNT_BIG CREATE CROSS CURRENT CURRENT_DATE CURRENT_LC_CTYPE "
    "CURRENT_PATH CURRENT_SCHEMA CURRENT_SERVER CURRENT_TIME CURRENT_TIMESTAMP CURRENT_TIMEZONE CURRENT_USER CURSOR "
    "CYCLE DATA DATABASE DATAPARTITIONNAME DATAPARTITIONNUM DATE DAY DAYS DB2GENERAL DB2GENRL DB2SQL DBINFO "
    "DBPARTITIONNAME DBPARTITIONNUM DEALLOCATE DECLARE DEFAULT DEFAULTS DEFINITION DELETE DENSERANK DENSE_RANK "
    "DESCRIBE DESCRIPTOR DETERMINISTIC DIAGNOSTICS DISABLE DISALLOW DISCONNECT DISTINCT DO DOCUMENT DOUBLE DROP "
    "DSSIZE DYNAMIC EACH EDITPROC ELSE ELSEIF ENABLE ENCODING ENCRYPTION END END-EXEC ENDING ERASE ESCAPE EVERY "
    "EXCEPT EXCEPTION EXCLUDING EXCLUSIVE EXECUTE EXISTS EXIT EXPLAIN EXTENDED EXTERNAL EXTRACT FENCED FETCH "
    "FIELDPROC FILE FINAL FOR FOREIGN FREE FROM FULL FUNCTION GENERAL GENERATED GET GLOBAL GO GOTO GRANT GRAPHIC "
    "GROUP HANDLER HASH HASHED_VALUE HAVING HINT HOLD HOUR HOURS IDENTITY IF IMMEDIATE IN INCLUDING INCLUSIVE "
    "INCREMENT INDEX INDICATOR INF INFINITY INHERIT INNER INOUT INSENSITIVE INSERT INTEGRITY INTERSECT INTO IS "
    "ISOBID ISOLATION ITERATE JAR JAVA JOIN KEEP KEY LABEL LANGUAGE LATERAL LC_CTYPE LEAVE LEFT LIKE LINKTYPE LOCAL "
    "LOCALDATE LOCALE LOCALTIME LOCALTIMESTAMP LOCATOR LOCATORS LOCK LOCKMAX LOCKSIZE LONG LOOP MAINTAINED "
    "MATERIALIZED MAXVALUE MICROSECOND MICROSECONDS MINUTE MINUTES MINVALUE MODE MODIFIES MONTH MONTHS NAN NEW "
    "NEW_TABLE NEXTVAL NO NOCACHE NOCYCLE NODENAME NODENUMBER NOMAXVALUE NOMINVALUE NONE NOORDER NORMALIZED NOT "
    "NULL NULLS NUMPARTS OBID OF OLD OLD_TABLE ON OPEN OPTIMIZATION OPTIMIZE OPTION OR ORDER OUT OUTER OVER "
    "OVERRIDING PACKAGE PADDED PAGESIZE PARAMETER PART PARTITION PARTITIONED PARTITIONING PARTITIONS PASSWORD PATH "
    "PIECESIZE PLAN POSITION PRECISION PREPARE PREVVAL PRIMARY PRIQTY PRIVILEGES PROCEDURE PROGRAM PSID PUBLIC "
    "QUERY QUERYNO RANGE RANK READ READS RECOVERY REFERENCES REFERENCING REFRESH RELEASE RENAME REPEAT RESET "
    "RESIGNAL RESTART RESTRICT RESULT RESULT_SET_LOCATOR RETURN RETURNS REVOKE RIGHT ROLE ROLLBACK ROUND_CEILING "
    "ROUND_DOWN ROUND_FLOOR ROUND_HALF_DOWN ROUND_HALF_EVEN ROUND_HALF_UP ROUND_UP ROUTINE ROW ROWNUMBER ROWS "
    "ROWSET ROW_NUMBER RRN RUN SAVEPOINT SCHEMA SCRATCHPAD SCROLL SEARCH SECOND SECONDS SECQTY SECURITY SELECT "
    "SENSITIVE SEQUENCE SESSION SESSION_USER SET SIGNAL SIMPLE SNAN SOME SOURCE SPECIFIC SQL SQLID STACKED STANDARD "
    "START STARTING STATEMENT STATIC STATMENT STAY STOGROUP STORES STYLE SUBSTRING SUMMARY SYNONYM SYSFUN SYSIBM "
    "SYSPROC SYSTEM SYSTEM_USER TABLE TABLESPACE THEN TIME TIMESTAMP TO TRANSACTION TRIGGER TRIM TRUNCATE TYPE UNDO "
    "UNION UNIQUE UNTIL UPDATE USAGE USER USING VALIDPROC VALUE VALUES VARIABLE VARIANT VCAT VERSION VIEW VOLATILE "
    "VOLUMES WHEN WHENEVER WHERE WHILE WITH WITHOUT WLM WRITE XMLELEMENT XMLEXISTS XMLNAMESPACES YEAR YEARS";

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

const QSet<QString>& oracleWords()
{
    static const QSet<QString> words = wordSet(kOracleReserved);
    return words;
}

const QSet<QString>& sybaseWords()
{
    static const QSet<QString> words = wordSet(kSybaseReserved);
    return words;
}

const QSet<QString>& db2Words()
{
    static const QSet<QString> words = wordSet(kDb2Reserved);
    return words;
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
        .identityLine = u"AutoWertIdentität int IDENTITY (1,1) PRIMARY KEY",
        .anyScaleDecimal = u"DECIMAL(38,10)",
        .identityIsListedKey = false,
        .identityBySequence = false,
        .constraintTableChars = 26,
        .freeConstraintName = true,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .memoDefaults = true,
        .dateValueDefaults = true,
        .dateFunctionDefaults = true,
        .blankDateDefault = true,
        .nowFunction = u"CURRENT_TIMESTAMP",
        .dateFunction = u"CAST(GETDATE() AS DATE)",
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
        // LEN drops trailing blanks (hence the point added and taken off again) and takes no TEXT.
        .wholeSum = u"SUM(CAST({c} AS BIGINT))",
        .flagSum = u"SUM(CAST({c} AS INT))",
        .textCharacters = u"SUM(CAST(LEN({c} + '.') - 1 AS BIGINT))",
        .memoCharacters = u"SUM(CAST(LEN(CAST({c} AS VARCHAR(MAX)) + '.') - 1 AS BIGINT))",
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
        .reservedWords = sybaseWords(),
        .upperCaseNames = false,
        .columns = ColumnQuoting::AsNames,
        .identityLine = u"AutoWertIdentität numeric IDENTITY PRIMARY KEY",
        .anyScaleDecimal = u"DECIMAL(38,10)",
        .identityIsListedKey = true,
        .identityBySequence = false,
        .constraintTableChars = 26,
        .freeConstraintName = false,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .memoDefaults = true,
        .dateValueDefaults = true,
        .dateFunctionDefaults = true,
        .blankDateDefault = true,
        .nowFunction = u"getdate()",
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
        // Adaptive Server drops trailing blanks of VARCHAR values and keeps an
        // empty text as one blank: its character counts are no exact figure.
        .wholeSum = u"SUM(CONVERT(NUMERIC(38,0), {c}))",
        .flagSum = u"SUM(CONVERT(INT, {c}))",
        .textCharacters = u"",
        .memoCharacters = u"",
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
        .identityLine = u"AutoWertIdentität INT NOT NULL auto_increment PRIMARY KEY",
        .anyScaleDecimal = u"DECIMAL(56,28)",
        .identityIsListedKey = true,
        .identityBySequence = false,
        .constraintTableChars = 26,
        .freeConstraintName = false,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .memoDefaults = false,
        .dateValueDefaults = false,
        .dateFunctionDefaults = true,
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
        // SUM of an integer column is a DECIMAL; CHAR_LENGTH counts code points.
        .wholeSum = u"SUM({c})",
        .flagSum = u"SUM({c})",
        .textCharacters = u"SUM(CHAR_LENGTH({c}))",
        .memoCharacters = u"SUM(CHAR_LENGTH({c}))",
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
        .reservedWords = oracleWords(),
        .upperCaseNames = true,
        .columns = ColumnQuoting::AsNames,
        .identityLine = u"AutoWertIdentität NUMBER(10,0) PRIMARY KEY",
        .anyScaleDecimal = u"NUMBER",
        .identityIsListedKey = false,
        .identityBySequence = true,
        .constraintTableChars = 26,
        .freeConstraintName = false,
        .defaultKeyword = u"DEFAULT ",
        .nullKeyword = u"NULL",
        .memoDefaults = true,
        .dateValueDefaults = true,
        .dateFunctionDefaults = true,
        .blankDateDefault = false,
        .nowFunction = u"CURRENT_TIMESTAMP",
        .dateFunction = u"TRUNC(SYSDATE)",
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
        // NUMBER sums do not overflow; LENGTH counts characters, of a CLOB too.
        .wholeSum = u"SUM({c})",
        .flagSum = u"SUM({c})",
        .textCharacters = u"SUM(LENGTH({c}))",
        .memoCharacters = u"SUM(LENGTH({c}))",
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
        .reservedWords = db2Words(),
        .upperCaseNames = true,
        .columns = ColumnQuoting::AsNames,
        .identityLine = u"AutoWertIdentität INTEGER NOT NULL GENERATED ALWAYS AS IDENTITY (START WITH 0, INCREMENT BY "
                        u"1, NO CACHE ) "
                        u"PRIMARY KEY",
        .anyScaleDecimal = u"DECFLOAT(34)",
        .identityIsListedKey = false,
        .identityBySequence = false,
        .constraintTableChars = 14,
        .freeConstraintName = false,
        .defaultKeyword = u"WITH DEFAULT ",
        .nullKeyword = u"",
        .memoDefaults = true,
        .dateValueDefaults = false,
        .dateFunctionDefaults = false,
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
        // SUM of an INTEGER is an INTEGER; LENGTH counts bytes unless told the unit.
        .wholeSum = u"SUM(CAST({c} AS BIGINT))",
        .flagSum = u"SUM(CAST({c} AS BIGINT))",
        .textCharacters = u"SUM(CAST(LENGTH({c}, CODEUNITS32) AS BIGINT))",
        .memoCharacters = u"SUM(CAST(LENGTH({c}, CODEUNITS32) AS BIGINT))",
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

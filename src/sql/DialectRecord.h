#pragma once

// One record per server dialect: how its statements are spelled where the
// dialects differ. The statement writers read it instead of branching on the
// dialect (after the backend tables of mdbtools).

#include "core/Dialect.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// Which trigger syntax the server reads.
enum class TriggerSyntax {
    TransactSql,  // INSERTED, DELETED, UPDATE() (MS SQL, Sybase)
    MySql,        // NEW, OLD, FOR EACH ROW
    Oracle,       // :NEW, :OLD, FOR EACH ROW
    Db2,          // REFERENCING OLD AS O NEW AS N
};

// How the columns of CREATE TABLE, keys and INSERT are written.
enum class ColumnQuoting {
    DoubleQuotes,  // always "name" (MS SQL)
    Backticks,     // always `name` (MySQL)
    AsNames,       // by the name rule, as every other name
};

struct SqlDialect {
    Dialect dialect;
    QStringView caption;  // of its option button in the main window

    // Names. Where a name cannot stand bare it goes between `open` and
    // `close`; inside, `close` is doubled where the server reads it so.
    QLatin1Char open;
    QLatin1Char close;
    bool closeDoubles;
    // Characters the server reads in a bare name besides letters, digits and "_".
    QStringView bareExtras;
    const QSet<QString>& reservedWords;
    // Unquoted names are kept in upper case.
    bool upperCaseNames;
    ColumnQuoting columns;

    // Table creation.
    QStringView identityLine;  // the column AutoWertIdentität
    // The type of a calculated Decimal field, whose values each keep up to 28
    // digits at a scale of their own.
    QStringView anyScaleDecimal;
    bool identityIsListedKey;  // the key clause names it (else it carries PRIMARY KEY itself)
    bool identityBySequence;   // a sequence and a trigger stand in for it
    int constraintTableChars;  // "prim" + this many characters of the table
    bool freeConstraintName;   // a taken constraint name gets a unique suffix
    QStringView defaultKeyword;
    QStringView nullKeyword;    // of an optional column
    bool memoDefaults;          // Memo columns may have defaults
    bool dateValueDefaults;     // Date/Time columns may have a date as default
    bool dateFunctionDefaults;  // Date/Time columns may have Now() or Date() as default
    bool blankDateDefault;      // "Default ' ' für Alpha" also fills Date/Time
    QStringView nowFunction;    // Access's Now() as a default; empty: none
    QStringView dateFunction;   // Access's Date() as a default; empty: none
    bool memoKeyLength;         // a Memo column in a key or an index needs a length
    QStringView tableSuffix;    // after the closing parenthesis

    // Indexes.
    bool countsIndexes;              // the running index number is raised for each index
    bool indexNameNumbered;          // the index name begins with that number (3 digits)
    bool indexNameDated;             // the index name is table + name + time of day
    int indexNameChars;              // characters of the name kept after the number
    bool indexNameQuoted;            // always in double quotes
    bool indexNameNoDashes;          // "-" becomes "_"
    QStringView existingIndexError;  // the error text that says the index is there

    // Rows of equal columns may share one INSERT.
    bool sharedInserts;

    // Views and triggers.
    bool translatesViews;  // a refused view is translated from the Access text
    TriggerSyntax triggers;
    QStringView triggerFieldQuote;  // around every field name of a trigger; empty: by the name rule

    // The XDB run: its names quoted where they cannot stand bare
    // (MS SQL: always), added columns renamed with sp_rename, indexes looked
    // up and created.
    bool xdbQuotesAlways;
    bool renamesWithSpRename;
    bool createsXdbIndexes;
    bool xdbIndexBit2Skips;    // attribute bit 2 asks for no index
    bool xdbIndexNamesQuoted;  // the index's table and columns too, not only the index
    // Counts the indexes of a name on a table: {table} and {index} stand for
    // text literals, {prefixed} for the index under any three-character
    // prefix. Empty: the index is taken to be there (never looked up).
    QStringView indexExistsQuery;

    // What the driver reports as the server's product (SQL_DBMS_NAME), in part.
    QStringList products;

    // The check of the data (conversion/DataCheck): sums of whole numbers and
    // of Yes/No values that cannot overflow, and the characters of a Text and
    // of a Memo column counted exactly, trailing blanks and characters beyond
    // the BMP included; "{c}" stands for the column. Empty: the figure is
    // left out.
    QStringView wholeSum;
    QStringView flagSum;
    QStringView textCharacters;
    QStringView memoCharacters;
};

const SqlDialect& DialectRecord(Dialect dialect);

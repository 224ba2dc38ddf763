// Names and texts from a document: bare where the dialect reads them bare,
// else quoted so that nothing in them ends the statement.

#include "sql/Names.h"

#include "QtPrinters.h"
#include "sql/Literals.h"

#include <gtest/gtest.h>

TEST(Names, DelimitedPerDialect)
{
    // Name; then MS SQL, Sybase, MySQL, Oracle, DB2.
    const QList<QStringList> rows{
        {"Größe", "Größe", "Größe", "Größe", "Größe", "Größe"},
        {"Nr ", "Nr ", "Nr ", "Nr ", "Nr ", "Nr "},          // blanks around a name do not count
        {"1a", "[1a]", "[1a]", "`1a`", "\"1a\"", "\"1a\""},  // no name begins with a digit
        {"a b", "[a b]", "[a b]", "`a b`", "\"a b\"", "\"a b\""},
        {"V; DROP TABLE victim; --", "[V; DROP TABLE victim; --]", "[V; DROP TABLE victim; --]",
         "`V; DROP TABLE victim; --`", "\"V; DROP TABLE victim; --\"", "\"V; DROP TABLE victim; --\""},
        {"a]`\"b", "[a]]`\"b]", "\"a]`\"\"b\"", "`a]``\"b`", "\"a]`\"\"b\"", "\"a]`\"\"b\""},
        {"", "[]", "[]", "``", "\"\"", "\"\""},
    };
    for (const QStringList& row : rows) {
        int column = 1;
        for (Dialect d : {Dialect::MSSQL, Dialect::Sybase, Dialect::MySQL, Dialect::Oracle, Dialect::DB2})
            EXPECT_EQ(DelimitedName(row[0], d), row[column++]) << row[0].toStdString();
    }
    EXPECT_EQ(QuotedText(QStringLiteral("O'Neil'; --"), Dialect::MSSQL), QStringLiteral("'O''Neil''; --'"));
    EXPECT_EQ(QuotedText(QStringLiteral("O\u2019Neil"), Dialect::Sybase), QStringLiteral("'ONeil'"));
}

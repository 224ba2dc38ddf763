// Names and texts from a document: bare where the dialect reads them bare,
// else quoted so that nothing in them ends the statement.

#include "sql/Names.h"

#include "QtPrinters.h"
#include "sql/Literals.h"

#include <gtest/gtest.h>

// The one name rule; quotes inside doubled, reserved words quoted (on Oracle
// and DB2 in the upper case a bare name would have had).
TEST(Names, OneRulePerDialect)
{
    // Name; then MS SQL, Sybase, MySQL, Oracle, DB2.
    const QList<QStringList> rows{
        {"Artikel", "Artikel", "Artikel", "Artikel", "Artikel", "Artikel"},
        {"AutoWertIdentität", "AutoWertIdentität", "AutoWertIdentität", "AutoWertIdentität", "AutoWertIdentität",
         "AutoWertIdentität"},
        {"Order Details", "[Order Details]", "[Order Details]", "`Order Details`", "\"Order Details\"",
         "\"Order Details\""},
        {"Ku'den", "[Ku'den]", "[Ku'den]", "`Ku'den`", "\"Ku'den\"", "\"Ku'den\""},
        {"x DROP TABLE victim", "[x DROP TABLE victim]", "[x DROP TABLE victim]", "`x DROP TABLE victim`",
         "\"x DROP TABLE victim\"", "\"x DROP TABLE victim\""},
        {"2024", "[2024]", "[2024]", "`2024`", "\"2024\"", "\"2024\""},
        {"Ix-Bemerkung", "[Ix-Bemerkung]", "[Ix-Bemerkung]", "`Ix-Bemerkung`", "\"Ix-Bemerkung\"", "\"Ix-Bemerkung\""},
        {"Order", "[Order]", "[Order]", "`Order`", "\"ORDER\"", "\"ORDER\""},
        {"check", "[check]", "[check]", "`check`", "\"CHECK\"", "\"CHECK\""},
        {"Date", "Date", "Date", "Date", "\"DATE\"", "\"DATE\""},
        {"Nr#", "Nr#", "Nr#", "`Nr#`", "Nr#", "Nr#"},
        {"Preis$", "Preis$", "Preis$", "Preis$", "Preis$", "Preis$"},
        {"a]`\"b", "[a]]`\"b]", "\"a]`\"\"b\"", "`a]``\"b`", "\"a]`\"\"b\"", "\"a]`\"\"b\""},
    };
    for (const QStringList& row : rows) {
        int column = 1;
        for (Dialect d : {Dialect::MSSQL, Dialect::Sybase, Dialect::MySQL, Dialect::Oracle, Dialect::DB2})
            EXPECT_EQ(SqlName(row[0], d), row[column++]) << row[0].toStdString() << " " << dialectName(d).toStdString();
    }
    // Sybase reads no closing bracket inside brackets: such a name cannot be written there.
    EXPECT_FALSE(CanQuote(QStringLiteral("a]b"), Dialect::Sybase));
    EXPECT_TRUE(CanQuote(QStringLiteral("a]b"), Dialect::MSSQL));
}

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

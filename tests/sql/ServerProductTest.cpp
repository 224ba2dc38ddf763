#include "sql/ServerProduct.h"

#include <gtest/gtest.h>

TEST(ServerProduct, TheLineNamesTheProductAndTheDialectThatFits)
{
    const QString fits = QStringLiteral("Der Server meldet sich als %1; dazu passt der Dialekt %2, gewählt ist %3.");
    const struct {
        const char* dbms;
        Dialect chosen;
        QString line;  // empty: nothing to say
    } cases[] = {
        {"MariaDB", Dialect::MSSQL, fits.arg("MariaDB", "MySQL", "Microsoft SQL")},
        {"MariaDB", Dialect::MySQL, {}},
        {"mysql", Dialect::DB2, fits.arg("mysql", "MySQL", "DB2")},
        {"Microsoft SQL Server", Dialect::Sybase, fits.arg("Microsoft SQL Server", "Microsoft SQL", "Sybase")},
        {"Oracle", Dialect::Oracle, {}},
        {"Oracle", Dialect::MySQL, fits.arg("Oracle", "Oracle", "MySQL")},
        {"Adaptive Server Enterprise", Dialect::MSSQL,
         fits.arg("Adaptive Server Enterprise", "Sybase", "Microsoft SQL")},
        {"SQL Anywhere", Dialect::Sybase, {}},
        {"DB2/LINUXX8664", Dialect::Oracle, fits.arg("DB2/LINUXX8664", "DB2", "Oracle")},
        {"DB2/NT64", Dialect::DB2, {}},
        // A bare "SQL Server" may be an old Sybase as well; unknown products and no name: nothing to say.
        {"SQL Server", Dialect::MySQL, {}},
        {"PostgreSQL", Dialect::MSSQL, {}},
        {"", Dialect::Oracle, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProductMismatchLine(QString::fromUtf8(c.dbms), c.chosen), c.line) << c.dbms;
}

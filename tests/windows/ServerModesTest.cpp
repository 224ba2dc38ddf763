// The dialects without a server here, run where MariaDB reads them: its MSSQL,
// ORACLE and DB2 modes (data sources QELSQL_MSSQL ..., strict, without
// backslash escapes). A statement refused for its syntax is a fault; a table
// refused for a type or construct MariaDB lacks stays a letter-by-letter
// check of the statement tests.

#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "access/AccessDatabase.h"
#include "conversion/TableList.h"
#include "sql/Names.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct Mode {
    const char* dataSource;
    DialectButton button;
    Dialect dialect;
    // What MariaDB lacks in that mode, as its refusals name it.
    const char* lacking;
};

const Mode kModes[] = {
    // SQL Server reads '20240305 14:07:09'; MariaDB does not. Binary and
    // Decimal fields have no type on MS SQL (the table is refused, as on the server).
    {"QELSQL_MSSQL", &MDIForm_Main::Option_MSSQL, Dialect::MSSQL,
     "Unknown data type: '(MONEY|IMAGE|NULL)'|Incorrect datetime value: '\\d{8} "},
    // MariaDB's TIMESTAMP holds only the years 1970 to 2038.
    {"QELSQL_ORACLE", &MDIForm_Main::Option_Oracle, Dialect::Oracle, "Incorrect datetime value"},
    {"QELSQL_DB2", &MDIForm_Main::Option_DB2, Dialect::DB2,
     "near '(WITH DEFAULT|\\(4194304\\)|2G\\)|BLOB\\(X')|Incorrect datetime value"},
};

long rowsInFile(const dao::Database& db, const QString& table)
{
    const std::unique_ptr<dao::Recordset> rs = db.OpenRecordset(table);
    if (rs->RecordCount() == 0)
        return 0;
    rs->MoveLast();
    return rs->RecordCount();
}

}  // namespace

TEST(ServerModes, FilesWithNamesThatNeedQuotingLoadAndConvert)
{
    REQUIRE_TEST_SERVER();
    for (const char* file : {"Northwind.mdb", "hostile-names.mdb"}) {
        const QString path = fixturePath(QLatin1String(file));
        if (!QFileInfo::exists(path))
            GTEST_SKIP() << file << " not found";
        const std::unique_ptr<dao::Database> db = dao::Database::OpenDatabase(path);
        for (const Mode& mode : kModes) {
            SCOPED_TRACE(std::string(file) + " " + mode.dataSource);
            ServerProbe probe(QLatin1String(mode.dataSource));
            probe.dropAllTables();
            Program app(Login::TestServer, mode.button, QLatin1String(mode.dataSource));
            // The figures' query uses functions MariaDB's modes lack (LEN, CODEUNITS32).
            app.konv->Check_Pruefen->setChecked(false);
            ASSERT_TRUE(app.load(path).isEmpty());
            ASSERT_EQ(app.marked().size(), app.entries().size());  // the server has none of them yet
            app.convertMarked();
            const QStringList log = app.log();
            const QRegularExpression lacking(QLatin1String(mode.lacking));
            int converted = 0;
            for (const QString& entry : app.entries()) {
                const QString table = TableNameFromEntry(entry);
                // (NurNull's rows hold no value at all: they are not sent.)
                if (entry.endsWith(QLatin1String("[migriert]")) && table != QLatin1String("NurNull")) {
                    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + SqlName(table, mode.dialect))
                                  .toLongLong(),
                              rowsInFile(*db, table))
                        << table.toStdString();
                }
                if (entry.endsWith(QLatin1String("[migriert]"))) {
                    ++converted;
                    continue;
                }
                // Every server refusal of a failed table names what MariaDB lacks.
                const qsizetype start = log.indexOf(QStringLiteral("Tabelle: ") + table);
                for (qsizetype i = start + 1; i < log.size() && !log[i].startsWith(QLatin1String("Tabelle: ")); ++i) {
                    if (log[i].contains(QLatin1String("[ma-"))) {
                        EXPECT_TRUE(lacking.match(log[i]).hasMatch()) << log[i].toStdString();
                    }
                }
            }
            EXPECT_GE(converted, 2);
        }
    }
}

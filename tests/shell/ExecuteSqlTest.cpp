#include "RecordingConnection.h"
#include "shell/ExecuteSql.h"
#include "shell/TabrixError.h"

#include <gtest/gtest.h>

namespace {
const QString kPath = QStringLiteral("INSERT INTO Pfade (`Pfad`) VALUES ('C:\\Daten\\x')");

QString sent(Dialect dialect, bool linuxSwitch, QString* callerText = nullptr)
{
    RecordingConnection connection;
    QString statement = kPath;
    ExecuteSql(connection, dialect, linuxSwitch, statement);
    if (callerText)
        *callerText = statement;
    EXPECT_EQ(connection.statements.size(), 1);
    return connection.statements.value(0);
}
}  // namespace

TEST(ExecuteSql, DoublesBackslashesOnMySqlAndWritesThemBack)
{
    QString caller;
    const QString doubled = QStringLiteral("INSERT INTO Pfade (`Pfad`) VALUES ('C:\\\\Daten\\\\x')");
    EXPECT_EQ(sent(Dialect::MySQL, false, &caller), doubled);
    EXPECT_EQ(caller, doubled);
    // MySQL doubles whatever the Linux box says.
    EXPECT_EQ(sent(Dialect::MySQL, true), doubled);
    EXPECT_EQ(sent(Dialect::Sybase, true), doubled);
}

TEST(ExecuteSql, LeavesBackslashesAloneElsewhere)
{
    for (Dialect d : {Dialect::MSSQL, Dialect::Oracle, Dialect::DB2}) {
        QString caller;
        EXPECT_EQ(sent(d, true, &caller), kPath) << dialectName(d).toStdString();
        EXPECT_EQ(caller, kPath);
    }
    EXPECT_EQ(sent(Dialect::Sybase, false), kPath);
}

TEST(ExecuteSql, ToleratesS1000OnlyOnSybase)
{
    RecordingConnection connection;
    connection.failWhenStartsWith(QStringLiteral("UPDATE"), QStringLiteral("S1000:[Sybase]Warnung"));
    QString statement = QStringLiteral("UPDATE t SET a = 1");
    EXPECT_NO_THROW(ExecuteSql(connection, Dialect::Sybase, false, statement));
    for (Dialect d : {Dialect::MSSQL, Dialect::MySQL, Dialect::Oracle, Dialect::DB2}) {
        try {
            ExecuteSql(connection, d, false, statement);
            ADD_FAILURE() << "no error raised on " << dialectName(d).toStdString();
        } catch (const TabrixError& e) {
            EXPECT_EQ(e.number(), TabrixError::ServerErrorNumber);
            EXPECT_EQ(e.description(), QStringLiteral("S1000:[Sybase]Warnung"));
            EXPECT_EQ(e.source(), QStringLiteral("ODBC"));
        }
    }
}

TEST(ExecuteSql, RaisesOtherSybaseErrorsUnchanged)
{
    RecordingConnection connection;
    connection.failWhenStartsWith(QStringLiteral("CREATE"), QStringLiteral("37000:syntax"));
    QString statement = QStringLiteral("CREATE TABLE x");
    EXPECT_THROW(ExecuteSql(connection, Dialect::Sybase, false, statement), TabrixError);
    // The state must stand at the very start to be tolerated.
    connection.failures.clear();
    connection.failWhenStartsWith(QStringLiteral("CREATE"), QStringLiteral(" S1000:late"));
    EXPECT_THROW(ExecuteSql(connection, Dialect::Sybase, false, statement), TabrixError);
}

TEST(IsModuleDataSource, MatchesTheFirstFiveLettersInAnyCase)
{
    EXPECT_TRUE(IsModuleDataSource(QStringLiteral("tevra")));
    EXPECT_TRUE(IsModuleDataSource(QStringLiteral("TeVrA_Mandant1")));
    EXPECT_TRUE(IsModuleDataSource(QStringLiteral("MOLIXSQL")));
    EXPECT_TRUE(IsModuleDataSource(QStringLiteral("durno")));
    EXPECT_FALSE(IsModuleDataSource(QStringLiteral("TEVR")));
    EXPECT_FALSE(IsModuleDataSource(QStringLiteral("QELSQL")));
    EXPECT_FALSE(IsModuleDataSource(QStringLiteral(" TEVRA")));
    EXPECT_FALSE(IsModuleDataSource(QString()));
}

#include "server/ExecuteSql.h"

#include "RecordingConnection.h"
#include "core/TabrixError.h"
#include "server/ServerErrors.h"

#include <gtest/gtest.h>

namespace {
const QString kPath = QStringLiteral("INSERT INTO Pfade (`Pfad`) VALUES ('C:\\Daten\\x')");

QString sent(Dialect dialect, bool linuxSwitch)
{
    RecordingConnection connection;
    ExecuteSql(connection, {dialect, linuxSwitch}, kPath);
    EXPECT_EQ(connection.statements.size(), 1);
    return connection.statements.value(0);
}
}  // namespace

TEST(ExecuteSql, DoublesBackslashesOnMySqlAndSybaseOnLinux)
{
    const QString doubled = QStringLiteral("INSERT INTO Pfade (`Pfad`) VALUES ('C:\\\\Daten\\\\x')");
    // MySQL doubles whatever the Linux box says; Sybase only with it.
    for (const bool linuxSwitch : {false, true}) {
        EXPECT_EQ(sent(Dialect::MySQL, linuxSwitch), doubled);
        EXPECT_EQ(sent(Dialect::Sybase, linuxSwitch), linuxSwitch ? doubled : kPath);
        for (Dialect d : {Dialect::MSSQL, Dialect::Oracle, Dialect::DB2})
            EXPECT_EQ(sent(d, linuxSwitch), kPath) << dialectName(d).toStdString();
    }
}

TEST(ExecuteSql, ToleratesS1000OnlyOnSybase)
{
    RecordingConnection connection;
    connection.failWhenStartsWith(QStringLiteral("UPDATE"), QStringLiteral("S1000:[Sybase]Warnung"));
    const QString statement = QStringLiteral("UPDATE t SET a = 1");
    EXPECT_NO_THROW(ExecuteSql(connection, {Dialect::Sybase}, statement));
    for (Dialect d : {Dialect::MSSQL, Dialect::MySQL, Dialect::Oracle, Dialect::DB2}) {
        try {
            ExecuteSql(connection, {d}, statement);
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
    const QString statement = QStringLiteral("CREATE TABLE x");
    EXPECT_THROW(ExecuteSql(connection, {Dialect::Sybase}, statement), TabrixError);
    // The state must stand at the very start to be tolerated.
    connection.failures.clear();
    connection.failWhenStartsWith(QStringLiteral("CREATE"), QStringLiteral(" S1000:late"));
    EXPECT_THROW(ExecuteSql(connection, {Dialect::Sybase}, statement), TabrixError);
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

// The doubling is meant for string literals: a name between grave accents
// keeps its backslash, also when a literal of the same statement holds a
// grave accent or an apostrophe.
TEST(ExecuteSql, NamesBetweenGraveAccentsKeepTheirBackslashes)
{
    struct Case {
        QString in;
        QString out;
    };
    const QList<Case> cases = {
        {QStringLiteral("INSERT INTO `Art\\kel` (`Me\\ge`) VALUES ('a\\b')"),
         QStringLiteral("INSERT INTO `Art\\kel` (`Me\\ge`) VALUES ('a\\\\b')")},
        // A grave accent inside a literal opens no name.
        {QStringLiteral("INSERT INTO t (`n`) VALUES ('I`o\\x','y\\')"),
         QStringLiteral("INSERT INTO t (`n`) VALUES ('I`o\\\\x','y\\\\')")},
        // A doubled apostrophe stays inside the literal; a doubled grave accent inside the name.
        {QStringLiteral("INSERT INTO `a``\\b` (`c`) VALUES ('it''s \\ `')"),
         QStringLiteral("INSERT INTO `a``\\b` (`c`) VALUES ('it''s \\\\ `')")},
        {QStringLiteral("SELECT '\\'"), QStringLiteral("SELECT '\\\\'")},
    };
    for (const Case& c : cases) {
        QString s = c.in;
        DoubleBackslashes(s);
        EXPECT_EQ(s, c.out) << c.in.toStdString();
    }
}

TEST(ServerNames, ConnectionLossIsStateClass08)
{
    EXPECT_TRUE(IsConnectionLost(TabrixError(40002, QStringLiteral("08S01:[ma-3.1.15]Server has gone away"))));
    EXPECT_TRUE(IsConnectionLost(TabrixError(40002, QStringLiteral("08003:Keine Verbindung zum SQL-Server"))));
    EXPECT_FALSE(IsConnectionLost(TabrixError(40002, QStringLiteral("S0002:no such table"))));
    EXPECT_FALSE(IsConnectionLost(TabrixError(40002, QStringLiteral("42000:syntax 08"))));
    // Only server errors: an engine error whose text happens to begin with 08 is none.
    EXPECT_FALSE(IsConnectionLost(TabrixError(3049, QStringLiteral("08 damaged"))));
}

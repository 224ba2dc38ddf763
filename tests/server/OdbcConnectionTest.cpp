// The ODBC server connection against the MariaDB test server.

#include "TestSupport.h"
#include "core/TabrixError.h"
#include "server/ServerConnection.h"
#include "server/ServerErrors.h"

#include <QCoreApplication>

#include <cstring>
#include <functional>
#include <limits>

namespace {

// Runs `action` and returns the TabrixError it raised; fails the test when none is raised.
TabrixError raisedBy(const std::function<void()>& action)
{
    try {
        action();
    } catch (const TabrixError& e) {
        return e;
    }
    ADD_FAILURE() << "no TabrixError raised";
    return TabrixError(0, QString());
}

int environmentCounter = 0;

std::unique_ptr<ServerEnvironment> newEnvironment()
{
    return ServerEnvironment::Create(QStringLiteral("OdbcTest%1").arg(++environmentCounter), QString(), QString());
}

class OdbcConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_SERVER();
        env = newEnvironment();
        env->SetUserName(TestServer::user());
        env->SetPassword(TestServer::password());
        db = env->OpenConnection(TestServer::dataSource());
    }

    void TearDown() override
    {
        for (const QString& table : created)
            db->Execute(QStringLiteral("DROP TABLE IF EXISTS `%1`").arg(table));
    }

    // A table name of this process, dropped after the test.
    QString table(const QString& stem)
    {
        const QString name = stem + QString::number(QCoreApplication::applicationPid());
        created.append(name);
        db->Execute(QStringLiteral("DROP TABLE IF EXISTS `%1`").arg(name));
        return name;
    }

    QVariant firstValue(const QString& query, int type = rdOpenForwardOnly, int column = 0)
    {
        return db->OpenResultset(query, type)->Value(column);
    }

    std::unique_ptr<ServerEnvironment> env;
    std::unique_ptr<ServerConnection> db;
    QStringList created;
};

TEST_F(OdbcConnectionTest, MissingTableRaisesServerErrorWithOdbc2State)
{
    const QString query = QStringLiteral("SELECT COUNT(*) FROM tabrix_no_such_table");
    for (const TabrixError& e :
         {raisedBy([&] { db->Execute(query); }), raisedBy([&] { db->OpenResultset(query, rdOpenForwardOnly); })}) {
        EXPECT_EQ(e.number(), 40002);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("S0002:["))) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("tabrix_no_such_table"))) << e.description().toStdString();
        EXPECT_EQ(e.source(), QStringLiteral("ODBC"));
    }
    // The shared statement handle stays usable after an error.
    EXPECT_EQ(firstValue(QStringLiteral("SELECT 7")).toInt(), 7);
}

TEST_F(OdbcConnectionTest, StatementsTouchingNoRowsAreNotErrors)
{
    const QString t = table(QStringLiteral("tabrix_empty"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (id INT)").arg(t));
    EXPECT_NO_THROW(db->Execute(QStringLiteral("UPDATE `%1` SET id = 2 WHERE id = 1").arg(t)));
    EXPECT_NO_THROW(db->Execute(QStringLiteral("DELETE FROM `%1`").arg(t)));
    // A statement that returns rows through Execute leaves nothing pending.
    EXPECT_NO_THROW(db->Execute(QStringLiteral("SELECT * FROM `%1`").arg(t)));
    db->Execute(QStringLiteral("INSERT INTO `%1` VALUES (5)").arg(t));
    EXPECT_EQ(firstValue(QStringLiteral("SELECT id FROM `%1`").arg(t)).toInt(), 5);
}

TEST_F(OdbcConnectionTest, UmlautNamesAndTextsSurviveTheRoundTrip)
{
    const QString t = table(QStringLiteral("tabrix_Größe"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (AutoWertIdentität INT, Bezeichnung TEXT)").arg(t));
    const QString text = QStringLiteral("Größenmaß für Übergänge – 10 €");
    // Longer than one read buffer, so the text arrives in several pieces.
    const QString longText = QString(5000, QChar(0x00E4)) + QStringLiteral("Ende");
    db->Execute(QStringLiteral("INSERT INTO `%1` (AutoWertIdentität, Bezeichnung) VALUES (1, '%2'), (2, '%3')")
                    .arg(t, text, longText));

    EXPECT_EQ(firstValue(QStringLiteral("SELECT Bezeichnung FROM `%1` WHERE AutoWertIdentität = 1").arg(t)), text);
    EXPECT_EQ(firstValue(QStringLiteral("SELECT Bezeichnung FROM `%1` WHERE AutoWertIdentität = 2").arg(t)), longText);
    EXPECT_EQ(firstValue(QStringLiteral("SELECT COUNT(*) FROM `%1` WHERE Bezeichnung LIKE 'Größe%'").arg(t)).toInt(),
              1);
    EXPECT_EQ(db->CatalogueTable(t).Columns,
              QStringList({QStringLiteral("AutoWertIdentität"), QStringLiteral("Bezeichnung")}));
}

// Connector/ODBC 3.1 reads past the end of a text of given length that holds a
// character whose low byte is 0xD8 to 0xDB ("Ø", "Ú"): statements and names go
// as terminated texts (the sanitizer build catches the overread otherwise).
TEST_F(OdbcConnectionTest, LettersTheDriverMiscountsArrive)
{
    const QString t = table(QStringLiteral("tabrix_Øre"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (Nr INT, Wort TEXT)").arg(t));
    const QString word = QStringLiteral("ØÙÚÛ-Ø");
    db->Execute(QStringLiteral("INSERT INTO `%1` VALUES (1, '%2')").arg(t, word));
    EXPECT_EQ(firstValue(QStringLiteral("SELECT Wort FROM `%1` WHERE Nr = 1").arg(t)).toString(), word);
    // Long enough to come in several pieces.
    const QString many = QString(3000, QChar(0x00D8)) + QStringLiteral("xyz");
    EXPECT_EQ(firstValue(QStringLiteral("SELECT CONCAT(REPEAT('Ø', 3000), 'xyz')")).toString(), many);
    EXPECT_EQ(db->CatalogueTable(t).Columns, QStringList({QStringLiteral("Nr"), QStringLiteral("Wort")}));
}

TEST_F(OdbcConnectionTest, CatalogueFindsTablesInAnyLetterCase)
{
    const QString t = table(QStringLiteral("Tabrix_Katalog"));
    // '_' is a wildcard in catalogue patterns: this neighbour must not lend its columns.
    const QString neighbour = table(QStringLiteral("TabrixXKatalog"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (Nummer INT, Name VARCHAR(20), Betrag DOUBLE)").arg(t));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (Fremd INT)").arg(neighbour));

    for (const QString& asked : {t.toLower(), t.toUpper(), t}) {
        const ServerTable found = db->CatalogueTable(asked);
        EXPECT_EQ(found.Name, t);
        EXPECT_EQ(found.Columns,
                  QStringList({QStringLiteral("Nummer"), QStringLiteral("Name"), QStringLiteral("Betrag")}));
    }

    // A table created after the first lookup is found: every lookup reads the catalogue anew.
    const QString later = table(QStringLiteral("tabrix_spaeter"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (x INT)").arg(later));
    EXPECT_EQ(db->CatalogueTable(later).Name, later);

    const TabrixError missing = raisedBy([&] { db->CatalogueTable(QStringLiteral("tabrix_no_such_table")); });
    EXPECT_EQ(missing.number(), 40002);
    EXPECT_TRUE(missing.description().startsWith(QStringLiteral("S0002:"))) << missing.description().toStdString();
}

TEST_F(OdbcConnectionTest, ResultSetsReturnTheFirstRow)
{
    const QString t = table(QStringLiteral("tabrix_rows"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (id INT, name VARCHAR(20), note VARCHAR(20))").arg(t));
    db->Execute(QStringLiteral("INSERT INTO `%1` VALUES (1, 'erste', NULL), (2, 'zweite', 'x')").arg(t));

    for (int type : {rdOpenForwardOnly, rdOpenStatic}) {
        SCOPED_TRACE(type);
        const QVariant count = firstValue(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(t), type);
        EXPECT_EQ(count.toLongLong(), 2);
        EXPECT_TRUE(count.typeId() == QMetaType::LongLong || count.typeId() == QMetaType::Int) << count.typeName();

        auto rs = db->OpenResultset(QStringLiteral("SELECT name, id, note FROM `%1` ORDER BY id").arg(t), type);
        // Columns in any order, and more than once.
        EXPECT_EQ(rs->Value(1).toInt(), 1);
        EXPECT_EQ(rs->Value(0), QVariant(QStringLiteral("erste")));
        EXPECT_EQ(rs->Value(0), QVariant(QStringLiteral("erste")));
        EXPECT_TRUE(rs->Value(2).isNull());
        rs->Close();
    }

    auto none = db->OpenResultset(QStringLiteral("SELECT id FROM `%1` WHERE id = 99").arg(t), rdOpenForwardOnly);
    EXPECT_EQ(raisedBy([&] { none->Value(0); }).number(), 40002);
}

TEST_F(OdbcConnectionTest, ResultSetOutlivesItsConnection)
{
    auto rs = db->OpenResultset(QStringLiteral("SELECT 'bleibt'"), rdOpenStatic);
    db.reset();
    env.reset();
    EXPECT_EQ(rs->Value(0), QVariant(QStringLiteral("bleibt")));
}

TEST_F(OdbcConnectionTest, EngineBdbIsSubstitutedAndTheModeListStaysValid)
{
    const QString t = table(QStringLiteral("tabrix_bdb"));
    EXPECT_NO_THROW(db->Execute(QStringLiteral("CREATE TABLE `%1` (id INT) ENGINE=BDB").arg(t)));
    EXPECT_EQ(db->CatalogueTable(t).Name, t);

    const QString mode = firstValue(QStringLiteral("SELECT @@SESSION.sql_mode")).toString();
    EXPECT_FALSE(mode.contains(QStringLiteral("NO_ENGINE_SUBSTITUTION"))) << mode.toStdString();
    EXPECT_TRUE(mode.contains(QStringLiteral("STRICT_TRANS_TABLES"))) << mode.toStdString();
    EXPECT_FALSE(mode.startsWith(QLatin1Char(',')) || mode.endsWith(QLatin1Char(','))
                 || mode.contains(QStringLiteral(",,")))
        << mode.toStdString();

    // Access's 89 Text(50) columns of one table: over InnoDB's largest row on paper, not in its rows.
    const QString wide = table(QStringLiteral("tabrix_wide"));
    QStringList columns;
    for (int i = 0; i < 89; ++i)
        columns << QStringLiteral("c%1 VARCHAR(50) NULL").arg(i);
    EXPECT_NO_THROW(db->Execute(QStringLiteral("CREATE TABLE `%1` (%2) ENGINE=BDB").arg(wide, columns.join(u','))));
    EXPECT_NO_THROW(db->Execute(QStringLiteral("INSERT INTO `%1` (c0, c88) VALUES ('a', 'b')").arg(wide)));
}

TEST_F(OdbcConnectionTest, NameAndDescriptionNameDataSourceDriverAndServer)
{
    EXPECT_EQ(db->Name(), TestServer::dataSource());
    const QString description = db->Description();
    EXPECT_TRUE(description.contains(QStringLiteral("maodbc"))) << description.toStdString();
    EXPECT_TRUE(description.contains(QStringLiteral(" / MariaDB 10."))) << description.toStdString();
    EXPECT_EQ(db->DbmsName(), QStringLiteral("MariaDB"));
}

// Parameter arrays: every kind arrives exactly, NULL in each, NUL characters
// and the letters the driver miscounts in wide texts; a refused row fails the
// array, and InnoDB keeps none of its rows.
TEST_F(OdbcConnectionTest, ArrayValuesArriveExactly)
{
    const QString t = table(QStringLiteral("tabrix_array"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (id INT PRIMARY KEY, w BIGINT, d DECIMAL(19,4), f DOUBLE, "
                               "ts DATETIME, s LONGTEXT, b LONGBLOB) ENGINE=InnoDB")
                    .arg(t));
    using T = ParameterType;
    using V = ParameterValue;
    auto statement = db->PrepareArray(QStringLiteral("INSERT INTO `%1` VALUES (?,?,?,?,?,?,?)").arg(t),
                                      {T::Whole, T::Whole, T::Decimal, T::Double, T::Timestamp, T::Text, T::Binary}, 3);
    const struct {
        QList<V> values;
        QString onServer;  // w, d, ts, HEX(s), HEX(b)
    } rows[] = {
        {{V::Whole(1), V::Whole(std::numeric_limits<qint64>::min()),
          V::Decimal(QStringLiteral("-922337203685477.5808")), V::Double(0.1), V::Timestamp({100, 1, 1, 0, 0, 0, 0}),
          V::Text(QString::fromUtf16(u"a\0ØÙÚÛ", 6)), V::Binary(QByteArray("\0\xFF\0", 3))},
         QStringLiteral("-9223372036854775808|-922337203685477.5808|0100-01-01 00:00:00|6100C398C399C39AC39B|00FF00")},
        {{V::Whole(2), V(), V(), V(), V(), V(), V()}, QStringLiteral("NULL|NULL|NULL|NULL|NULL")},
        {{V::Whole(3), V::Whole(std::numeric_limits<qint64>::max()), V::Decimal(QStringLiteral("0.0001")),
          V::Double(-2.5e-300), V::Timestamp({2024, 2, 29, 23, 59, 59, 0}), V::Text(QStringLiteral("😀'\\")),
          V::Binary(QByteArray())},
         QStringLiteral("9223372036854775807|0.0001|2024-02-29 23:59:59|F09F9880275C|")},
    };
    ParameterArray array = statement->NewArray();
    for (const auto& row : rows)
        ASSERT_TRUE(array.Append(row.values));
    EXPECT_EQ(statement->Execute(array), QList<ArrayRowState>(3, ArrayRowState::Stored));
    for (const auto& row : rows) {
        auto rs = db->OpenResultset(QStringLiteral("SELECT CONCAT_WS('|', IFNULL(w, 'NULL'), IFNULL(d, 'NULL'), "
                                                   "IFNULL(ts, 'NULL'), IFNULL(HEX(s), 'NULL'), IFNULL(HEX(b), "
                                                   "'NULL')), f FROM `%1` WHERE id = %2")
                                        .arg(t)
                                        .arg(row.values[0].whole),
                                    rdOpenForwardOnly);
        EXPECT_EQ(rs->Value(0).toString(), row.onServer);
        const double f = rs->Value(1).toDouble();
        EXPECT_TRUE(row.values[3].null ? rs->Value(1).isNull() : std::memcmp(&f, &row.values[3].real, sizeof f) == 0);
    }

    array.Clear();
    array.Append({V::Whole(10), V(), V(), V(), V(), V(), V()});
    array.Append(rows[0].values);
    const TabrixError refused = raisedBy([&] { statement->Execute(array); });
    EXPECT_TRUE(refused.description().startsWith(QStringLiteral("23000:"))) << refused.description().toStdString();
    EXPECT_EQ(firstValue(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(t)).toInt(), 3);
}

// An array beyond the server's largest packet would end the connection
// (08S01): a statement's arrays stay below it.
TEST_F(OdbcConnectionTest, ArraysStayBelowTheServersPacketAndALostConnectionIsClass08)
{
    const QString t = table(QStringLiteral("tabrix_packet"));
    db->Execute(QStringLiteral("CREATE TABLE `%1` (id INT PRIMARY KEY, s LONGTEXT) ENGINE=InnoDB").arg(t));
    auto statement = db->PrepareArray(QStringLiteral("INSERT INTO `%1` VALUES (?,?)").arg(t),
                                      {ParameterType::Whole, ParameterType::Text}, 1000);
    // Buffers larger than the packet, so that the packet is the limit.
    ParameterArray array = statement->NewArray(qsizetype(db->MaxStatementBytes()) * 2);
    const QString text(10000, QChar(0x00E4));
    int id = 0;
    while (array.Append({ParameterValue::Whole(++id), ParameterValue::Text(text)})) {
    }
    // Within two rows of the packet.
    EXPECT_GT(array.Rows() * 20000LL, db->MaxStatementBytes() - 40000);
    EXPECT_NO_THROW(statement->Execute(array));
    EXPECT_EQ(firstValue(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(t)).toInt(), array.Rows());

    auto second = env->OpenConnection(TestServer::dataSource());
    second->Execute(QStringLiteral("KILL %1").arg(firstValue(QStringLiteral("SELECT CONNECTION_ID()")).toLongLong()));
    const TabrixError lost = raisedBy([&] { statement->Execute(array); });
    EXPECT_TRUE(IsConnectionLost(lost)) << lost.description().toStdString();
    db = std::move(second);
}

TEST(OdbcLogin, FailuresRaiseServerErrors)
{
    REQUIRE_TEST_SERVER();
    auto env = newEnvironment();
    env->SetUserName(TestServer::user());
    env->SetPassword(QStringLiteral("wrong password"));
    const TabrixError denied = raisedBy([&] { env->OpenConnection(TestServer::dataSource()); });
    EXPECT_EQ(denied.number(), 40002);
    EXPECT_TRUE(denied.description().startsWith(QStringLiteral("28000:"))) << denied.description().toStdString();

    env->SetPassword(TestServer::password());
    for (const QString& dsn : {QStringLiteral("TABRIX_NO_SUCH_DSN"), QString()}) {
        const TabrixError unknown = raisedBy([&] { env->OpenConnection(dsn); });
        EXPECT_EQ(unknown.number(), 40002);
        EXPECT_EQ(unknown.description().indexOf(QLatin1Char(':')), 5) << unknown.description().toStdString();
    }

    // The same environment still logs in once the data is right.
    EXPECT_NO_THROW(env->OpenConnection(TestServer::dataSource()));
}

TEST(OdbcEnvironment, NamesAreUniqueWhileTheEnvironmentLives)
{
    auto first = ServerEnvironment::Create(QStringLiteral("0TabrixEnv"), QString(), QString());
    EXPECT_EQ(first->Name(), QStringLiteral("0TabrixEnv"));
    EXPECT_THROW(ServerEnvironment::Create(QStringLiteral("0TabrixEnv"), QString(), QString()), TabrixError);
    EXPECT_THROW(ServerEnvironment::Create(QStringLiteral("0tabrixenv"), QString(), QString()), TabrixError);

    // The failed creations did not take the name from the live environment.
    auto second = ServerEnvironment::Create(QStringLiteral("1TabrixEnv"), QString(), QString());
    EXPECT_THROW(ServerEnvironment::Create(QStringLiteral("0TabrixEnv"), QString(), QString()), TabrixError);

    second->SetCursorDriver(4);
    EXPECT_EQ(second->CursorDriver(), 4);

    first.reset();
    EXPECT_NO_THROW(ServerEnvironment::Create(QStringLiteral("0TabrixEnv"), QString(), QString()));
}

}  // namespace

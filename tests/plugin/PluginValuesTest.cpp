#include "core/TabrixError.h"
#include "plugin/modDatenbankErweiterung.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string s(const QString& text)
{
    return text.toStdString();
}

const QString kSection = QStringLiteral("Database Source");

class IniFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray& content)
    {
        const QString path = dir.filePath(QStringLiteral("qel.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }
    std::string read(const QByteArray& content, const QString& key)
    {
        return s(ReadIniValue(write(content), kSection, key));
    }
    std::string server(const QByteArray& content) { return read(content, QStringLiteral("SQL_Server")); }
    std::string database(const QByteArray& content) { return read(content, QStringLiteral("SQL_Database")); }
    QTemporaryDir dir;
};

}  // namespace

TEST(EncodeBase64, Rfc4648TestVectors)
{
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(s(EncodeBase64(QString::fromLatin1(plain), true)), encoded) << plain;
        // The last group is padded either way.
        EXPECT_EQ(s(EncodeBase64(QString::fromLatin1(plain), false)), encoded) << plain;
    }
}

TEST(EncodeBase64, EncodesTheWindows1252Bytes)
{
    EXPECT_EQ(s(EncodeBase64(QStringLiteral("Ä"), true)), "xA==");
    EXPECT_EQ(s(EncodeBase64(QStringLiteral("äöüß"), true)), "5Pb83w==");
    EXPECT_EQ(s(EncodeBase64(QStringLiteral("€"), true)), "gA==");
    EXPECT_EQ(s(EncodeBase64(QStringLiteral("Grüße €5"), true)), "R3L832UggDU=");
    // Outside the code page: one "?" per character, also beyond 16 bits.
    EXPECT_EQ(s(EncodeBase64(QStringLiteral("Ω"), true)), "Pw==");
    EXPECT_EQ(s(EncodeBase64(QStringLiteral("😀"), true)), "Pw==");
}

TEST(FileExists, OnlyExistingNormalFiles)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("datei.txt"));
    const QString hidden = dir.filePath(QStringLiteral(".versteckt"));
    for (const QString& path : {plain, hidden}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_TRUE(FileExists(plain));
    EXPECT_FALSE(FileExists(hidden));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.filePath(QStringLiteral("fehlt.txt"))));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(QStringLiteral("   ")));
}

TEST_F(IniFileTest, FindsTheKeyInItsSectionInAnyLetterCase)
{
    const QByteArray ini = "[Allgemein]\r\nSQL_Server=falsch\r\n"
                           "[database source]\r\nsql_database = qel \r\nSQL_Server=  db.example.local  \r\n"
                           "[Danach]\r\nSQL_Database=auch falsch\r\n";
    EXPECT_EQ(database(ini), "qel");
    EXPECT_EQ(server(ini), "db.example.local");
    EXPECT_EQ(read(ini, QStringLiteral("SQL_Port")), "");
    EXPECT_EQ(s(ReadIniValue(write(ini), QStringLiteral("Anderswo"), QStringLiteral("SQL_Server"))), "");
}

TEST_F(IniFileTest, KeyIsAPrefixTestAndTheFirstMatchWins)
{
    // A line without "=" is no entry; a longer key that begins with the key is one.
    EXPECT_EQ(server("[Database Source]\nSQL_Server\nSQL_ServerAlt=alt\nSQL_Server=neu\n"), "alt");
    // Everything after the first "=" is the value.
    EXPECT_EQ(server("[Database Source]\nSQL_Server = a=b \n"), "a=b");
}

TEST_F(IniFileTest, IndentedSectionLinesStartButDoNotEndTheSection)
{
    EXPECT_EQ(server("[Anfang]\n   [Database Source]\n  SQL_Server=eingerückt\n"), "eingerückt");
    EXPECT_EQ(server("[Database Source]\n  [Andere]\nSQL_Server=noch drin\n"), "noch drin");
    EXPECT_EQ(server("[Database Source]\n[Andere]\nSQL_Server=draußen\n"), "");
}

TEST_F(IniFileTest, LinesBeforeTheFirstSectionAreNoEntries)
{
    EXPECT_EQ(server("SQL_Server=vorher\n[Database Source]\nSQL_Database=qel\n"), "");
    EXPECT_EQ(server("SQL_Server=ohne Abschnitt\n"), "");
}

TEST_F(IniFileTest, MissingFileGivesAnEmptyText)
{
    EXPECT_EQ(s(ReadIniValue(dir.filePath(QStringLiteral("qel.ini")), kSection, QStringLiteral("SQL_Server"))), "");
}

TEST_F(IniFileTest, ReadsWindows1252UnlessTheFileIsUtf8)
{
    EXPECT_EQ(database("[Database Source]\nSQL_Database=M\xFCller \x80\n"), "Müller €");
    EXPECT_EQ(database("[Database Source]\nSQL_Database=M\xC3\xBCller \xE2\x82\xAC\n"), "Müller €");
    // With a byte-order mark the section line is still the first line.
    EXPECT_EQ(database("\xEF\xBB\xBF[Database Source]\nSQL_Database=qel\n"), "qel");
}

TEST_F(IniFileTest, UnreadableFileRaises)
{
    // A file the system lists but refuses to read, whoever asks.
    const QString path = dir.filePath(QStringLiteral("qel.ini"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), path));
    ASSERT_TRUE(FileExists(path));
    EXPECT_THROW(ReadIniValue(path, kSection, QStringLiteral("SQL_Server")), TabrixError);
}

TEST(PluginArguments, FourValuesOnlyWhenAllAreGiven)
{
    EXPECT_EQ(PluginArguments(QStringLiteral("qel"), QStringLiteral("localhost"), QStringLiteral("sa"),
                              QStringLiteral("geheim"), QString()),
              QStringList({QStringLiteral("-sp_datenbank=@@@cWVs"), QStringLiteral("-sp_server=@@@bG9jYWxob3N0"),
                           QStringLiteral("-sp_benutzer=@@@c2E="), QStringLiteral("-sp_passwort=@@@Z2VoZWlt")}));
    const QString v = QStringLiteral("x");
    EXPECT_TRUE(PluginArguments(QString(), v, v, v, QString()).isEmpty());
    EXPECT_TRUE(PluginArguments(v, QString(), v, v, QString()).isEmpty());
    EXPECT_TRUE(PluginArguments(v, v, QString(), v, QString()).isEmpty());
    EXPECT_TRUE(PluginArguments(v, v, v, QString(), QString()).isEmpty());
}

TEST(PluginArguments, ExtraTextIsSplitAtBlanksAfterTheValues)
{
    const QString v = QStringLiteral("x");
    EXPECT_EQ(PluginArguments(v, v, v, v, QStringLiteral("  -a  b ")).mid(4),
              QStringList({QStringLiteral("-a"), QStringLiteral("b")}));
    EXPECT_EQ(PluginArguments(QString(), v, v, v, QStringLiteral("-nur")), QStringList{QStringLiteral("-nur")});
    EXPECT_TRUE(PluginArguments(QString(), v, v, v, QStringLiteral("   ")).isEmpty());
}

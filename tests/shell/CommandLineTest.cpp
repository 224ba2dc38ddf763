#include "shell/CommandLine.h"

#include <gtest/gtest.h>

namespace {

std::string s(const QString& text)
{
    return text.toStdString();
}

}  // namespace

TEST(ParseCommandLine, EmptyLineLeavesEverythingAtItsStart)
{
    const CommandLineValues v = ParseCommandLine(QString());
    EXPECT_FALSE(v.autoMode);
    EXPECT_FALSE(v.noErrorMode);
    EXPECT_FALSE(v.hasOdbc || v.hasUser || v.hasPass || v.hasMdb || v.hasXdb);
    EXPECT_TRUE(v.odbcBoxText.isEmpty());
    EXPECT_TRUE(v.mdbPath.isEmpty());
}

TEST(ParseCommandLine, FullUnattendedLine)
{
    const CommandLineValues v = ParseCommandLine(
        QStringLiteral("-ODBC:QELSQL -user:sa -pass:geheim -MDBpfad:/data/erp.mdb -XDBpfad:/data/erp.xdb -auto"));
    EXPECT_TRUE(v.autoMode);
    EXPECT_FALSE(v.noErrorMode);
    EXPECT_EQ(s(v.cmdOdbcName), "QELSQL");
    EXPECT_EQ(s(v.odbcBoxText), "QELSQL");
    EXPECT_EQ(s(v.cmdUser), "sa");
    EXPECT_EQ(s(v.userBoxText), "sa");
    EXPECT_EQ(s(v.cmdPassword), "geheim");
    EXPECT_EQ(s(v.passwordBoxText), "geheim");
    EXPECT_EQ(s(v.mdbPath), "/data/erp.mdb");
    EXPECT_EQ(s(v.xdbPath), "/data/erp.xdb");
}

TEST(ParseCommandLine, AutoIsFoundOnlyWithABlankInFront)
{
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-auto")).autoMode);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-auto -ODBC:x")).autoMode);
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-ODBC:x -auto")).autoMode);
    // A plain substring test: also inside a value or at the start of a longer word.
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-MDBpfad:\"/a -autos/x.mdb\"")).autoMode);
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-ODBC:x -automatic")).autoMode);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x -Auto")).autoMode);
}

TEST(ParseCommandLine, NoErrorIsASubstringTestWithoutBlank)
{
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-noerror")).noErrorMode);
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-ODBC:x -noerror -auto")).noErrorMode);
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-ODBC:x-noerror")).noErrorMode);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-NoError")).noErrorMode);
}

TEST(ParseCommandLine, SwitchNamesAreCaseSensitive)
{
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-odbc:A -User:B -PASS:C -mdbpfad:/x -XDBPfad:/y"));
    EXPECT_FALSE(v.hasOdbc || v.hasUser || v.hasPass || v.hasMdb || v.hasXdb);
    EXPECT_TRUE(v.odbcBoxText.isEmpty());
    EXPECT_TRUE(v.mdbPath.isEmpty());
}

TEST(ParseCommandLine, LaterSwitchWins)
{
    const CommandLineValues v =
        ParseCommandLine(QStringLiteral("-user:erst -MDBpfad:/a.mdb -user:zweit -MDBpfad:/b.mdb"));
    EXPECT_EQ(s(v.cmdUser), "zweit");
    EXPECT_EQ(s(v.userBoxText), "zweit");
    EXPECT_EQ(s(v.mdbPath), "/b.mdb");
}

TEST(ParseCommandLine, KeyUpToFirstColonWithHyphenInFront)
{
    // Piece 0 gets a hyphen in front: "ODBC:x" counts as "-ODBC:".
    EXPECT_EQ(s(ParseCommandLine(QStringLiteral("ODBC:x")).odbcBoxText), "x");
    const CommandLineValues v =
        ParseCommandLine(QStringLiteral("prog -foo -bar:1 -MDBpfad:C:\\ERP\\daten.mdb -pass:a:b -user:"));
    EXPECT_FALSE(v.hasOdbc);
    EXPECT_EQ(s(v.mdbPath), "C:\\ERP\\daten.mdb");
    EXPECT_EQ(s(v.cmdPassword), "a:b");
    EXPECT_TRUE(v.hasUser);
    EXPECT_TRUE(v.userBoxText.isEmpty());
}

TEST(ParseCommandLine, QuotedPathWithOneBlankHyphenArrivesWhole)
{
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-MDBpfad:\"/data/ERP -alt/x.mdb\" -auto"));
    EXPECT_EQ(s(v.mdbPath), "/data/ERP -alt/x.mdb");
    EXPECT_TRUE(v.autoMode);

    const CommandLineValues x = ParseCommandLine(QStringLiteral("-XDBpfad:\" /data/ERP -neu/x.xdb \""));
    EXPECT_EQ(s(x.xdbPath), "/data/ERP -neu/x.xdb");
}

TEST(ParseCommandLine, QuotedValueWithTwoBlankHyphensIsNotRejoined)
{
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-MDBpfad:\"/a -b -c.mdb\" -user:u"));
    EXPECT_EQ(s(v.mdbPath), "\"/a");
    EXPECT_EQ(s(v.userBoxText), "u");
}

TEST(ParseCommandLine, RejoinedSecondHalfIsStillReadOnItsOwn)
{
    // The half after the split is examined in its own turn: here it looks
    // like a user switch and is taken as one.
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-MDBpfad:\"/a -user:b\""));
    EXPECT_EQ(s(v.mdbPath), "/a -user:b");
    EXPECT_EQ(s(v.cmdUser), "b\"");
    EXPECT_EQ(s(v.userBoxText), "b\"");
}

TEST(ParseCommandLine, PasswordKeepsBlanksUserAndDataSourceAreTrimmed)
{
    const CommandLineValues v =
        ParseCommandLine(QStringLiteral("-pass:\"  geheim \" -user:\"  sa \" -ODBC:\" QEL SQL \""));
    EXPECT_EQ(s(v.passwordBoxText), "  geheim ");
    EXPECT_EQ(s(v.userBoxText), "sa");
    EXPECT_EQ(s(v.odbcBoxText), "QEL SQL");
    // The raw values keep their quotes.
    EXPECT_EQ(s(v.cmdPassword), "\"  geheim \"");
    EXPECT_EQ(s(v.cmdUser), "\"  sa \"");
    EXPECT_EQ(s(v.cmdOdbcName), "\" QEL SQL \"");
}

TEST(ParseCommandLine, UnquotedValuesAreTrimmedOfBlanksOnly)
{
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-user:sa  -MDBpfad:/x.mdb\t"));
    EXPECT_EQ(s(v.userBoxText), "sa");
    EXPECT_EQ(s(v.cmdUser), "sa ");
    EXPECT_EQ(s(v.mdbPath), "/x.mdb\t");
}

TEST(ParseCommandLine, QuotesAreRemovedOnlyWhenOnBothEnds)
{
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-user:\"sa -pass:pw\"x"));
    EXPECT_EQ(s(v.userBoxText), "\"sa");
    EXPECT_EQ(s(v.passwordBoxText), "pw\"x");
    EXPECT_EQ(s(ParseCommandLine(QStringLiteral("-pass:\"\"")).passwordBoxText), "");
}

TEST(ParseCommandLine, LoneQuoteStaysAsItIs)
{
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-pass:\" -user:\" -MDBpfad:\""));
    EXPECT_EQ(s(v.passwordBoxText), "\"");
    EXPECT_EQ(s(v.userBoxText), "\"");
    EXPECT_EQ(s(v.mdbPath), "\"");
}

TEST(RebuildCommandLine, JoinsWithBlanksAndQuotesValuesHoldingABlank)
{
    EXPECT_EQ(s(RebuildCommandLine({})), "");
    EXPECT_EQ(s(RebuildCommandLine({QStringLiteral("-ODBC:QELSQL"), QStringLiteral("-auto")})), "-ODBC:QELSQL -auto");
    EXPECT_EQ(s(RebuildCommandLine({QStringLiteral("-MDBpfad:/data/ERP -alt/x.mdb")})),
              "-MDBpfad:\"/data/ERP -alt/x.mdb\"");
    EXPECT_EQ(s(RebuildCommandLine({QStringLiteral("-pass: pw ")})), "-pass:\" pw \"");
    // Already quoted, or no blank: left alone.
    EXPECT_EQ(s(RebuildCommandLine({QStringLiteral("-pass:\"a b\"")})), "-pass:\"a b\"");
    EXPECT_EQ(s(RebuildCommandLine({QStringLiteral("-user:sa")})), "-user:sa");
    // Not of the form -key:value.
    EXPECT_EQ(s(RebuildCommandLine({QStringLiteral("a b:c d")})), "a b:c d");
}

TEST(RebuildCommandLine, ArgvRoundTripsThroughTheParser)
{
    const CommandLineValues v = ParseCommandLine(RebuildCommandLine({
        QStringLiteral("-ODBC:QELSQL"),
        QStringLiteral("-user:sa"),
        QStringLiteral("-pass:  mit Blank "),
        QStringLiteral("-MDBpfad:/data/ERP -alt/x.mdb"),
        QStringLiteral("-XDBpfad:/data/Neue Version/x.xdb"),
        QStringLiteral("-auto"),
    }));
    EXPECT_TRUE(v.autoMode);
    EXPECT_EQ(s(v.odbcBoxText), "QELSQL");
    EXPECT_EQ(s(v.passwordBoxText), "  mit Blank ");
    EXPECT_EQ(s(v.mdbPath), "/data/ERP -alt/x.mdb");
    EXPECT_EQ(s(v.xdbPath), "/data/Neue Version/x.xdb");
}

TEST(ParseCommandLine, DialectSwitchSelectsOneOfTheFiveInAnyCase)
{
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x -auto")).dialect.has_value());
    const std::pair<const char*, Dialect> cases[] = {
        {"-Dialekt:MSSQL", Dialect::MSSQL},
        {"-Dialekt:mysql", Dialect::MySQL},
        {"-Dialekt:ORACLE", Dialect::Oracle},
        {"-Dialekt:Sybase", Dialect::Sybase},
        {"-Dialekt:db2", Dialect::DB2},
        {"-ODBC:x -Dialekt:\"MySQL\" -auto", Dialect::MySQL},
        {"-ODBC:x -Dialekt:Oracle  -auto", Dialect::Oracle},
        // The later switch wins, as for every other switch.
        {"-Dialekt:DB2 -Dialekt:Sybase", Dialect::Sybase},
    };
    for (const auto& [line, dialect] : cases) {
        const CommandLineValues v = ParseCommandLine(QString::fromUtf8(line));
        ASSERT_TRUE(v.dialect.has_value()) << line;
        EXPECT_EQ(*v.dialect, dialect) << line;
    }
}

TEST(ParseCommandLine, MissingOrUnknownDialectMeansMsSql)
{
    for (const char* line : {"-Dialekt:", "-Dialekt:Postgres", "-Dialekt:My SQL", "-ODBC:x -Dialekt: -auto",
                             "-Dialekt:MySQL -Dialekt:Access"}) {
        const CommandLineValues v = ParseCommandLine(QString::fromUtf8(line));
        ASSERT_TRUE(v.dialect.has_value()) << line;
        EXPECT_EQ(*v.dialect, Dialect::MSSQL) << line;
    }
    // The switch name itself is case-sensitive like the others.
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-dialekt:MySQL")).dialect.has_value());
    // Nothing else changes with it.
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-Dialekt:MySQL -user:sa -auto"));
    EXPECT_EQ(s(v.userBoxText), "sa");
    EXPECT_TRUE(v.autoMode);
}

TEST(ParseCommandLine, LinuxSwitchIsAWholePiece)
{
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-Linux")).linuxSwitch);
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-Dialekt:Sybase -Linux -auto")).linuxSwitch);
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-ODBC:x -Linux ")).linuxSwitch);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x")).linuxSwitch);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x -linux")).linuxSwitch);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x -Linuxe")).linuxSwitch);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-Linux:ja")).linuxSwitch);
    // Inside a quoted path it is part of the path.
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-MDBpfad:\"/data/ERP -Linux\""));
    EXPECT_FALSE(v.linuxSwitch);
    EXPECT_EQ(s(v.mdbPath), "/data/ERP -Linux");
}

TEST(ParseCommandLine, CheckAndReportSwitches)
{
    EXPECT_TRUE(ParseCommandLine(QStringLiteral("-ODBC:x -OhnePruefung -auto")).noDataCheck);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x -ohnepruefung")).noDataCheck);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x -OhnePruefung:ja")).noDataCheck);
    EXPECT_FALSE(ParseCommandLine(QStringLiteral("-ODBC:x -auto")).hasReport);
    const CommandLineValues v = ParseCommandLine(QStringLiteral("-Bericht:\"/data/ERP -alt/berichte/\" -OhnePruefung"));
    EXPECT_TRUE(v.hasReport && v.noDataCheck);
    EXPECT_EQ(s(v.reportPath), "/data/ERP -alt/berichte/");
}

// The run of a document on a recording host: the steps in their order, the
// section rules, the status list and the one error handler. (Statements of
// MS SQL and Sybase through the window: AbgleichenTest.)

#include "xdb/XdbRun.h"

#include "QtPrinters.h"
#include "RecordingHost.h"
#include "XdbDocuments.h"
#include "core/TabrixError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace xdbdoc;

namespace {

const QString kFinal = QStringLiteral("Die QEL.XDB wurde abgearbeitet.");
const QString kMissing = QStringLiteral("\tTabelle existiert nicht!");

struct Xdb {
    QTemporaryDir dir;
    RecordingHost host;
    XdbReaderState state;

    explicit Xdb(Dialect dialect = Dialect::MSSQL)
    {
        host.settings.dialect = dialect;
        host.path = dir.filePath(QStringLiteral("QEL.XDB"));
        host.server.catalogue = {{QStringLiteral("Artikel"), {QStringLiteral("Nr"), QStringLiteral("Alt")}},
                                 {QStringLiteral("KUNDEN"), {QStringLiteral("NR")}}};
    }

    // Runs the document with the reader's window state of earlier runs.
    void run(const QStringList& lines, const QByteArray& lineEnd = "\r\n", Encoding encoding = Encoding::Windows1252)
    {
        writeFile(host.path, bytesOf(lines, lineEnd, encoding));
        host.server.statements.clear();
        host.list1.clear();
        host.messages.clear();
        host.progress.clear();
        host.enableCalls.clear();
        RunXdbDocument(host, state);
    }

    bool endedNormally() const
    {
        return host.messages == QStringList{kFinal} && host.progress.last() == QStringLiteral("step 0")
            && host.enableCalls == QList<bool>({false, true});
    }
    // Ended by the handler or a yield: no message, the button back, the progress run closed.
    bool endedEarly() const
    {
        return host.messages.isEmpty() && host.progress.last() == QStringLiteral("step 0")
            && host.enableCalls == QList<bool>({false, true}) && host.runFailed;
    }
};

QString status(const QString& table, const QString& sections = QStringLiteral("(Felder hinzufügen)"))
{
    return table + QStringLiteral("\t\t") + sections;
}

QStringList felder(const QString& table, const QStringList& fields)
{
    QStringList lines{QStringLiteral("[felder]"), tabelle(table)};
    for (const QString& f : fields)
        lines.append(feld(f, 4, 0));
    return lines;
}

}  // namespace

TEST(XdbRun, TheWorkedExample)
{
    Xdb x;
    const QString select = QStringLiteral("SELECT [Artikel].[Nr] FROM [Artikel]");
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), feld(QStringLiteral("Bemerkung"), 10, 30),
           feld(QStringLiteral("ALT"), 10, 30), QStringLiteral("[querys]"),
           key(QStringLiteral("name"), QStringLiteral("View_A")), key(QStringLiteral("SQL"), select)});
    EXPECT_EQ(x.host.list1,
              (QStringList{status(QStringLiteral("Artikel")),
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [Bemerkung] VARCHAR(30)"),
                           QStringLiteral("Abfrage/Sicht erstellen: View_A")}));
    EXPECT_EQ(x.host.views, (QList<QPair<QString, QString>>{{QStringLiteral("View_A"), select}}));
    // Looked up once, read again after the change; a column of another case exists.
    EXPECT_EQ(x.host.server.statements,
              (QStringList{QStringLiteral("<catalogue> Artikel"),
                           QStringLiteral("ALTER TABLE [Artikel]  ADD [Bemerkung] VARCHAR(30)"),
                           QStringLiteral("<catalogue> Artikel")}));
    EXPECT_TRUE(x.endedNormally());
    EXPECT_FALSE(x.host.runFailed);
}

TEST(XdbRun, HeadersCountAnywhereAndWithoutThemNothingHappens)
{
    Xdb x;
    x.run(felder(QStringLiteral("Artikel"), {QStringLiteral("Neu")}).mid(1));
    EXPECT_TRUE(x.host.list1.isEmpty());
    EXPECT_TRUE(x.host.server.statements.isEmpty());
    EXPECT_TRUE(x.endedNormally());
    x.run(QStringList{QStringLiteral("  neue Felder: [FELDER] ")}
          + felder(QStringLiteral("Artikel"), {QStringLiteral("Neu")}).mid(1));
    EXPECT_EQ(x.host.sent(), QStringList{QStringLiteral("ALTER TABLE [Artikel]  ADD [Neu] INT")});
}

TEST(XdbRun, AMissingTableSkipsTheRestOfItsBlockOnly)
{
    Xdb x;
    x.run(felder(QStringLiteral("Fehlt"), {QStringLiteral("A")})
          + felder(QStringLiteral("Artikel"), {QStringLiteral("C")})
          + QStringList{tabelle(QStringLiteral("Kunden")), feld(QStringLiteral("D"), 6, 0)});
    EXPECT_EQ(x.host.list1,
              (QStringList{status(QStringLiteral("Fehlt")), kMissing, status(QStringLiteral("Artikel")),
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [C] INT"), status(QStringLiteral("Kunden")),
                           QStringLiteral("\tALTER TABLE [KUNDEN]  ADD [D] REAL")}));
    EXPECT_FALSE(x.host.runFailed);
    // The current table survives a failed lookup and the end of the run.
    x.run(felder(QStringLiteral("Fehlt"), {})
          + QStringList{QStringLiteral("[felder]"), feld(QStringLiteral("E"), 4, 0)});
    EXPECT_EQ(x.host.sent(), QStringList{QStringLiteral("ALTER TABLE [KUNDEN]  ADD [E] INT")});
}

TEST(XdbRun, OldFormatBlocksWithDefaultsSizeZeroAndABlankLine)
{
    Xdb x;
    x.host.server.failWhenStartsWith(QStringLiteral("ALTER TABLE [Artikel]  ADD [] "),
                                     QStringLiteral("37000:Syntaxfehler bei ']'"));
    x.run({oldTable(QStringLiteral("Artikel")), oldField(QStringLiteral("Kurz"), 10, 8, QStringLiteral("\"\"")),
           oldField(QStringLiteral("Menge"), 4, 0, QStringLiteral("0")),
           oldField(QStringLiteral("Einheit"), 10, 0, QStringLiteral("\"Stück\"")), QString(),
           oldField(QStringLiteral("nr"), 4, 0), oldTable(QStringLiteral("Fehlt")),
           oldField(QStringLiteral("X"), 4, 0)});
    const QString old = QStringLiteral("(Felder hinzufügen) [altes XDB-Format]");
    EXPECT_EQ(
        x.host.list1,
        (QStringList{
            status(QStringLiteral("Artikel"), old),
            QStringLiteral("\tALTER TABLE [Artikel]  ADD [Kurz] VARCHAR(8) DEFAULT ' ' NULL"),
            QStringLiteral("\tALTER TABLE [Artikel]  ADD [Menge] INT DEFAULT 0 NULL"),
            QStringLiteral("Zeile 4: Standardwert \"Stück\": kein Wert (erlaubt: Zahl, 'Text' oder Funktion())"),
            QStringLiteral("\tALTER TABLE [Artikel]  ADD [] "), QStringLiteral("Zeile 5: 37000:Syntaxfehler bei ']'"),
            status(QStringLiteral("Fehlt"), old), kMissing}));
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_TRUE(x.endedNormally());
}

TEST(XdbRun, RenamesAndOracleOrDb2Tables)
{
    Xdb x;
    x.run({QStringLiteral("[renamefield]"), renameKey(QStringLiteral("tabelle"), QStringLiteral("artikel")),
           renamePair(QStringLiteral("feld"), QStringLiteral("ALT"), QStringLiteral("Neu")),
           renamePair(QStringLiteral("feld"), QStringLiteral("Fehlt"), QStringLiteral("Egal")),
           QStringLiteral("[renametable]"),
           renamePair(QStringLiteral("tabelle"), QStringLiteral("Lager"), QStringLiteral("Lagerorte"))});
    EXPECT_EQ(x.host.list1,
              (QStringList{status(QStringLiteral("artikel"), QStringLiteral("(Felder umbenennen)")),
                           QStringLiteral("\tALT  ->  Neu"),
                           QStringLiteral("Tabelle umbenennen: Lager  ->  Lagerorte  [noch nicht implementiert]")}));
    EXPECT_EQ(x.host.sent(), QStringList{QStringLiteral("sp_rename 'Artikel.ALT' , 'Neu' , 'column'")});

    for (Dialect d : {Dialect::Oracle, Dialect::DB2}) {
        Xdb o(d);
        o.run(QStringList{QStringLiteral("[felder]"), tabelle(QStringLiteral("Kunden")),
                          feld(QStringLiteral("Auftragsbestätigung_Französisch"), 10, 30),
                          feld(QStringLiteral("Neu"), 4, 0)});
        EXPECT_EQ(o.host.server.statements.first(), QStringLiteral("<catalogue> KUNDEN"));
        EXPECT_EQ(
            o.host.list1,
            (QStringList{status(QStringLiteral("KUNDEN")),
                         QStringLiteral("\tALTER TABLE KUNDEN  ADD Neu ") + (d == Dialect::DB2 ? "INTEGER" : "INT")}));
    }
}

TEST(XdbRun, QueryBlocks)
{
    Xdb x;
    const QString bracketed = QStringLiteral("SELECT [Nr] FROM [Artikel]");
    x.run({QStringLiteral("[querys]"), key(QStringLiteral("SQL"), QStringLiteral("SELECT 0")),  // no name yet
           key(QStringLiteral("name"), QStringLiteral("View_Eins")), key(QStringLiteral("SQL"), bracketed),
           key(QStringLiteral("SQL"), QStringLiteral("SELECT 2")),  // a second statement
           key(QStringLiteral("name"), QStringLiteral("View_Zwei")),
           key(QStringLiteral("sql"), bracketed),  // ends the block
           key(QStringLiteral("SQL"), QStringLiteral("SELECT 3")), QStringLiteral("[querys]"),
           key(QStringLiteral("name"), QStringLiteral("View_Drei")),
           key(QStringLiteral("Sql"), QStringLiteral("SELECT 4"))});
    EXPECT_EQ(x.host.views,
              (QList<QPair<QString, QString>>{{QStringLiteral("View_Eins"), bracketed},
                                              {QStringLiteral("View_Drei"), QStringLiteral("SELECT 4")}}));
    EXPECT_EQ(x.host.list1,
              (QStringList{QStringLiteral("Abfrage/Sicht erstellen: View_Eins"),
                           QStringLiteral("Abfrage/Sicht erstellen: View_Drei")}));
}

TEST(XdbRun, IndexBlocksAcrossHeadersAndRuns)
{
    // Left open by one run, the block goes on in the next, whose document has no header.
    Xdb x;
    x.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Kunden"))});
    EXPECT_TRUE(x.state.sections.IndexSection);
    x.run({key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
           key(QStringLiteral("name"), QStringLiteral("ixSpät")), key(QStringLiteral("attribute"), QStringLiteral("0")),
           key(QStringLiteral("felderanzahl"), QStringLiteral("1")),
           key(QStringLiteral("feld"), QStringLiteral("Nr"))});
    EXPECT_EQ(x.host.sent().last(), QStringLiteral("CREATE INDEX [ixSpät] ON [Artikel]([Nr])"));
    EXPECT_FALSE(x.state.sections.IndexSection);

    // "[Indizes]" inside an open block starts it again; its lines overwrite the values.
    x.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Falsch")),
           key(QStringLiteral("name"), QStringLiteral("ixAlt")),
           key(QStringLiteral("felderanzahl"), QStringLiteral("3")), key(QStringLiteral("feld"), QStringLiteral("A")),
           QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
           key(QStringLiteral("name"), QStringLiteral("ixNeu")),
           key(QStringLiteral("felderanzahl"), QStringLiteral("1")),
           key(QStringLiteral("feld"), QStringLiteral("Nr"))});
    EXPECT_EQ(x.host.sent().last(), QStringLiteral("CREATE INDEX [ixNeu] ON [Artikel]([Nr])"));
    EXPECT_EQ(x.host.list1, QStringList{QStringLiteral("Neuen Index anlegen: Artikel/ixNeu")});

    // A header holding a key word ("name" in "[renamefield]") is read as that key before it ends the block;
    // "[felder]" is not read as "feld".
    x.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
           QStringLiteral("[renamefield]"), QStringLiteral("[Indizes]"),
           key(QStringLiteral("felderanzahl"), QStringLiteral("1")), QStringLiteral("[felder]")});
    EXPECT_EQ(x.host.server.withoutCatalogue(),
              QStringList{IndexExistsQuery(QStringLiteral("Artikel"), QString(), Dialect::MSSQL)});
    EXPECT_FALSE(x.state.sections.IndexSection);

    // MySQL, Oracle and DB2 count every index as existing: the block ends at its name.
    for (Dialect d : {Dialect::MySQL, Dialect::Oracle, Dialect::DB2}) {
        Xdb o(d);
        o.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
               key(QStringLiteral("name"), QStringLiteral("ixNr")), key(QStringLiteral("feld"), QStringLiteral("Nr"))});
        EXPECT_TRUE(o.host.server.statements.isEmpty());
        EXPECT_TRUE(o.endedNormally());
    }
}

TEST(XdbRun, ServerErrorsAreListedInPiecesOf130AndTheRunGoesOn)
{
    Xdb x;
    // Each listed with the number of its line.
    const QString long300 = QStringLiteral("Zeile 3: 37000:") + QString(285, QLatin1Char('x'));
    const QString exact130 = QStringLiteral("Zeile 4: 42000:") + QString(115, QLatin1Char('y'));
    x.host.server.failWhenContains(QStringLiteral("[Lang]"), long300.mid(9));
    x.host.server.failWhenContains(QStringLiteral("[Genau]"), exact130.mid(9));
    x.host.server.failWhenContains(QStringLiteral("[Leer]"), QString());
    x.run(felder(QStringLiteral("Artikel"), {QStringLiteral("Lang"), QStringLiteral("Genau"), QStringLiteral("Leer")}));
    EXPECT_EQ(x.host.list1.mid(1),
              (QStringList{QStringLiteral("\tALTER TABLE [Artikel]  ADD [Lang] INT"), long300.left(130),
                           long300.mid(130, 130), long300.mid(260),
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [Genau] INT"), exact130, QString(),
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [Leer] INT"), QStringLiteral("Zeile 5: ")}));
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_TRUE(x.endedNormally());

    // Without a connection the run ends at once: the cleared list says why,
    // and the user is asked to log in again.
    Xdb n;
    n.host.hasConnection = false;
    n.run(felder(QStringLiteral("Artikel"), {QStringLiteral("Neu")}));
    EXPECT_EQ(n.host.list1, (QStringList{QStringLiteral("08003:Keine Verbindung zum SQL-Server")}));
    EXPECT_EQ(n.host.messages, (QStringList{QStringLiteral("lost 08003:Keine Verbindung zum SQL-Server")}));
    EXPECT_TRUE(n.host.runFailed);
}

// A connection that breaks in the middle of the document ends the run: one
// listed error, not one for every line that follows.
TEST(XdbRun, ALostConnectionEndsTheRun)
{
    Xdb x;
    const QString gone = QStringLiteral("08S01:[ma-3.1.15]Server has gone away");
    x.host.server.failWhenContains(QStringLiteral("[Zwei]"), gone);
    x.run(felder(QStringLiteral("Artikel"), {QStringLiteral("Eins"), QStringLiteral("Zwei"), QStringLiteral("Drei")}));
    EXPECT_EQ(
        x.host.list1.mid(1),
        (QStringList{QStringLiteral("\tALTER TABLE [Artikel]  ADD [Eins] INT"),
                     QStringLiteral("\tALTER TABLE [Artikel]  ADD [Zwei] INT"), QStringLiteral("Zeile 4: ") + gone}));
    EXPECT_EQ(x.host.messages, (QStringList{QStringLiteral("lost ") + gone}));
    for (const QString& s : x.host.server.statements)
        EXPECT_FALSE(s.contains(QStringLiteral("[Drei]"))) << s.toStdString();
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_EQ(x.host.progress.last(), QStringLiteral("step 0"));
    EXPECT_EQ(x.host.enableCalls, QList<bool>({false, true}));
}

TEST(XdbRun, ErrorsOfTheDocumentItselfEndTheRun)
{
    const QStringList index{QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
                            key(QStringLiteral("name"), QStringLiteral("ixNr"))};
    const QList<QPair<QStringList, QString>> cases{
        {index + QStringList{key(QStringLiteral("felderanzahl"), QStringLiteral("zwei"))},
         QStringLiteral("Zeile 4: felderanzahl \"zwei\": Typen unverträglich")},
        {index + QStringList{key(QStringLiteral("attribute"), QString())},
         QStringLiteral("Zeile 4: attribute \"\": Typen unverträglich")},
        {index + QStringList{key(QStringLiteral("feld"), QStringLiteral("Nr"))},
         QStringLiteral("Zeile 4: feld \"Nr\": Index außerhalb des gültigen Bereichs (vor felderanzahl)")},
        {index + QStringList{key(QStringLiteral("felderanzahl"), QStringLiteral("0"))},
         QStringLiteral("Zeile 4: felderanzahl \"0\": Index außerhalb des gültigen Bereichs")},
        {index + QStringList{key(QStringLiteral("felderanzahl"), QStringLiteral("1048577"))},
         QStringLiteral("Zeile 4: felderanzahl \"1048577\": Überlauf (höchstens 1048576 Felder)")},
        {{QStringLiteral("[felder]"), feld(QStringLiteral("Neu"), 4, 0)},
         QStringLiteral("Zeile 2: feld \"Neu\": Objektvariable oder With-Blockvariable nicht festgelegt")},
        {{oldTable(QStringLiteral("Artikel")), QString(50, QLatin1Char(' ')) + QStringLiteral("9e9")},
         QStringLiteral("Zeile 2: Feldtyp \"9e9\": Überlauf")},
        {{QStringLiteral("keine Blöcke")}, QStringLiteral("keine XDB-Datei: ")},
    };
    for (const auto& [lines, listed] : cases) {
        Xdb x;
        // Without a header or table line the text is no document, and nothing of it is done.
        const QStringList nie = lines.size() == 1 ? QStringList{feld(QStringLiteral("Nie"), 4, 0)}
                                                  : felder(QStringLiteral("Artikel"), {QStringLiteral("Nie")});
        x.run(lines + nie);
        EXPECT_EQ(x.host.list1.last(), listed + (lines.size() == 1 ? x.host.path : QString()))
            << lines.last().toStdString();
        EXPECT_TRUE(x.endedEarly());
        EXPECT_FALSE(x.host.sent().contains(QStringLiteral("ALTER TABLE [Artikel]  ADD [Nie] INT")));
    }
}

// A line whose values could end their statement, or whose name a NUL would cut
// short, is refused: listed with its number, nothing sent for it, the run
// failed; the next lines are done.
TEST(XdbRun, RefusedLinesAreListedAndTheRunGoesOn)
{
    const QString nul = QStringLiteral("Ne") + QChar(u'\0') + QStringLiteral("u");
    const QString noValue = QStringLiteral(": kein Wert (erlaubt: Zahl, 'Text' oder Funktion())");
    const QList<QPair<QStringList, QString>> cases{
        {{oldTable(QStringLiteral("Artikel")),
          oldField(QStringLiteral("Neu"), 4, 0, QStringLiteral("0 NULL; DROP TABLE victim2; --"))},
         QStringLiteral("Zeile 2: Standardwert \"0 NULL; DROP TABLE victim2; --\"") + noValue},
        {{oldTable(QStringLiteral("Artikel")), oldField(QStringLiteral("Neu"), 10, 9, QStringLiteral("'it''s"))},
         QStringLiteral("Zeile 2: Standardwert \"'it''s\"") + noValue},
        {{oldTable(QStringLiteral("Artikel")), oldField(QStringLiteral("Neu"), 10, 9, QLatin1Char('\'') + nul + '\'')},
         QStringLiteral("Zeile 2: Tabelle \"Artikel\": \"'Ne\u2400u'\" enthält ein NUL-Zeichen und wird abgelehnt")},
        {felder(QStringLiteral("Artikel"), {nul}),
         QStringLiteral("Zeile 3: Tabelle \"Artikel\": \"Ne\u2400u\" enthält ein NUL-Zeichen und wird abgelehnt")},
        {{QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), QString(70000, QLatin1Char('x'))},
         QStringLiteral("Zeile 3: länger als 65536 Bytes, nicht verarbeitet")},
    };
    for (const auto& [lines, listed] : cases) {
        Xdb x;
        x.run(lines + felder(QStringLiteral("Artikel"), {QStringLiteral("Danach")}));
        EXPECT_TRUE(x.host.list1.join(QString()).contains(listed))
            << x.host.list1.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(x.host.sent(), QStringList{QStringLiteral("ALTER TABLE [Artikel]  ADD [Danach] INT")});
        EXPECT_TRUE(x.host.views.isEmpty());
        EXPECT_TRUE(x.host.runFailed);
        EXPECT_TRUE(x.endedNormally());
    }
}

TEST(XdbRun, ProgressYieldsAndAYieldThatSaysEnd)
{
    Xdb x;
    x.host.automatic = true;
    x.run({QString(200, QLatin1Char('a')), QString(100, QLatin1Char('b')), QStringLiteral("[felder]"),
           tabelle(QStringLiteral("Artikel"))});
    const long length = 202 + 102 + 10 + 32;
    // 128-byte blocks; no message in an unattended run.
    EXPECT_EQ(x.host.progress,
              (QStringList{QStringLiteral("start %1").arg(length / 128 + 1), "step 1", "step 2", "step 2", "step 2",
                           "step 0"}));
    EXPECT_TRUE(x.host.messages.isEmpty());
    // One yield after the start, one per line, one for the table's status line.
    EXPECT_EQ(x.host.yields, 1 + 4 + 1);
    EXPECT_EQ(x.host.scrolls, 1);

    for (int stopAt : {1, 2, 4}) {
        Xdb y;
        y.host.onYield = [&y, stopAt] { y.host.closing = y.host.yields >= stopAt; };
        y.run(felder(QStringLiteral("Artikel"), {QStringLiteral("Eins"), QStringLiteral("Zwei")}));
        EXPECT_EQ(y.host.yields, stopAt);
        EXPECT_TRUE(y.endedEarly());
        EXPECT_TRUE(y.host.sent().isEmpty());
    }
}

TEST(XdbRun, LineEndsAndCodePagesGiveTheSameStatements)
{
    const QStringList doc{QStringLiteral("[felder]"),
                          tabelle(QStringLiteral("Artikel")),
                          feld(QStringLiteral("Größe"), 10, 12),
                          QStringLiteral("[renamefield]"),
                          renameKey(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
                          renamePair(QStringLiteral("feld"), QStringLiteral("Alt"), QStringLiteral("Maß"))};
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")})
        for (Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
            Xdb x;
            x.run(doc, end, encoding);
            EXPECT_EQ(x.host.sent(),
                      (QStringList{QStringLiteral("ALTER TABLE [Artikel]  ADD [Größe] VARCHAR(12)"),
                                   QStringLiteral("sp_rename 'Artikel.Alt' , 'Maß' , 'column'")}));
        }
}

// What became of each view: refused ones are counted for the caller, ones for
// which nothing was sent fail the run and are listed here; a rewriting error
// ends the run as before.
TEST(XdbRun, ViewOutcomesAreCountedOrFailTheRun)
{
    struct Row {
        ViewResult result;
        int refused;
        bool failed;
        const char* listed;  // after "Abfrage/Sicht erstellen: V"; empty: nothing
        bool completed;
    };
    const Row rows[] = {
        {{ViewOutcome::Translated, {}, 0}, 0, false, "", true},
        {{ViewOutcome::Refused, QStringLiteral("42000:syntax"), 40002},
         1,
         false,
         "\tSicht V nicht angelegt: 42000:syntax",
         true},
        {{ViewOutcome::NotAView, QStringLiteral("Parameterabfrage: keine Sicht möglich"), 0},
         1,
         false,
         "\tSicht V nicht angelegt: Parameterabfrage: keine Sicht möglich",
         true},
        {{ViewOutcome::NotSent, QStringLiteral("Die Abfrage hat keinen SQL-Text."), 0},
         0,
         true,
         "V: Die Abfrage hat keinen SQL-Text.",
         true},
        {{ViewOutcome::EndedEarly, QStringLiteral("Das Fenster wird geschlossen."), 0},
         0,
         true,
         "V: Das Fenster wird geschlossen.",
         true},
        {{ViewOutcome::NotSent, QStringLiteral("Die Abfrage 'V' lässt sich nicht übersetzen."), 5},
         0,
         true,
         "Zeile 3: Die Abfrage 'V' lässt sich nicht übersetzen.",
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.result.reason.toStdString());
        Xdb x;
        x.host.viewResult = [&](const QString&) { return row.result; };
        x.run({QStringLiteral("[querys]"), key(QStringLiteral("name"), QStringLiteral("V")),
               key(QStringLiteral("SQL"), QStringLiteral("SELECT 1"))});
        EXPECT_EQ(x.state.viewsRefused, row.refused);
        EXPECT_EQ(x.host.runFailed, row.failed);
        EXPECT_EQ(x.host.list1.mid(1), *row.listed ? QStringList{QString::fromUtf8(row.listed)} : QStringList());
        EXPECT_EQ(x.endedNormally(), row.completed);
    }
}

// Sybase on Linux reads a backslash in a literal as an escape: the index
// lookup doubles it, as ExecuteSql does for statements.
TEST(XdbRun, SybaseOnLinuxLooksAnIndexUpWithItsBackslashesDoubled)
{
    Xdb x(Dialect::Sybase);
    x.host.settings.linuxSwitch = true;
    x.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
           key(QStringLiteral("name"), QStringLiteral("ix\\"))});
    EXPECT_TRUE(x.host.server.withoutCatalogue().value(0).endsWith(QStringLiteral("index_name = 'ix\\\\'")))
        << x.host.server.withoutCatalogue().value(0).toStdString();
}

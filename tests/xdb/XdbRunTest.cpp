// The run of a document on a recording host: every step in its order, the
// section rules, the status list and the one error handler.

#include "XdbTestSupport.h"
#include "shell/TabrixError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace xdbdoc;

namespace {

const QString kFinal = QStringLiteral("Die QEL.XDB wurde abgearbeitet.");

struct Xdb {
    QTemporaryDir dir;
    FakeXdbHost host;
    XdbReaderState state;

    explicit Xdb(Dialect dialect = Dialect::MSSQL, bool linuxSwitch = false)
    {
        host.settings.dialect = dialect;
        host.settings.linuxSwitch = linuxSwitch;
        host.path = dir.filePath(QStringLiteral("QEL.XDB"));
        table(QStringLiteral("AdressenStamm"), {QStringLiteral("Nr"), QStringLiteral("Name"), QStringLiteral("Ort")});
        table(QStringLiteral("Artikel"), {QStringLiteral("Nr"), QStringLiteral("Bezeichnung"), QStringLiteral("Alt")});
    }

    void table(const QString& name, const QStringList& columns) { host.server.catalogue.append({name, columns}); }

    void run(const QStringList& lines, const QByteArray& lineEnd = "\r\n", Encoding encoding = Encoding::Windows1252)
    {
        writeFile(host.path, bytesOf(lines, lineEnd, encoding));
        again();
    }

    // Runs the document as it stands, with the reader's window state of earlier runs.
    void again()
    {
        host.lines.clear();
        host.server.statements.clear();
        host.views.clear();
        host.messages.clear();
        host.progress.clear();
        host.enableCalls.clear();
        RunXdbDocument(host, state);
    }

    bool endedNormally() const
    {
        return host.messages == QStringList{kFinal} && host.progress.last() == 0
            && host.enableCalls == QList<bool>({false, true});
    }
};

QString status(const QString& table, const QString& sections = QStringLiteral("(Felder hinzufügen)"))
{
    return table + QStringLiteral("\t\t") + sections;
}

const QString kMissing = QStringLiteral("\tTabelle existiert nicht!");

}  // namespace

TEST(XdbRun, TheWorkedExample)
{
    Xdb x;
    const QString select = QStringLiteral("SELECT [AdressenStamm].[Nr], [AdressenStamm].[Name] FROM [AdressenStamm]");
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("AdressenStamm")), feld(QStringLiteral("Bemerkung"), 10, 30),
           QStringLiteral("[querys]"), key(QStringLiteral("name"), QStringLiteral("View_Adressen")),
           key(QStringLiteral("SQL"), select)});
    EXPECT_EQ(x.host.lines, (QStringList{status(QStringLiteral("AdressenStamm")),
                                         QStringLiteral("\tALTER TABLE [AdressenStamm]  ADD [Bemerkung] VARCHAR(30)"),
                                         QStringLiteral("Abfrage/Sicht erstellen: View_Adressen")}));
    EXPECT_EQ(x.host.sent(), (QStringList{QStringLiteral("ALTER TABLE [AdressenStamm]  ADD [Bemerkung] VARCHAR(30)")}));
    EXPECT_EQ(x.host.views, (QList<QPair<QString, QString>>{{QStringLiteral("View_Adressen"), select}}));
    EXPECT_TRUE(x.endedNormally());
    EXPECT_FALSE(x.host.runFailed);
    // The table is looked up, and read again after the change.
    EXPECT_EQ(x.host.server.statements.count(QStringLiteral("<catalogue> AdressenStamm")), 2);
}

TEST(XdbRun, ColumnsThatExistInAnyCaseAreNotAdded)
{
    Xdb x;
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("AdressenStamm")), feld(QStringLiteral("ORT"), 10, 30),
           feld(QStringLiteral("name"), 10, 30)});
    EXPECT_EQ(x.host.lines, QStringList{status(QStringLiteral("AdressenStamm"))});
    EXPECT_TRUE(x.host.sent().isEmpty());
}

TEST(XdbRun, ADocumentWithoutHeadersOnlyReadsItsLines)
{
    Xdb x;
    x.run({tabelle(QStringLiteral("AdressenStamm")), feld(QStringLiteral("Neu"), 10, 30),
           key(QStringLiteral("name"), QStringLiteral("View_X")), key(QStringLiteral("SQL"), QStringLiteral("SELECT 1")),
           QString()});
    EXPECT_TRUE(x.host.lines.isEmpty());
    EXPECT_TRUE(x.host.server.statements.isEmpty());
    EXPECT_TRUE(x.endedNormally());
}

TEST(XdbRun, AMissingTableSkipsTheRestOfItsBlock)
{
    Xdb x;
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Gibtsnicht")), feld(QStringLiteral("A"), 10, 5),
           feld(QStringLiteral("B"), 4, 0), QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")),
           feld(QStringLiteral("C"), 4, 0)});
    EXPECT_EQ(x.host.lines, (QStringList{status(QStringLiteral("Gibtsnicht")), kMissing, status(QStringLiteral("Artikel")),
                                         QStringLiteral("\tALTER TABLE [Artikel]  ADD [C] INT")}));
    EXPECT_FALSE(x.host.runFailed);
    // Several tables in one block work while every table exists.
    Xdb y;
    y.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), feld(QStringLiteral("C"), 4, 0),
           tabelle(QStringLiteral("AdressenStamm")), feld(QStringLiteral("D"), 6, 0)});
    EXPECT_EQ(y.host.sent(), (QStringList{QStringLiteral("ALTER TABLE [Artikel]  ADD [C] INT"),
                                          QStringLiteral("ALTER TABLE [AdressenStamm]  ADD [D] REAL")}));
}

TEST(XdbRun, OldFormatBlocksWithDefaultsAndABlankLine)
{
    Xdb x;
    x.host.server.failWhenStartsWith(QStringLiteral("ALTER TABLE [Artikel]  ADD [] "),
                                     QStringLiteral("37000:[Microsoft][ODBC SQL Server Driver]Syntax error near ']'"));
    x.run({oldTable(QStringLiteral("Artikel")), oldField(QStringLiteral("Kurz"), 10, 8, QStringLiteral("\"\"")),
           oldField(QStringLiteral("Menge"), 4, 0, QStringLiteral("0")),
           oldField(QStringLiteral("Einheit"), 10, 0, QStringLiteral("\"Stück\"")), QString(),
           oldField(QStringLiteral("nr"), 4, 0), oldTable(QStringLiteral("Fehlt")), oldField(QStringLiteral("X"), 4, 0),
           QStringLiteral("[x]"), oldField(QStringLiteral("Y"), 4, 0)});
    EXPECT_EQ(x.host.lines,
              (QStringList{status(QStringLiteral("Artikel"), QStringLiteral("(Felder hinzufügen) [altes XDB-Format]")),
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [Kurz] VARCHAR(8) DEFAULT ' ' NULL"),
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [Menge] INT DEFAULT 0 NULL"),
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [Einheit] VARCHAR(0) DEFAULT Stück NULL"),
                           // The blank line is a field without name: the server rejects it.
                           QStringLiteral("\tALTER TABLE [Artikel]  ADD [] "),
                           QStringLiteral("37000:[Microsoft][ODBC SQL Server Driver]Syntax error near ']'"),
                           status(QStringLiteral("Fehlt"), QStringLiteral("(Felder hinzufügen) [altes XDB-Format]")),
                           kMissing}));
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_TRUE(x.endedNormally());
}

TEST(XdbRun, RenamesAreListedAndSent)
{
    Xdb x;
    x.run({QStringLiteral("[renamefield]"), renameKey(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
           renamePair(QStringLiteral("feld"), QStringLiteral("ALT"), QStringLiteral("Neu")),
           renamePair(QStringLiteral("feld"), QStringLiteral("Fehlt"), QStringLiteral("Egal")),
           renameKey(QStringLiteral("tabelle"), QStringLiteral("Nirgends")),
           renamePair(QStringLiteral("feld"), QStringLiteral("Nr"), QStringLiteral("Nummer")),
           QStringLiteral("[renametable]"), renamePair(QStringLiteral("tabelle"), QStringLiteral("Lager"), QStringLiteral("Lagerorte"))});
    EXPECT_EQ(x.host.lines,
              (QStringList{status(QStringLiteral("Artikel"), QStringLiteral("(Felder umbenennen)")),
                           QStringLiteral("\tALT  ->  Neu"),
                           status(QStringLiteral("Nirgends"), QStringLiteral("(Felder umbenennen)")), kMissing,
                           QStringLiteral("Tabelle umbenennen: Lager  ->  Lagerorte  [noch nicht implementiert]")}));
    // The server's name of the table; the document's names of the columns.
    EXPECT_EQ(x.host.sent(), QStringList{QStringLiteral("sp_rename 'Artikel.ALT' , 'Neu' , 'column'")});

    Xdb m(Dialect::MySQL);
    m.run({QStringLiteral("[renamefield]"), renameKey(QStringLiteral("tabelle"), QStringLiteral("artikel")),
           renamePair(QStringLiteral("feld"), QStringLiteral("Alt"), QStringLiteral("Neu"))});
    EXPECT_EQ(m.host.sent(), QStringList{QStringLiteral("ALTER TABLE `Artikel` RENAME COLUMN `Alt` TO `Neu`")});
}

TEST(XdbRun, OracleAndDb2LookTablesUpInUpperCase)
{
    for (Dialect d : {Dialect::Oracle, Dialect::DB2}) {
        Xdb x(d);
        x.table(QStringLiteral("KUNDEN"), {QStringLiteral("NR")});
        x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Kunden")), feld(QStringLiteral("nr"), 4, 0),
               feld(QStringLiteral("Auftragsbestätigung_Französisch"), 10, 30), feld(QStringLiteral("Neu"), 5, 0)});
        EXPECT_EQ(x.host.server.statements.first(), QStringLiteral("<catalogue> KUNDEN"));
        const QString type = d == Dialect::Oracle ? QStringLiteral("NUMBER(19,4)") : QStringLiteral("DECIMAL(19,4)");
        EXPECT_EQ(x.host.lines, (QStringList{status(QStringLiteral("KUNDEN")),
                                             QStringLiteral("\tALTER TABLE KUNDEN  ADD Neu ") + type}));
    }
    // Elsewhere that column is added like any other.
    Xdb m;
    m.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")),
           feld(QStringLiteral("Auftragsbestätigung_Französisch"), 10, 30)});
    EXPECT_EQ(m.host.sent(),
              QStringList{QStringLiteral("ALTER TABLE [Artikel]  ADD [Auftragsbestätigung_Französisch] VARCHAR(30)")});
}

TEST(XdbRun, QueryBlocks)
{
    Xdb x;
    const QString bracketed = QStringLiteral("SELECT [Nr] FROM [Artikel]");
    x.run({QStringLiteral("[querys]"), key(QStringLiteral("SQL"), QStringLiteral("SELECT 0")),  // no name yet
           key(QStringLiteral("name"), QStringLiteral("View_Eins")), key(QStringLiteral("SQL"), bracketed),
           key(QStringLiteral("SQL"), QStringLiteral("SELECT 2")),  // a second statement
           key(QStringLiteral("name"), QStringLiteral("View_Zwei")), key(QStringLiteral("sql"), bracketed),
           key(QStringLiteral("SQL"), QStringLiteral("SELECT 3")),  // the block has ended
           QStringLiteral("[querys]"), key(QStringLiteral("name"), QStringLiteral("View_Drei")),
           key(QStringLiteral("Sql"), QStringLiteral("SELECT Nr FROM Artikel"))});
    EXPECT_EQ(x.host.views, (QList<QPair<QString, QString>>{{QStringLiteral("View_Eins"), bracketed},
                                                           {QStringLiteral("View_Drei"), QStringLiteral("SELECT Nr FROM Artikel")}}));
    EXPECT_EQ(x.host.lines, (QStringList{QStringLiteral("Abfrage/Sicht erstellen: View_Eins"),
                                         QStringLiteral("Abfrage/Sicht erstellen: View_Drei")}));
}

TEST(XdbRun, SybaseOnLinuxCreatesViewBestellungAuftragLast)
{
    const QStringList doc{QStringLiteral("[querys]"), key(QStringLiteral("name"), QStringLiteral("View_BestellungAuftrag")),
                          key(QStringLiteral("SQL"), QStringLiteral("SELECT * FROM View_Bestellung")),
                          key(QStringLiteral("name"), QStringLiteral("View_Bestellung")),
                          key(QStringLiteral("SQL"), QStringLiteral("SELECT * FROM Bestellung"))};
    Xdb linuxSybase(Dialect::Sybase, true);
    linuxSybase.run(doc);
    EXPECT_EQ(linuxSybase.host.views,
              (QList<QPair<QString, QString>>{{QStringLiteral("View_Bestellung"), QStringLiteral("SELECT * FROM Bestellung")},
                                              {QStringLiteral("View_BestellungAuftrag"), QStringLiteral("SELECT * FROM View_Bestellung")}}));
    // Listed where the document names it.
    EXPECT_EQ(linuxSybase.host.lines.first(), QStringLiteral("Abfrage/Sicht erstellen: View_BestellungAuftrag"));

    for (bool linuxSwitch : {false, true}) {
        Xdb other(linuxSwitch ? Dialect::MSSQL : Dialect::Sybase, linuxSwitch);
        other.run(doc);
        EXPECT_EQ(other.host.views.first().first, QStringLiteral("View_BestellungAuftrag"));
    }
    // Without that view in the document no extra call is made.
    Xdb none(Dialect::Sybase, true);
    none.run(QStringList{doc.first()} + doc.mid(3));
    EXPECT_EQ(none.host.views.size(), 1);
}

TEST(XdbRun, MsSqlIndexBlocks)
{
    Xdb x;
    const QString query = QStringLiteral("SELECT COUNT(*) FROM dbo.sysindexes");
    x.host.server.answers.append({[](const QString& s) { return s.contains(QLatin1String("'ixDa'")); }, 1});
    x.host.server.failWhenContains(QStringLiteral("'ixKaputt'"), QStringLiteral("S0022:Invalid column name"));
    x.host.server.failWhenStartsWith(QStringLiteral("CREATE INDEX [ixAbgelehnt]"), QStringLiteral("37000:Zu viele Spalten"));
    auto block = [](const QString& table, const QString& index, const QString& attributes, const QStringList& fields) {
        QStringList lines{QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), table), key(QStringLiteral("name"), index),
                          key(QStringLiteral("attribute"), attributes),
                          key(QStringLiteral("felderanzahl"), QString::number(fields.size()))};
        for (const QString& f : fields)
            lines.append(key(QStringLiteral("feld"), f));
        return lines;
    };
    x.run(block(QStringLiteral("Artikel"), QStringLiteral("ixNeu"), QStringLiteral("0"), {QStringLiteral("Nr"), QStringLiteral("Bezeichnung")})
          + block(QStringLiteral("Artikel"), QStringLiteral("ixDa"), QStringLiteral("0"), {QStringLiteral("Nr")})
          + block(QStringLiteral("Artikel"), QStringLiteral("ixKaputt"), QStringLiteral("0"), {QStringLiteral("Nr")})
          + block(QStringLiteral("Artikel"), QStringLiteral("ixPrim"), QStringLiteral("6"), {QStringLiteral("Nr")})
          + block(QStringLiteral("Artikel"), QStringLiteral("ixAbgelehnt"), QStringLiteral("1"), {QStringLiteral("Nr")})
          + block(QStringLiteral("Artikel"), QStringLiteral("ixEins"), QStringLiteral("0"), {QStringLiteral("Nr")}));

    auto exists = [&](const QString& index) {
        return query + QStringLiteral(" INNER JOIN dbo.sysobjects ON sysobjects.id = sysindexes.id WHERE sysobjects.xtype = "
                                      "'U' AND sysobjects.name = 'Artikel' AND (sysindexes.name = '")
            + index + QStringLiteral("' OR sysindexes.name LIKE '___") + index + QStringLiteral("')");
    };
    EXPECT_EQ(x.host.sent(), (QStringList{exists(QStringLiteral("ixNeu")),
                                          QStringLiteral("CREATE INDEX [ixNeu] ON [Artikel]([Nr], [Bezeichnung])"),
                                          exists(QStringLiteral("ixDa")), exists(QStringLiteral("ixKaputt")),
                                          exists(QStringLiteral("ixPrim")), exists(QStringLiteral("ixAbgelehnt")),
                                          QStringLiteral("CREATE INDEX [ixAbgelehnt] ON [Artikel]([Nr])"),
                                          exists(QStringLiteral("ixEins")), QStringLiteral("CREATE INDEX [ixEins] ON [Artikel]([Nr])")}));
    EXPECT_EQ(x.host.lines, (QStringList{QStringLiteral("Neuen Index anlegen: Artikel/ixNeu"),
                                         // A failing test counts as an existing index.
                                         QStringLiteral("S0022:Invalid column name"),
                                         // A failing creation is still announced.
                                         QStringLiteral("37000:Zu viele Spalten"), QStringLiteral("Neuen Index anlegen: Artikel/ixAbgelehnt"),
                                         QStringLiteral("Neuen Index anlegen: Artikel/ixEins")}));
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_TRUE(x.endedNormally());
}

TEST(XdbRun, SybaseIndexBlocksAndTheDialectsWithoutThem)
{
    const QStringList doc{QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
                          key(QStringLiteral("name"), QStringLiteral("ixNr")), key(QStringLiteral("attribute"), QStringLiteral("2")),
                          key(QStringLiteral("felderanzahl"), QStringLiteral("2")), key(QStringLiteral("feld"), QStringLiteral("Nr")),
                          key(QStringLiteral("feld"), QStringLiteral("Name"))};
    for (bool linuxSwitch : {false, true}) {
        Xdb x(Dialect::Sybase, linuxSwitch);
        x.run(doc);
        EXPECT_EQ(x.host.sent(), (QStringList{QStringLiteral("SELECT COUNT(*) FROM SYSINDEX INNER JOIN SYSTABLE ON "
                                                             "SYSTABLE.table_id = SYSINDEX.table_id WHERE SYSTABLE.table_type = "
                                                             "'BASE' AND SYSTABLE.table_name = 'Artikel' AND "
                                                             "SYSINDEX.index_name = 'ixNr'"),
                                              QStringLiteral("CREATE INDEX [ixNr] ON Artikel(Nr, Name)")}));
        EXPECT_EQ(x.host.lines, QStringList{QStringLiteral("Neuen Index anlegen: Artikel/ixNr")});
    }
    for (Dialect d : {Dialect::MySQL, Dialect::Oracle, Dialect::DB2}) {
        Xdb x(d);
        x.run(doc);
        EXPECT_TRUE(x.host.server.statements.isEmpty());
        EXPECT_TRUE(x.host.lines.isEmpty());
        // The block ended at its name: the field lines were not read into it.
        EXPECT_FALSE(x.state.sections.IndexSection);
    }
}

TEST(XdbRun, AnIndexBlockLeftOpenGoesOnInTheNextRun)
{
    Xdb x;
    x.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel"))});
    EXPECT_TRUE(x.state.sections.IndexSection);
    // No header in the second document: its lines still belong to the open block.
    x.run({key(QStringLiteral("tabelle"), QStringLiteral("Artikel")), key(QStringLiteral("name"), QStringLiteral("ixSpät")),
           key(QStringLiteral("attribute"), QStringLiteral("0")), key(QStringLiteral("felderanzahl"), QStringLiteral("1")),
           key(QStringLiteral("feld"), QStringLiteral("Nr"))});
    EXPECT_EQ(x.host.sent().last(), QStringLiteral("CREATE INDEX [ixSpät] ON [Artikel]([Nr])"));
    EXPECT_FALSE(x.state.sections.IndexSection);

    // "[Indizes]" inside an open block starts it again; its lines overwrite the values.
    Xdb y;
    y.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Falsch")),
           key(QStringLiteral("name"), QStringLiteral("ixAlt")), key(QStringLiteral("felderanzahl"), QStringLiteral("3")),
           key(QStringLiteral("feld"), QStringLiteral("A")), QStringLiteral("[Indizes]"),
           key(QStringLiteral("tabelle"), QStringLiteral("Artikel")), key(QStringLiteral("name"), QStringLiteral("ixNeu")),
           key(QStringLiteral("attribute"), QStringLiteral("0")), key(QStringLiteral("felderanzahl"), QStringLiteral("1")),
           key(QStringLiteral("feld"), QStringLiteral("Nr"))});
    EXPECT_EQ(y.host.sent().last(), QStringLiteral("CREATE INDEX [ixNeu] ON [Artikel]([Nr])"));
    EXPECT_EQ(y.host.lines, QStringList{QStringLiteral("Neuen Index anlegen: Artikel/ixNeu")});

    // A header holding a key word is read as that key of the open block before it closes it.
    Xdb z;
    z.run({QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
           QStringLiteral("[renamefield]"), renameKey(QStringLiteral("tabelle"), QStringLiteral("Artikel"))});
    EXPECT_EQ(z.host.sent().first(),
              IndexExistsQuery(QStringLiteral("Artikel"), QStringLiteral("[renamefield]").mid(23), Dialect::MSSQL));
    EXPECT_FALSE(z.state.sections.IndexSection);
    EXPECT_TRUE(z.state.sections.RenameFieldSection);
}

TEST(XdbRun, TheCurrentTableSurvivesAFailedLookupAndTheRun)
{
    Xdb x;
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel"))});
    ASSERT_TRUE(x.state.CurrentTable);
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Fehlt")), QStringLiteral("[felder]"),
           feld(QStringLiteral("Neu"), 4, 0)});
    EXPECT_EQ(x.state.CurrentTable->Name, QStringLiteral("Artikel"));
    EXPECT_EQ(x.host.sent(), QStringList{QStringLiteral("ALTER TABLE [Artikel]  ADD [Neu] INT")});
}

TEST(XdbRun, ErrorDescriptionsAreListedInPiecesOf130)
{
    Xdb x;
    const QString long300 = QStringLiteral("37000:") + QString(294, QLatin1Char('x'));
    const QString exact130 = QStringLiteral("42000:") + QString(124, QLatin1Char('y'));
    x.host.server.failWhenContains(QStringLiteral("[Lang]"), long300);
    x.host.server.failWhenContains(QStringLiteral("[Genau]"), exact130);
    x.host.server.failWhenContains(QStringLiteral("[Leer]"), QString());
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), feld(QStringLiteral("Lang"), 4, 0),
           feld(QStringLiteral("Genau"), 4, 0), feld(QStringLiteral("Leer"), 4, 0), feld(QStringLiteral("Danach"), 4, 0)});
    EXPECT_EQ(x.host.lines, (QStringList{status(QStringLiteral("Artikel")), QStringLiteral("\tALTER TABLE [Artikel]  ADD [Lang] INT"),
                                         long300.left(130), long300.mid(130, 130), long300.mid(260),
                                         QStringLiteral("\tALTER TABLE [Artikel]  ADD [Genau] INT"), exact130, QString(),
                                         QStringLiteral("\tALTER TABLE [Artikel]  ADD [Leer] INT"), QString(),
                                         QStringLiteral("\tALTER TABLE [Artikel]  ADD [Danach] INT")}));
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_TRUE(x.endedNormally());
}

TEST(XdbRun, ErrorsOfTheDocumentItselfEndTheRun)
{
    struct Case {
        QStringList lines;
        QString listed;
    };
    const QStringList index{QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
                            key(QStringLiteral("name"), QStringLiteral("ixNr"))};
    const QList<Case> cases{
        {index + QStringList{key(QStringLiteral("felderanzahl"), QStringLiteral("zwei"))}, QStringLiteral("Typen unverträglich")},
        {index + QStringList{key(QStringLiteral("attribute"), QString())}, QStringLiteral("Typen unverträglich")},
        {index + QStringList{key(QStringLiteral("feld"), QStringLiteral("Nr"))}, QStringLiteral("Index außerhalb des gültigen Bereichs")},
        {index + QStringList{key(QStringLiteral("felderanzahl"), QStringLiteral("0"))}, QStringLiteral("Index außerhalb des gültigen Bereichs")},
        {index + QStringList{key(QStringLiteral("felderanzahl"), QStringLiteral("2000000000"))}, QStringLiteral("Nicht genügend Speicher")},
        // A field line before any table was opened.
        {{QStringLiteral("[felder]"), feld(QStringLiteral("Neu"), 4, 0)}, QStringLiteral("Objektvariable oder With-Blockvariable nicht festgelegt")},
        {{oldTable(QStringLiteral("Artikel")), oldField(QStringLiteral("Neu"), 0, 0).left(50) + QStringLiteral("9e9")}, QStringLiteral("Überlauf")},
    };
    for (const Case& c : cases) {
        Xdb x;
        x.run(c.lines + QStringList{QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), feld(QStringLiteral("Nie"), 4, 0)});
        EXPECT_EQ(x.host.lines.last(), c.listed) << c.lines.last().toStdString();
        EXPECT_TRUE(x.host.runFailed);
        // Ended: nothing after the error, no final message, the button back, the progress run closed.
        EXPECT_FALSE(x.host.sent().contains(QStringLiteral("ALTER TABLE [Artikel]  ADD [Nie] INT")));
        EXPECT_TRUE(x.host.messages.isEmpty());
        EXPECT_EQ(x.host.enableCalls, QList<bool>({false, true}));
        EXPECT_EQ(x.host.progress.last(), 0);
    }
}

TEST(XdbRun, MissingFileAndEmptyPath)
{
    Xdb x;
    x.host.lines = QStringList{QStringLiteral("vom letzten Lauf")};
    x.host.path = x.dir.filePath(QStringLiteral("fehlt.XDB"));
    RunXdbDocument(x.host, x.state);
    EXPECT_EQ(x.host.lines, QStringList{QStringLiteral("Datei nicht gefunden: ") + x.host.path});
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_TRUE(x.host.messages.isEmpty());
    EXPECT_EQ(x.host.enableCalls, QList<bool>({false, true}));

    Xdb e;
    e.host.lines = QStringList{QStringLiteral("vom letzten Lauf")};
    e.host.path.clear();
    RunXdbDocument(e.host, e.state);
    EXPECT_EQ(e.host.lines, QStringList{QStringLiteral("vom letzten Lauf")});
    EXPECT_EQ(e.host.enableCalls, QList<bool>({false, true}));
    EXPECT_TRUE(e.host.messages.isEmpty());
    EXPECT_EQ(e.host.yields, 0);
    EXPECT_FALSE(e.host.runFailed);
}

TEST(XdbRun, ViewErrorsReachTheHandler)
{
    const QStringList doc{QStringLiteral("[querys]"), key(QStringLiteral("name"), QStringLiteral("View_A")),
                          key(QStringLiteral("SQL"), QStringLiteral("SELECT LEFT(x FROM t")), key(QStringLiteral("name"), QStringLiteral("View_B")),
                          key(QStringLiteral("SQL"), QStringLiteral("SELECT 1"))};
    Xdb x;
    x.host.viewBehaviour = [](const QString& name, const QString&) {
        if (name == QLatin1String("View_A"))
            throw TabrixError(5, QStringLiteral("Ungültiger Prozeduraufruf oder ungültiges Argument"));
    };
    x.run(doc);
    EXPECT_EQ(x.host.views.size(), 1);
    EXPECT_EQ(x.host.lines.last(), QStringLiteral("Ungültiger Prozeduraufruf oder ungültiges Argument"));
    EXPECT_TRUE(x.host.messages.isEmpty());

    Xdb y;
    y.host.viewBehaviour = [](const QString& name, const QString&) {
        if (name == QLatin1String("View_A"))
            throw TabrixError(40002, QStringLiteral("S0022:Spalte fehlt"));
    };
    y.run(doc);
    EXPECT_EQ(y.host.views.size(), 2);
    EXPECT_TRUE(y.endedNormally());
}

TEST(XdbRun, ProgressInBlocksOf128BytesAndYieldsPerLine)
{
    Xdb x;
    const QStringList doc{QString(200, QLatin1Char('a')), QString(100, QLatin1Char('b')), QStringLiteral("[felder]"),
                          tabelle(QStringLiteral("Artikel"))};
    x.run(doc);
    const long length = 202 + 102 + 10 + tabelle(QStringLiteral("Artikel")).size() + 2;
    EXPECT_EQ(x.host.progress, (QList<long>{-(length / 128 + 1), 202 / 128, 304 / 128, 314 / 128, length / 128, 0}));
    // One yield after the start, one per line, one for the table's status line.
    EXPECT_EQ(x.host.yields, 1 + 4 + 1);
    EXPECT_EQ(x.host.topScrolls, 1);
}

TEST(XdbRun, UnattendedRunsShowNoMessage)
{
    Xdb x;
    x.host.automatic = true;
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Fehlt"))});
    EXPECT_TRUE(x.host.messages.isEmpty());
    EXPECT_FALSE(x.host.runFailed);  // a missing table is no failure
    EXPECT_EQ(x.host.progress.last(), 0);
}

TEST(XdbRun, WithoutAConnectionEveryTableIsMissing)
{
    Xdb x;
    x.host.hasConnection = false;
    x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), feld(QStringLiteral("Neu"), 4, 0)});
    EXPECT_EQ(x.host.lines, (QStringList{QStringLiteral("08003:Keine Verbindung zum SQL-Server"),
                                         status(QStringLiteral("Artikel")), kMissing}));
    EXPECT_TRUE(x.host.runFailed);
    EXPECT_TRUE(x.endedNormally());
}

TEST(XdbRun, AYieldThatSaysEndEndsTheRunAtOnce)
{
    for (int stopAt : {1, 2, 4}) {
        Xdb x;
        x.host.onYield = [&x, stopAt] { return x.host.yields < stopAt; };
        x.run({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), feld(QStringLiteral("Neu"), 4, 0),
               feld(QStringLiteral("Neu2"), 4, 0)});
        EXPECT_EQ(x.host.yields, stopAt);
        EXPECT_TRUE(x.host.messages.isEmpty());
        EXPECT_TRUE(x.host.runFailed);
        EXPECT_EQ(x.host.enableCalls, QList<bool>({false, true}));
        EXPECT_EQ(x.host.progress.last(), 0);
        EXPECT_TRUE(x.host.sent().isEmpty());
    }
}

TEST(XdbRun, LineEndsAndCodePagesGiveTheSameStatements)
{
    const QStringList doc{QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")), feld(QStringLiteral("Größe"), 10, 12),
                          QStringLiteral("[renamefield]"), renameKey(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
                          renamePair(QStringLiteral("feld"), QStringLiteral("Alt"), QStringLiteral("Maß"))};
    const QStringList expected{QStringLiteral("ALTER TABLE [Artikel]  ADD [Größe] VARCHAR(12)"),
                               QStringLiteral("sp_rename 'Artikel.Alt' , 'Maß' , 'column'")};
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")})
        for (Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
            Xdb x;
            x.run(doc, end, encoding);
            EXPECT_EQ(x.host.sent(), expected);
            EXPECT_TRUE(x.endedNormally());
        }
}

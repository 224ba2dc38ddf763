#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "access/AccessDatabase.h"
#include "conversion/TableList.h"
#include "ui/ClickableLabel.h"
#include "windows/FehlerProtokoll.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList userTables(const QString& path)
{
    QStringList names;
    auto db = dao::Database::OpenDatabase(path);
    for (const dao::TableDef& def : db->TableDefs())
        if ((def.Attributes & dao::dbSystemObjectMask) == 0)
            names.append(def.Name);
    return names;
}

bool enabled(Konvertierung* k, const char* name)
{
    return k->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled();
}

}  // namespace

TEST(Konvertierung, OpensWithItsControlsAndStates)
{
    auto main = std::make_unique<MDIForm_Main>();
    main->Form_Load();
    main->Command1->setEnabled(true);
    main->Command1->click();
    Konvertierung* k = main->konvertierung();
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->windowTitle(), QStringLiteral("Konvertierung : Access zu SQL-Server"));
    EXPECT_EQ(k->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Access :"));
    EXPECT_EQ(k->QELPfad->text(), QString());
    EXPECT_EQ(k->Command3->text(), QStringLiteral("..."));
    EXPECT_EQ(k->Command3->toolTip(), QStringLiteral("MDB öffnen"));
    EXPECT_EQ(k->Command4->text(), QStringLiteral("Anmelden"));
    EXPECT_EQ(k->Text1->text(), QStringLiteral("AdressenStamm"));
    EXPECT_EQ(k->Label2->text(), QStringLiteral("Tabellenname :"));
    EXPECT_EQ(k->Label1->text(), QStringLiteral("Bereit."));
    EXPECT_EQ(k->Label3->text(), QStringLiteral("PC :"));
    EXPECT_EQ(k->Label5->text(), QStringLiteral("von :"));
    EXPECT_EQ(k->Text_Mod->text(), QStringLiteral("1"));
    EXPECT_EQ(k->Text_Max->text(), QStringLiteral("1"));
    EXPECT_EQ(k->Command1->text(), QStringLiteral("Tabelle nach SQL konvertieren"));
    EXPECT_EQ(k->Command2->text(), QStringLiteral("Markierte Tabellen konvertieren"));
    EXPECT_EQ(k->Command5->text(), QStringLiteral("Abfragen -> Sichten"));
    EXPECT_EQ(k->Command6->text(), QStringLiteral("Beziehungen -> Trigger"));
    EXPECT_EQ(k->Command7->text(), QStringLiteral("Komplette Übernahme"));
    EXPECT_EQ(k->Command8->text(), QStringLiteral("Fehler- Protokoll"));
    EXPECT_EQ(k->Command9->text(), QStringLiteral("Markieren nicht erlaubt"));
    EXPECT_EQ(k->Command9BackColor(), 255);
    EXPECT_EQ(k->Check_Autowert->text(),
              QStringLiteral("Autowertidentität bei fehlendem Primärschlüssel automatisch anlegen."));
    EXPECT_EQ(k->Check_DefaultBlank->text(), QStringLiteral("Default \" \" für Alpha"));
    EXPECT_EQ(k->Check_Default0->text(), QStringLiteral("Default \"0\" für Zahlen"));
    EXPECT_EQ(k->Check_NoData->text(), QStringLiteral("Nur Struktur anlegen (keine Daten kopieren)"));
    EXPECT_EQ(k->Check_Message->text(), QStringLiteral("Fehlermeldungen anzeigen = Unterbrechung"));
    EXPECT_EQ(k->Check_Pruefen->text(), QStringLiteral("Daten prüfen"));
    EXPECT_TRUE(k->Check_Pruefen->isChecked());
    for (QCheckBox* c :
         {k->Check_Autowert, k->Check_DefaultBlank, k->Check_Default0, k->Check_NoData, k->Check_Message})
        EXPECT_FALSE(c->isChecked());
    for (const char* off : {"Command1", "Command2", "Command5", "Command6", "Command7"})
        EXPECT_FALSE(enabled(k, off)) << off;
    for (const char* on : {"Command3", "Command4", "Command8", "Command9", "Text_Max", "Text_Mod"})
        EXPECT_TRUE(enabled(k, on)) << on;
    EXPECT_FALSE(k->Image1->isVisible());
    // Checked; open to change while MySQL is the chosen dialect.
    EXPECT_EQ(k->Check_MehrereZeilen->text(), QStringLiteral("Mehrere Zeilen je INSERT"));
    EXPECT_TRUE(k->Check_MehrereZeilen->isChecked());
    for (QRadioButton* b : {main->Option_MSSQL, main->Option_MySQL, main->Option_DB2, main->Option_MySQL})
        EXPECT_EQ((b->click(), enabled(k, "Check_MehrereZeilen")), b == main->Option_MySQL) << b->text().toStdString();
}

TEST(Konvertierung, OpensWithThePathOfTheCommandLine)
{
    auto main =
        std::make_unique<MDIForm_Main>(QStringLiteral("-MDBpfad:\"/data/ERP -alt/qel.mdb\" -Einzeln -OhnePruefung"));
    main->Form_Load();
    main->Command1->setEnabled(true);
    main->Command1->click();
    Konvertierung* k = main->konvertierung();
    EXPECT_EQ(k->QELPfad->text(), QStringLiteral("/data/ERP -alt/qel.mdb"));
    EXPECT_TRUE(enabled(k, "Command4"));
    EXPECT_FALSE(enabled(k, "Command2"));
    EXPECT_FALSE(k->Check_MehrereZeilen->isChecked());
    EXPECT_FALSE(k->Check_Pruefen->isChecked());
    EXPECT_FALSE(k->checkData());
}

TEST(Konvertierung, MarkingSwitchAndClickRule)
{
    auto main = std::make_unique<MDIForm_Main>();
    main->Form_Load();
    main->show();
    main->Command1->setEnabled(true);
    main->Command1->click();
    Konvertierung* k = main->konvertierung();
    k->List2->addItem(QStringLiteral("Fehlt"));
    k->List2->addItem(PadName(QStringLiteral("Voll")) + QStringLiteral("[12]"));
    k->List2->addItem(PadName(QStringLiteral("Leer")) + QStringLiteral("[0]"));
    k->List2->addItem(PadName(QStringLiteral("Neu")) + QStringLiteral("[migriert]"));
    k->List2->item(0)->setSelected(true);  // as the load marks a missing table

    auto clickEntry = [&](int i) {
        const QRect r = k->List2->visualItemRect(k->List2->item(i));
        QTest::mouseClick(k->List2->viewport(), Qt::LeftButton, {}, r.center());
    };

    MessageBoxAnswerer answers;
    // Not allowed: a click that marks is undone, with the message.
    clickEntry(1);
    EXPECT_FALSE(k->List2->item(1)->isSelected());
    ASSERT_EQ(answers.seen.size(), 1);
    EXPECT_EQ(answers.seen[0].text, QStringLiteral("Funktion ist nicht freigeschalten"));
    EXPECT_EQ(answers.seen[0].title, QStringLiteral("SQL-Tabrix"));
    // Removing a mark stands.
    clickEntry(0);
    EXPECT_FALSE(k->List2->item(0)->isSelected());
    EXPECT_EQ(answers.seen.size(), 2);

    k->Command9->click();
    EXPECT_EQ(k->Command9->text(), QStringLiteral("Markieren erlaubt"));
    EXPECT_EQ(k->Command9BackColor(), 65280);
    clickEntry(2);  // "[0]": no warning
    EXPECT_TRUE(k->List2->item(2)->isSelected());
    EXPECT_EQ(answers.seen.size(), 2);
    clickEntry(1);  // rows on the server: warned, mark stays
    EXPECT_TRUE(k->List2->item(1)->isSelected());
    ASSERT_EQ(answers.seen.size(), 3);
    EXPECT_EQ(answers.seen[2].text, QStringLiteral("ACHTUNG   ACHTUNG\r\ndiese Tabelle enhält Sätze"));
    clickEntry(3);  // also for converted entries
    EXPECT_EQ(answers.seen.size(), 4);
    clickEntry(0);  // a bare name: no warning
    EXPECT_EQ(answers.seen.size(), 4);
    EXPECT_TRUE(k->List2->item(0)->isSelected());

    k->Command9->click();
    EXPECT_EQ(k->Command9->text(), QStringLiteral("Markieren nicht erlaubt"));
    EXPECT_EQ(k->Command9BackColor(), 255);

    // Silent with -noerror.
    main->state.NoErrorMode = true;
    clickEntry(3);
    EXPECT_FALSE(k->List2->item(3)->isSelected());
    EXPECT_EQ(answers.seen.size(), 4);
}

TEST(Konvertierung, IdentityOptionNeedsAQelDataSource)
{
    auto main = std::make_unique<MDIForm_Main>();
    main->Form_Load();
    main->Command1->setEnabled(true);
    main->Command1->click();
    Konvertierung* k = main->konvertierung();
    k->Check_Autowert->setChecked(true);
    {
        const QSignalBlocker quiet(main->ODBC_Name);
        main->ODBC_Name->setText(QStringLiteral("mein_qel_server"));
    }
    k->Form_Activate();
    EXPECT_TRUE(k->Check_Autowert->isChecked());
    {
        const QSignalBlocker quiet(main->ODBC_Name);
        main->ODBC_Name->setText(QStringLiteral("TEVRA"));
    }
    k->Form_Activate();
    EXPECT_FALSE(k->Check_Autowert->isChecked());
}

TEST(Konvertierung, LoadListsTablesWithServerCountsAndMarksTheMissingOnes)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    probe.exec(QStringLiteral("CREATE TABLE Artikel (Nr INT)"));
    probe.exec(QStringLiteral("INSERT INTO Artikel VALUES (1), (2), (3)"));
    probe.exec(QStringLiteral("CREATE TABLE Leertabelle (Nr INT)"));

    Program app;
    ASSERT_NE(app.konv, nullptr);
    EXPECT_EQ(app.load(path), QStringList());

    const QStringList tables = userTables(path);
    ASSERT_FALSE(tables.isEmpty());
    // The list follows the engine, which lists tables by name as DAO does.
    EXPECT_EQ(tables.join(QLatin1Char('|')).toStdString(),
              "Adressen|AdressenStamm|Artikel|Auftrag|AuftragZusatz|F5SB90R|Filialen|Formularprotokoll|Kunden|"
              "Leertabelle|Lieferantenbewertungen_Historie_2024|NurNull|Sonstiges|Terminkalender");
    const QStringList entries = app.entries();
    ASSERT_EQ(entries.size(), tables.size());
    QStringList expectedMarked;
    for (int i = 0; i < tables.size(); ++i) {
        if (tables[i] == QStringLiteral("Artikel")) {
            EXPECT_EQ(entries[i], PadName(QStringLiteral("Artikel")) + QStringLiteral("[3]"));
        } else if (tables[i] == QStringLiteral("Leertabelle")) {
            EXPECT_EQ(entries[i], PadName(QStringLiteral("Leertabelle")) + QStringLiteral("[0]"));
        } else {
            EXPECT_EQ(entries[i], tables[i]);
            expectedMarked.append(tables[i]);
        }
    }
    EXPECT_EQ(app.marked(), expectedMarked);
    EXPECT_EQ(app.konv->Label1->text(), QStringLiteral("Bereit.   [3 Sätze in 2 Tabellen auf dem SQL-Server]"));

    auto db = dao::Database::OpenDatabase(path);
    const QStringList info = app.information();
    ASSERT_EQ(info.size(), 4);
    EXPECT_EQ(info[0], QStringLiteral("Abfragen in Datenbank: ") + QString::number(db->QueryDefs().size()));
    EXPECT_EQ(info[1], QStringLiteral("Beziehungen in Datenbank: ") + QString::number(db->Relations().size()));
    EXPECT_EQ(info[2], QString());
    EXPECT_TRUE(info[3].startsWith(QStringLiteral("SQL-Treiber: QELSQL : "))) << info[3].toStdString();
    EXPECT_TRUE(info[3].contains(QStringLiteral("MariaDB"))) << info[3].toStdString();
    for (const char* on : {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6", "Command7"})
        EXPECT_TRUE(enabled(app.konv, on)) << on;
    EXPECT_EQ(app.konv->Command9->text(), QStringLiteral("Markieren nicht erlaubt"));
    EXPECT_EQ(app.main->ProgressBar1->value(), 0);

    // Changing the path clears the list and disables the work until the next load.
    QTest::keyClick(app.konv->QELPfad, Qt::Key_End);
    QTest::keyClicks(app.konv->QELPfad, QStringLiteral("x"));
    EXPECT_EQ(app.konv->List2->count(), 0);
    EXPECT_EQ(app.information().size(), 4);
    for (const char* off : {"Command1", "Command2", "Command5", "Command6", "Command7", "Text_Max", "Text_Mod"})
        EXPECT_FALSE(enabled(app.konv, off)) << off;
    EXPECT_TRUE(enabled(app.konv, "Command3"));
    EXPECT_TRUE(enabled(app.konv, "Command4"));
}

TEST(Konvertierung, UnreadableDatabaseShowsTheMessage)
{
    REQUIRE_TEST_SERVER();
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("kaputt.mdb"));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    Program app;
    for (const QString& path : {dir.filePath(QStringLiteral("fehlt.mdb")), broken, QString()}) {
        app.main->state.RunFailed = false;
        EXPECT_EQ(app.load(path),
                  QStringList{QStringLiteral("Access-Datenquelle '") + path + QStringLiteral("' nicht gefunden!")});
        EXPECT_TRUE(app.main->state.RunFailed);
        EXPECT_EQ(app.konv->Label1->text(), QStringLiteral("Bereit."));
        for (const char* off : {"Command1", "Command2", "Command5", "Command6", "Command7", "Text_Max", "Text_Mod"})
            EXPECT_FALSE(enabled(app.konv, off)) << off;
        EXPECT_TRUE(enabled(app.konv, "Command3"));
        EXPECT_TRUE(enabled(app.konv, "Command4"));
    }
}

TEST(Konvertierung, NameWithBlankOnAnotherDialectEndsTheLoad)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app(Login::TestServer, &MDIForm_Main::Option_MSSQL);  // MS SQL: names go unquoted
    const QStringList messages = app.load(path);
    ASSERT_EQ(messages.size(), 1);
    const QString text = messages[0];
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\nDatenbankserver überlastet\r\nBitte starten sie das Programm neu")))
        << text.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("37000:"))) << text.toStdString();
    EXPECT_TRUE(app.main->state.RunFailed);
    // The information list says which dialect fits; another file or dialect can be loaded.
    EXPECT_EQ(app.information(),
              QStringList{QStringLiteral("Der Server meldet sich als MariaDB; dazu passt der Dialekt MySQL, gewählt "
                                         "ist Microsoft SQL.")});
    for (const char* off : {"Command1", "Command2", "Command5", "Command6", "Command7"})
        EXPECT_FALSE(enabled(app.konv, off)) << off;
    for (const char* on : {"Command3", "Command4", "Command8"})
        EXPECT_TRUE(enabled(app.konv, on)) << on;
    // Tables after "Order Details" in the walk (from the last entry) were marked missing.
    const QStringList entries = app.entries();
    const int orderDetails = entries.indexOf(QStringLiteral("Order Details"));
    ASSERT_GE(orderDetails, 0);
    for (int i = orderDetails + 1; i < entries.size(); ++i)
        EXPECT_TRUE(app.konv->List2->item(i)->isSelected()) << entries[i].toStdString();
    EXPECT_FALSE(app.konv->List2->item(orderDetails)->isSelected());
}

TEST(Konvertierung, BrowseTakesTheChosenFileAndCancelKeepsThePath)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    auto main = std::make_unique<MDIForm_Main>();
    main->Form_Load();
    main->Command1->setEnabled(true);
    main->Command1->click();
    Konvertierung* k = main->konvertierung();
    k->QELPfad->setText(QStringLiteral("/kein/pfad.mdb"));
    MessageBoxAnswerer dialogs([](QWidget* dialog) { static_cast<QFileDialog*>(dialog)->reject(); });
    k->Command3->click();
    EXPECT_EQ(k->QELPfad->text(), QStringLiteral("/kein/pfad.mdb"));
    QString filter;
    dialogs.onDialog = [&](QWidget* dialog) {
        auto* fd = static_cast<QFileDialog*>(dialog);
        EXPECT_EQ(fd->objectName(), QStringLiteral("CommonDialog"));
        filter = fd->nameFilters().join(QLatin1Char(';'));
        // As a user types the name into the dialog's file-name box and confirms.
        auto* name = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QFileInfo(path).canonicalFilePath());
        QTest::keyClick(name, Qt::Key_Return);
    };
    k->Command3->click();
    EXPECT_EQ(k->QELPfad->text(), QFileInfo(path).canonicalFilePath());
    EXPECT_EQ(filter, QStringLiteral("Access (*.mdb *.MDB *.accdb *.ACCDB);Alle Dateien (*)"));
}

#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "RecordingConnection.h"
#include "StderrCapture.h"
#include "TestSupport.h"
#include "ui/ClickableLabel.h"
#include "ui/MessageBox.h"
#include "windows/FehlerProtokoll.h"
#include "windows/Form_Auto.h"
#include "windows/ZusatzInfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

QString firstLine(const QString& text)
{
    return text.section(QStringLiteral("\r\n"), 0, 0);
}

QString secondLine(const QString& text)
{
    return text.section(QStringLiteral("\r\n"), 1, 1);
}

// With "-auto" the load runs the unattended chain, whose messages are answered.
std::unique_ptr<MDIForm_Main> startMain(const QString& commandLine = QString())
{
    Program program(commandLine);
    program.main->show();
    return std::move(program.main);
}

// Stands in for the desktop's browser: keeps the addresses it is asked to open.
class Browser : public QObject {
    Q_OBJECT
public:
    Browser() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

template <typename T>
T* child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    QTest::keyClicks(box, text);
}

}  // namespace

TEST(MainWindow, StartsWithTheInitialTextsAndStates)
{
    auto main = startMain();
    EXPECT_EQ(main->objectName(), QStringLiteral("MDIForm_Main"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("SQL-Server Hilfsprogramme"));
    QWidget* strip = child<QWidget>(main.get(), "Picture1");
    EXPECT_EQ(child<QLabel>(strip, "Label3")->text(), QStringLiteral("ODBC:"));
    EXPECT_EQ(child<QLineEdit>(strip, "ODBC_Name")->text(), QStringLiteral("QELSQL"));
    EXPECT_EQ(child<QLabel>(strip, "Label1")->text(), QStringLiteral("User :"));
    EXPECT_EQ(child<QLineEdit>(strip, "Text_UID")->text(), QStringLiteral("sa"));
    EXPECT_EQ(child<QLabel>(strip, "Label2")->text(), QStringLiteral("PW :"));
    EXPECT_EQ(child<QLineEdit>(strip, "Text_PW")->text(), QString());
    EXPECT_EQ(child<QLineEdit>(strip, "Text_PW")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(child<QRadioButton>(strip, "Option_MSSQL")->text(), QStringLiteral("Microsoft SQL"));
    EXPECT_TRUE(child<QRadioButton>(strip, "Option_MSSQL")->isChecked());
    EXPECT_EQ(child<QRadioButton>(strip, "Option_Oracle")->text(), QStringLiteral("Oracle"));
    EXPECT_EQ(child<QRadioButton>(strip, "Option_Sybase")->text(), QStringLiteral("Sybase"));
    EXPECT_EQ(child<QRadioButton>(strip, "Option_MySQL")->text(), QStringLiteral("MySQL"));
    EXPECT_EQ(child<QRadioButton>(strip, "Option_DB2")->text(), QStringLiteral("DB2"));
    EXPECT_EQ(child<QCheckBox>(strip, "Check1")->text(), QStringLiteral("Linux"));
    EXPECT_EQ(child<QPushButton>(strip, "Command3")->text(), QStringLiteral("SQL anmelden"));
    EXPECT_EQ(child<QPushButton>(strip, "Command1")->text(), QStringLiteral("Access zu SQL"));
    EXPECT_EQ(child<QPushButton>(strip, "Command2")->text(), QStringLiteral("XDB verarbeiten"));
    EXPECT_EQ(child<QPushButton>(strip, "Command4")->text(), QStringLiteral("Schließen"));
    EXPECT_EQ(child<QPushButton>(strip, "Command_Bericht")->text(), QStringLiteral("Letzter Bericht"));
    EXPECT_FALSE(child<QPushButton>(strip, "Command_Bericht")->isEnabled());  // no report kept yet
    EXPECT_FALSE(child<QPushButton>(strip, "Command1")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(strip, "Command2")->isEnabled());
    EXPECT_NE(child<QProgressBar>(strip, "ProgressBar1"), nullptr);
    EXPECT_EQ(child<QLabel>(strip, "Label_Rest")->text(), QString());
    EXPECT_NE(child<QLabel>(strip, "Image1"), nullptr);
    EXPECT_FALSE(main->state.AutoMode);
    EXPECT_FALSE(main->state.NoErrorMode);
    EXPECT_TRUE(main->state.MdbPath.isEmpty());
}

TEST(MainWindow, LoadCreatesBothEnvironmentsAndTheAuxiliaryWindows)
{
    auto main = startMain();
    ASSERT_TRUE(main->state.EnvironmentsCreated);
    // The second creation under the same counter finds the name taken and retries.
    EXPECT_EQ(main->state.ServerEnvironment->Name(), QStringLiteral("0RirovAdozad"));
    EXPECT_EQ(main->state.QueryEnvironment->Name(), QStringLiteral("1RirovAdozad"));
    EXPECT_EQ(main->state.QueryEnvironment->CursorDriver(), 4);
    // A second main window in the same process finds both names taken.
    auto second = startMain();
    EXPECT_EQ(second->state.ServerEnvironment->Name(), QStringLiteral("2RirovAdozad"));
    EXPECT_EQ(second->state.QueryEnvironment->Name(), QStringLiteral("3RirovAdozad"));

    // The identity-table window is loaded first, the error log after it, and
    // so lies on top.
    QStringList children;
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList(QMdiArea::StackingOrder))
        children.append(sub->widget()->objectName());
    EXPECT_EQ(children, (QStringList{QStringLiteral("Form_Auto"), QStringLiteral("FehlerProtokoll")}));
    EXPECT_TRUE(main->fehlerProtokoll()->isVisible());
}

TEST(MainWindow, CommandLineFillsTheBoxesAndTheCaption)
{
    auto main = startMain(QStringLiteral(
        "-ODBC:\"TEVRA1\" -user:\"  bob \" -pass:\" geheim \" -MDBpfad:\"/data/ERP -alt/qel.mdb\" -noerror -auto"));
    EXPECT_EQ(main->ODBC_Name->text(), QStringLiteral("TEVRA1"));
    EXPECT_EQ(main->Text_UID->text(), QStringLiteral("bob"));
    EXPECT_EQ(main->Text_PW->text(), QStringLiteral(" geheim "));
    EXPECT_EQ(main->state.CmdOdbcName, QStringLiteral("\"TEVRA1\""));
    EXPECT_EQ(main->state.CmdPassword, QStringLiteral("\" geheim \""));
    EXPECT_EQ(main->state.MdbPath, QStringLiteral("/data/ERP -alt/qel.mdb"));
    EXPECT_TRUE(main->state.NoErrorMode);
    EXPECT_TRUE(main->state.AutoMode);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("SQL-Server Hilfsprogramme (no error)"));
    EXPECT_TRUE(main->IsModuleDataSource());
}

TEST(MainWindow, LinuxBoxFollowsTheDialectButtons)
{
    auto main = startMain();
    QCheckBox* linuxBox = main->Check1;
    main->Option_Sybase->click();
    EXPECT_TRUE(linuxBox->isVisible());
    linuxBox->click();
    EXPECT_TRUE(linuxBox->isChecked());
    EXPECT_EQ(main->currentDialect(), Dialect::Sybase);
    main->Option_MSSQL->click();
    EXPECT_FALSE(linuxBox->isVisible());
    EXPECT_FALSE(linuxBox->isChecked());
    main->Option_Sybase->click();
    EXPECT_TRUE(linuxBox->isVisible());
    EXPECT_FALSE(linuxBox->isChecked());

    // DB2 leaves the box as it is.
    linuxBox->click();
    main->Option_DB2->click();
    EXPECT_TRUE(linuxBox->isVisible());
    EXPECT_TRUE(linuxBox->isChecked());
    EXPECT_EQ(main->currentDialect(), Dialect::DB2);
    for (QRadioButton* b : {main->Option_MySQL, main->Option_Oracle}) {
        main->Option_Sybase->click();
        linuxBox->setChecked(true);
        b->click();
        EXPECT_FALSE(linuxBox->isVisible());
        EXPECT_FALSE(linuxBox->isChecked());
    }
    EXPECT_EQ(main->currentDialect(), Dialect::Oracle);
}

// The main window's own routine writes the text as the server got it back into the caller's variable.
TEST(MainWindow, ExecuteSqlWritesTheDoubledTextBack)
{
    Program program(Login::Recording, &MDIForm_Main::Option_MySQL);
    QString statement = QStringLiteral("UPDATE t SET p = 'C:\\x'");
    program.main->ExecuteSql(statement);
    EXPECT_EQ(statement, QStringLiteral("UPDATE t SET p = 'C:\\\\x'"));
    EXPECT_EQ(program.server->statements.last(), statement);
}

TEST(MainWindow, DialectSwitchSelectsTheButtonAsIfClicked)
{
    auto main = startMain(QStringLiteral("-ODBC:QELSQL -Dialekt:sybase -Linux -auto"));
    EXPECT_TRUE(main->Option_Sybase->isChecked());
    EXPECT_EQ(main->currentDialect(), Dialect::Sybase);
    EXPECT_TRUE(main->Check1->isVisible());
    EXPECT_TRUE(main->linuxChecked());
    EXPECT_EQ(main->ODBC_Name->text(), QStringLiteral("QELSQL"));

    // "-Linux" before the dialect still ticks the box.
    main = startMain(QStringLiteral("-Linux -Dialekt:SYBASE"));
    EXPECT_EQ(main->currentDialect(), Dialect::Sybase);
    EXPECT_TRUE(main->linuxChecked());

    main = startMain(QStringLiteral("-Dialekt:MySQL"));
    EXPECT_TRUE(main->Option_MySQL->isChecked());
    EXPECT_FALSE(main->Option_MSSQL->isChecked());
    EXPECT_FALSE(main->Check1->isVisible());
    main = startMain(QStringLiteral("-Dialekt:oracle"));
    EXPECT_EQ(main->currentDialect(), Dialect::Oracle);
    main = startMain(QStringLiteral("-Dialekt:Db2"));
    EXPECT_EQ(main->currentDialect(), Dialect::DB2);
    EXPECT_FALSE(main->linuxChecked());

    for (const char* line : {"-Dialekt:Informix", "-Dialekt:", "-ODBC:QELSQL -auto"}) {
        main = startMain(QString::fromUtf8(line));
        EXPECT_TRUE(main->Option_MSSQL->isChecked()) << line;
        EXPECT_FALSE(main->Check1->isVisible()) << line;
    }
}

TEST(MainWindow, UnattendedRunEchoesEveryMessageToStandardError)
{
    StderrCapture captured;
    {
        // The unattended run's login fails: its message, then the closing one.
        auto main = startMain(QStringLiteral("-ODBC:GibtEsNicht -auto"));
        MessageBoxAnswerer answers;
        ShowMessage(main.get(), QStringLiteral("Zeile 1\r\nZeile 2\nZeile 3"), QStringLiteral("Fehler"));
        ASSERT_EQ(answers.seen.size(), 1);
    }
    const QStringList lines = captured.text().split(u'\n');
    EXPECT_EQ(lines
                  .filter(QRegularExpression(QStringLiteral("^SQL-Tabrix: ODBC-Datenquelle 'GibtEsNicht' nicht "
                                                            "gefunden! \\| IM002:")))
                  .size(),
              1)
        << captured.text().toStdString();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("SQL-Tabrix: Bei der SQL-Datenbankerweiterung ist ein Fehler aufgetreten!")))
        << captured.text().toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Fehler: Zeile 1 | Zeile 2 | Zeile 3"))) << captured.text().toStdString();

    // Without "-auto" the boxes alone speak.
    StderrCapture quiet;
    auto main = startMain(QStringLiteral("-ODBC:GibtEsNicht"));
    MessageBoxAnswerer answers;
    main->Command3->click();
    ASSERT_EQ(answers.seen.size(), 1);
    EXPECT_FALSE(quiet.text().contains(QStringLiteral("nicht gefunden"))) << quiet.text().toStdString();
}

TEST(MainWindow, FailedLoginShowsTheOneMessage)
{
    auto main = startMain();
    MessageBoxAnswerer answers;
    main->ODBC_Name->setText(QStringLiteral("GibtEsNicht"));
    main->Command3->click();
    ASSERT_EQ(answers.seen.size(), 1);
    EXPECT_EQ(answers.seen[0].title, QStringLiteral("SQL-Tabrix"));
    // The second line says why: the data source is missing from the ODBC configuration.
    EXPECT_EQ(firstLine(answers.seen[0].text), QStringLiteral("ODBC-Datenquelle 'GibtEsNicht' nicht gefunden!"));
    EXPECT_TRUE(secondLine(answers.seen[0].text).startsWith(QStringLiteral("IM002:")))
        << answers.seen[0].text.toStdString();
    EXPECT_TRUE(main->state.RunFailed);
    EXPECT_FALSE(main->Command1->isEnabled());
    EXPECT_FALSE(main->Command2->isEnabled());

    main->ODBC_Name->clear();
    main->Command3->click();
    ASSERT_EQ(answers.seen.size(), 2);
    EXPECT_EQ(firstLine(answers.seen[1].text), QStringLiteral("ODBC-Datenquelle '' nicht gefunden!"));
    EXPECT_TRUE(secondLine(answers.seen[1].text).startsWith(QStringLiteral("IM002:")))
        << answers.seen[1].text.toStdString();
}

TEST(MainWindow, EnterInTheDataSourceBoxLogsIn)
{
    auto main = startMain();
    MessageBoxAnswerer answers;
    main->ODBC_Name->setText(QStringLiteral("Unbekannt"));
    QTest::keyClick(main->Text_UID, Qt::Key_Return);
    QTest::keyClick(main->Text_PW, Qt::Key_Return);
    EXPECT_TRUE(answers.seen.isEmpty());
    QTest::keyClick(main->ODBC_Name, Qt::Key_Return);
    ASSERT_EQ(answers.seen.size(), 1);
    EXPECT_EQ(firstLine(answers.seen[0].text), QStringLiteral("ODBC-Datenquelle 'Unbekannt' nicht gefunden!"));
    // The key itself is discarded.
    EXPECT_EQ(main->ODBC_Name->text(), QStringLiteral("Unbekannt"));
}

TEST(MainWindow, LoginAgainstTheServerEnablesTheWorkAndTypingResetsIt)
{
    REQUIRE_TEST_SERVER();
    auto main = startMain();
    MessageBoxAnswerer answers;
    main->Text_PW->setText(TestServer::password());
    main->Command3->click();
    EXPECT_TRUE(answers.seen.isEmpty()) << answers.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(main->Command1->isEnabled());
    EXPECT_TRUE(main->Command2->isEnabled());
    EXPECT_EQ(main->ODBC_Name->text(), QStringLiteral("QELSQL"));
    ASSERT_TRUE(main->state.ServerConnection);
    ASSERT_TRUE(main->state.QueryConnection);

    main->Command1->click();
    ASSERT_NE(main->konvertierung(), nullptr);
    EXPECT_EQ(main->konvertierung()->windowTitle(), QStringLiteral("Konvertierung : Access zu SQL-Server"));
    main->Command2->click();
    ASSERT_NE(main->abgleichen(), nullptr);
    EXPECT_EQ(main->abgleichen()->windowTitle(), QStringLiteral("SQL-Server mit XDB abgleichen"));

    typeInto(main->ODBC_Name, QStringLiteral("x"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(main->Command1->isEnabled());
    EXPECT_FALSE(main->Command2->isEnabled());
    EXPECT_EQ(main->konvertierung(), nullptr);
    EXPECT_EQ(main->abgleichen(), nullptr);
}

TEST(MainWindow, WrongPasswordIsTheSameMessage)
{
    REQUIRE_TEST_SERVER();
    auto main = startMain();
    MessageBoxAnswerer answers;
    main->Text_PW->setText(QStringLiteral("falsch"));
    main->Command3->click();
    ASSERT_EQ(answers.seen.size(), 1);
    // The refused password: the driver's state and text on the second line.
    EXPECT_EQ(firstLine(answers.seen[0].text), QStringLiteral("ODBC-Datenquelle 'QELSQL' nicht gefunden!"));
    EXPECT_TRUE(secondLine(answers.seen[0].text).contains(QStringLiteral("Access denied for user 'sa'")))
        << answers.seen[0].text.toStdString();
    EXPECT_FALSE(main->Command1->isEnabled());
    EXPECT_TRUE(main->state.RunFailed);
}

TEST(MainWindow, PictureShowsTheHelpText)
{
    auto main = startMain();
    QString shown;
    QString title;
    MessageBoxAnswerer help([&](QWidget* dialog) {
        title = dialog->windowTitle();
        if (auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Text1")))
            shown = text->toPlainText();
        else if (auto* rich = dialog->findChild<QTextEdit*>(QStringLiteral("Text1")))
            shown = rich->toPlainText();
        dialog->findChild<QAbstractButton*>(QStringLiteral("Command1"))->click();
    });
    QTest::mouseClick(main->Image1, Qt::LeftButton);
    EXPECT_EQ(title, QStringLiteral("Informationen zu dieser Maske"));
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Rirovadozad\n\nMit diesem Programm"))) << shown.toStdString();
}

TEST(MainWindowDeathTest, CloseEndsTheProgramAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto main = startMain();
            main->Command4->click();
            std::abort();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(MainWindow, TheLastReportOpensInTheBrowser)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Browser browser;
    QString report;
    {
        Program app(Login::Recording);
        ASSERT_TRUE(app.load(path).isEmpty());
        EXPECT_FALSE(app.main->Command_Bericht->isEnabled());
        app.convert(QStringLiteral("Artikel"));
        report = app.main->state.LastReport;
        EXPECT_TRUE(report.startsWith(ReportFolder() + QStringLiteral("/bericht-"))) << report.toStdString();
        ASSERT_TRUE(app.main->Command_Bericht->isEnabled());
        app.main->Command_Bericht->click();
        EXPECT_EQ(browser.opened, QList<QUrl>{QUrl::fromLocalFile(report)});
    }
    // A new start offers the newest report kept; "-Bericht:" names the file instead.
    EXPECT_EQ(startMain()->state.LastReport, report);
    EXPECT_TRUE(startMain(QStringLiteral("-Bericht:/nonexistent/b.html"))->state.LastReport.isEmpty());
}

#include "MainWindowTest.moc"

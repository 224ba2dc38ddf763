#include "shell/MDIForm_Main.h"

#include "core/TabrixError.h"
#include "plugin/modDatenbankErweiterung.h"
#include "server/ExecuteSql.h"
#include "server/ServerErrors.h"
#include "shell/CommandLine.h"
#include "translation/Views.h"
#include "ui/ClickableLabel.h"
#include "ui/Legibility.h"
#include "ui/MessageBox.h"
#include "ui/Progress.h"
#include "ui/WindowOrder.h"
#include "windows/Abgleichen.h"
#include "windows/FehlerProtokoll.h"
#include "windows/Form_Auto.h"
#include "windows/Konvertierung.h"
#include "windows/ZusatzInfo.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace {
const QString kCaption = QStringLiteral("SQL-Server Hilfsprogramme");
const QString kEnvironmentSuffix = QStringLiteral("RirovAdozad");

}  // namespace

MDIForm_Main::MDIForm_Main(const QString& commandLine, QWidget* parent)
    : QMainWindow(parent)
    , programFolder(ProgramFolder())
    , openConnection([](::ServerEnvironment& environment, const QString& dataSource) {
        return environment.OpenConnection(dataSource);
    })
    , m_commandLine(commandLine)
{
    setObjectName(QStringLiteral("MDIForm_Main"));
    setWindowTitle(kCaption);
    buildControls();
    m_progress = std::make_unique<Progress>(ProgressBar1, Label_Rest);
    // The conversion window beside the other child windows, on a screen of
    // 1280 × 800 as on a larger one; never larger than the screen.
    const QSize opening(1280, 800);
    resize(screen() ? opening.boundedTo(screen()->availableGeometry().size()) : opening);
}

MDIForm_Main::~MDIForm_Main()
{
    // The echo belongs to this window's unattended run.
    if (state.AutoMode)
        SetMessageEcho(false);
    // Child windows first: they may still refer to the shared state.
    delete m_konvertierung;
    delete m_abgleichen;
}

void MDIForm_Main::buildControls()
{
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    Picture1 = Named(new QWidget(central), "Picture1");
    auto* strip = new QHBoxLayout(Picture1);
    strip->setContentsMargins(6, 4, 6, 4);

    Label3 = Named(new QLabel(QStringLiteral("ODBC:"), Picture1), "Label3");
    ODBC_Name = Named(new QLineEdit(QStringLiteral("QELSQL"), Picture1), "ODBC_Name");
    Label1 = Named(new QLabel(QStringLiteral("User :"), Picture1), "Label1");
    Text_UID = Named(new QLineEdit(QStringLiteral("sa"), Picture1), "Text_UID");
    Label2 = Named(new QLabel(QStringLiteral("PW :"), Picture1), "Label2");
    Text_PW = Named(new QLineEdit(Picture1), "Text_PW");
    Text_PW->setEchoMode(QLineEdit::Password);
    // Masked with "*" as the users know it.
    Text_PW->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Label3->setBuddy(ODBC_Name);
    Label1->setBuddy(Text_UID);
    Label2->setBuddy(Text_PW);

    Option_MSSQL = Named(new QRadioButton(QStringLiteral("Microsoft SQL"), Picture1), "Option_MSSQL");
    Option_Oracle = Named(new QRadioButton(QStringLiteral("Oracle"), Picture1), "Option_Oracle");
    Option_Sybase = Named(new QRadioButton(QStringLiteral("Sybase"), Picture1), "Option_Sybase");
    Option_MySQL = Named(new QRadioButton(QStringLiteral("MySQL"), Picture1), "Option_MySQL");
    Option_DB2 = Named(new QRadioButton(QStringLiteral("DB2"), Picture1), "Option_DB2");
    auto* group = new QButtonGroup(Picture1);
    for (QRadioButton* b : {Option_MSSQL, Option_Oracle, Option_Sybase, Option_MySQL, Option_DB2})
        group->addButton(b);
    connect(group, &QButtonGroup::buttonToggled, this, [this] {
        if (m_konvertierung)
            m_konvertierung->DialectChanged();
    });
    Option_MSSQL->setChecked(true);
    Check1 = Named(new QCheckBox(QStringLiteral("Linux"), Picture1), "Check1");
    // MS SQL is chosen at start, and choosing it hides the box.
    Check1->setVisible(false);

    Command3 = Named(new QPushButton(QStringLiteral("SQL anmelden"), Picture1), "Command3");
    Command1 = Named(new QPushButton(QStringLiteral("Access zu SQL"), Picture1), "Command1");
    Command2 = Named(new QPushButton(QStringLiteral("XDB verarbeiten"), Picture1), "Command2");
    Command4 = Named(new QPushButton(QStringLiteral("Schließen"), Picture1), "Command4");
    Command_Bericht = Named(new QPushButton(QStringLiteral("Letzter Bericht"), Picture1), "Command_Bericht");
    Command_Bericht->setEnabled(false);
    Command1->setEnabled(false);
    Command2->setEnabled(false);

    ProgressBar1 = Named(new QProgressBar(Picture1), "ProgressBar1");
    ProgressBar1->setMinimum(0);
    ProgressBar1->setMaximum(100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label_Rest = Named(new QLabel(Picture1), "Label_Rest");
    Label_Rest->setMinimumWidth(380);
    Image1 = Named(new ClickableLabel(Picture1), "Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    Image1->setCursor(Qt::PointingHandCursor);

    auto* loginBox = new QVBoxLayout;
    auto* row1 = new QHBoxLayout;
    row1->addWidget(Label3);
    row1->addWidget(ODBC_Name);
    row1->addWidget(Label1);
    row1->addWidget(Text_UID);
    row1->addWidget(Label2);
    row1->addWidget(Text_PW);
    row1->addWidget(Command3);
    auto* row2 = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{Option_MSSQL, Option_Oracle, Option_Sybase, Option_MySQL, Option_DB2, Check1})
        row2->addWidget(w);
    row2->addStretch();
    loginBox->addLayout(row1);
    loginBox->addLayout(row2);
    strip->addLayout(loginBox);

    auto* actions = new QVBoxLayout;
    auto* row3 = new QHBoxLayout;
    row3->addWidget(Command1);
    row3->addWidget(Command2);
    row3->addWidget(Command_Bericht);
    row3->addWidget(Command4);
    auto* row4 = new QHBoxLayout;
    row4->addWidget(ProgressBar1);
    row4->addWidget(Label_Rest);
    actions->addLayout(row3);
    actions->addLayout(row4);
    strip->addLayout(actions);
    strip->addWidget(Image1);

    m_mdi = Named(new QMdiArea(central), "MDIClient");
    outer->addWidget(Picture1);
    outer->addWidget(m_mdi, 1);
    setCentralWidget(central);

    connect(Command1, &QPushButton::clicked, this, GuardedHandler(this, &MDIForm_Main::Command1_Click));
    connect(Command2, &QPushButton::clicked, this, GuardedHandler(this, &MDIForm_Main::Command2_Click));
    connect(Command3, &QPushButton::clicked, this, GuardedHandler(this, &MDIForm_Main::Command3_Click));
    connect(Command4, &QPushButton::clicked, this, GuardedHandler(this, &MDIForm_Main::Command4_Click));
    connect(Command_Bericht, &QPushButton::clicked, this, GuardedHandler(this, &MDIForm_Main::Command_Bericht_Click));
    connect(Image1, &ClickableLabel::clicked, this, GuardedHandler(this, &MDIForm_Main::Image1_Click));
    connect(ODBC_Name, &QLineEdit::textChanged, this, GuardedHandler(this, &MDIForm_Main::ODBC_Name_Change));
    ODBC_Name->installEventFilter(this);

    // Only Sybase shows the "Linux" box; MS SQL, MySQL and Oracle clear and hide it, DB2 leaves it.
    auto hideLinux = [this] {
        Check1->setChecked(false);
        Check1->setVisible(false);
    };
    connect(Option_MSSQL, &QRadioButton::clicked, this, hideLinux);
    connect(Option_MySQL, &QRadioButton::clicked, this, hideLinux);
    connect(Option_Oracle, &QRadioButton::clicked, this, hideLinux);
    connect(Option_Sybase, &QRadioButton::clicked, this, [this] { Check1->setVisible(true); });
}

bool MDIForm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ODBC_Name && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            RunGuarded(this, [this] { Command3_Click(); });
            return true;  // the key itself is discarded
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDIForm_Main::Form_Load()
{
    if (!m_commandLine.isEmpty())
        readCommandLine();
    // The newest report kept, also one of an unattended run before this start.
    offerReport(LatestReport(state.ReportTarget));

    if (state.EnvironmentsCreated) {
        endProcess(0);
        return;
    }
    createEnvironments();

    formAuto();
    fehlerProtokoll();
    ODBC_Name->setFocus();

    if (state.AutoMode) {
        state.RunFailed = false;
        // The run starts from the event loop, once the window is shown, so that
        // every window draws and the stop picture works while it runs.
        m_automaticRunPending = true;
        QTimer::singleShot(0, this, [this] {
            RunGuarded(this, [this] { AutomaticRun(); });
            m_automaticRunPending = false;
        });
    }
}

void MDIForm_Main::endProcess(int code)
{
    // Before the event loop runs main() returns the code; inside it the loop
    // ends. (Asked outside a loop, exit() would make every later dialog of the
    // process return at once.)
    m_processEnded = true;
    m_exitCode = code;
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(code);
}

void MDIForm_Main::readCommandLine()
{
    const CommandLineValues values = ParseCommandLine(m_commandLine);
    state.AutoMode = values.autoMode;
    // Nobody watches an unattended run: its messages also go to the log.
    SetMessageEcho(values.autoMode);
    if (values.noErrorMode) {
        state.NoErrorMode = true;
        setWindowTitle(kCaption + QStringLiteral(" (no error)"));
    }
    if (values.hasOdbc) {
        state.CmdOdbcName = values.cmdOdbcName;
        m_SuppressNameChange = true;
        ODBC_Name->setText(values.odbcBoxText);
        m_SuppressNameChange = false;
    }
    if (values.hasUser) {
        state.CmdUser = values.cmdUser;
        Text_UID->setText(values.userBoxText);
    }
    if (values.hasPass) {
        state.CmdPassword = values.cmdPassword;
        Text_PW->setText(values.passwordBoxText);
    }
    state.SingleRowInserts = values.singleRowInserts;
    state.NoDataCheck = values.noDataCheck;
    if (values.hasReport)
        state.ReportTarget = values.reportPath;
    if (values.hasMdb)
        state.MdbPath = values.mdbPath;
    if (values.hasXdb)
        state.XdbPath = values.xdbPath;

    // Selected as if clicked, so the button's rule for the "Linux" box applies
    // first; "-Linux" then ticks the box whatever its position on the line.
    if (values.dialect)
        dialectButtons().at(AllDialects().indexOf(*values.dialect))->click();
    if (values.linuxSwitch)
        Check1->setChecked(true);
}

void MDIForm_Main::createEnvironments()
{
    // A failing creation (most often a name already in use) is retried under
    // the next name; a failure that keeps recurring is shown instead of
    // retrying for ever.
    int retry = 0;
    auto create = [&]() -> std::unique_ptr<::ServerEnvironment> {
        for (;;) {
            try {
                return ::ServerEnvironment::Create(QString::number(retry) + kEnvironmentSuffix, QString(), QString());
            } catch (const TabrixError& e) {
                if (++retry > MaxLoadRetries) {
                    ShowMessage(this, e.description());
                    return nullptr;
                }
            }
        }
    };
    state.ServerEnvironment = create();
    if (!state.ServerEnvironment)
        return;
    state.QueryEnvironment = create();
    if (!state.QueryEnvironment)
        return;
    state.QueryEnvironment->SetCursorDriver(4);
    state.EnvironmentsCreated = true;
}

QList<QRadioButton*> MDIForm_Main::dialectButtons() const
{
    // In the order of AllDialects().
    return {Option_MSSQL, Option_Oracle, Option_Sybase, Option_MySQL, Option_DB2};
}

Dialect MDIForm_Main::currentDialect() const
{
    // Read for every row a copy sends: no list is built for it.
    const QRadioButton* const buttons[] = {Option_MSSQL, Option_Oracle, Option_Sybase, Option_MySQL, Option_DB2};
    static_assert(std::size(buttons) == 5, "in the order of AllDialects()");
    for (qsizetype i = 0; i < qsizetype(std::size(buttons)); ++i)
        if (buttons[i]->isChecked())
            return AllDialects().at(i);
    return AllDialects().first();
}

bool MDIForm_Main::linuxChecked() const
{
    return Check1->isChecked();
}

bool MDIForm_Main::IsModuleDataSource() const
{
    return ::IsModuleDataSource(ODBC_Name->text());
}

QString MDIForm_Main::dataSourceName() const
{
    return ODBC_Name->text();
}

void MDIForm_Main::ExecuteSql(QString& statement)
{
    if (!state.ServerConnection)
        throw NoConnectionError();
    // The caller's text becomes the text the server gets.
    const DialectOptions options = dialectOptions();
    if (DoublesBackslashes(options))
        DoubleBackslashes(statement);
    ExecuteServerText(*state.ServerConnection, options, statement);
}

void MDIForm_Main::ConnectionLost()
{
    state.QueryConnection.reset();
    state.ServerConnection.reset();
    Command1->setEnabled(false);
    Command2->setEnabled(false);
}

void MDIForm_Main::ProgressStart(long total)
{
    m_progress->ProgressStart(total);
}

void MDIForm_Main::ProgressStep(long done)
{
    m_progress->ProgressStep(done);
}

FehlerProtokoll* MDIForm_Main::fehlerProtokoll()
{
    if (!m_fehlerProtokoll) {
        m_fehlerProtokoll = new FehlerProtokoll;
        showChild(m_fehlerProtokoll);
    }
    return m_fehlerProtokoll;
}

Form_Auto* MDIForm_Main::formAuto()
{
    if (!m_formAuto) {
        m_formAuto = new Form_Auto;
        showChild(m_formAuto);
    }
    return m_formAuto;
}

void MDIForm_Main::LogWindow::Add(const QString& line)
{
    m_main.fehlerProtokoll()->Add(line);
}

void MDIForm_Main::LogWindow::Clear()
{
    m_main.fehlerProtokoll()->Clear();
}

void MDIForm_Main::LogWindow::toBack()
{
    sendToBack(m_main.fehlerProtokoll());
}

void MDIForm_Main::LogWindow::showInFront()
{
    FehlerProtokoll* log = m_main.fehlerProtokoll();
    log->show();
    bringToFront(log);
}

void MDIForm_Main::IdentityWindow::clear()
{
    m_main.formAuto()->listAuto()->clear();
}

void MDIForm_Main::IdentityWindow::add(const QString& table)
{
    Form_Auto* window = m_main.formAuto();
    window->listAuto()->addItem(table);
    sendToBack(window);
}

void MDIForm_Main::IdentityWindow::addCountLine()
{
    QListWidget* list = m_main.formAuto()->listAuto();
    list->insertItem(0, QString::number(list->count()) + QStringLiteral(" Tabellen"));
}

void MDIForm_Main::IdentityWindow::showInFront()
{
    Form_Auto* window = m_main.formAuto();
    window->show();
    bringToFront(window);
}

ViewResult MDIForm_Main::createView(const QString& name, const QString& statement)
{
    // Both windows stay while it works: the caller's is in its own operation.
    Konvertierung* konvertierung = loadKonvertierung();
    OperationScope views(konvertierung);
    return Create_View(*konvertierung, name, statement);
}

Konvertierung* MDIForm_Main::konvertierung() const
{
    return m_konvertierung;
}

Abgleichen* MDIForm_Main::abgleichen() const
{
    return m_abgleichen;
}

void MDIForm_Main::showChild(QWidget* child, bool visible)
{
    QMdiSubWindow* sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(child->objectName() + QStringLiteral("_Window"));
    SetOpeningSize(sub);
    child->setAttribute(Qt::WA_DeleteOnClose);
    if (visible)
        sub->show();
    else
        sub->hide();
}

void MDIForm_Main::unloadChild(OperationWindow* child)
{
    // A window with a running operation goes when the operation has ended.
    if (child)
        child->unload();
}

Konvertierung* MDIForm_Main::loadKonvertierung()
{
    if (!m_konvertierung) {
        m_konvertierung = new Konvertierung(this);
        showChild(m_konvertierung, false);
        m_konvertierung->Form_Load();
    }
    return m_konvertierung;
}

void MDIForm_Main::Command1_Click()
{
    loadKonvertierung();
    // bringToFront shows the window, also one loaded hidden for the views.
    bringToFront(m_konvertierung);
    m_konvertierung->Form_Activate();
}

void MDIForm_Main::Command2_Click()
{
    if (!m_abgleichen) {
        m_abgleichen = new Abgleichen(this);
        showChild(m_abgleichen);
    }
    m_abgleichen->show();
    bringToFront(m_abgleichen);
}

void MDIForm_Main::ODBC_Name_Change()
{
    if (m_SuppressNameChange)
        return;
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    unloadChild(m_konvertierung);
    unloadChild(m_abgleichen);
    QCoreApplication::processEvents();
    ODBC_Name->setFocus();
}

void MDIForm_Main::Command3_Click()
{
    ODBC_Name_Change();
    bool success = true;
    // Any failure of the login ends in one message, which names the first
    // failure's state and driver text on its second line.
    QString firstFailure;
    auto attempt = [&](const std::function<void()>& step) {
        try {
            step();
        } catch (const TabrixError& e) {
            state.RunFailed = true;
            success = false;
            if (firstFailure.isEmpty())
                firstFailure = e.description();
        } catch (const std::exception& e) {
            state.RunFailed = true;
            success = false;
            if (firstFailure.isEmpty())
                firstFailure = QString::fromLocal8Bit(e.what());
        }
    };
    auto requireEnvironment = [](const std::unique_ptr<::ServerEnvironment>& env) -> ::ServerEnvironment& {
        if (!env)
            throw TabrixError(TabrixError::ServerErrorNumber, QStringLiteral("S1000:Keine Serverumgebung"));
        return *env;
    };

    // The environment's login from the boxes, then a connection on the data source.
    auto open = [&](const std::unique_ptr<::ServerEnvironment>& environment,
                    std::unique_ptr<::ServerConnection>& connection) {
        attempt([&] {
            ::ServerEnvironment& env = requireEnvironment(environment);
            env.SetUserName(Text_UID->text());
            env.SetPassword(Text_PW->text());
        });
        attempt([&] { connection = openConnection(requireEnvironment(environment), ODBC_Name->text()); });
    };
    open(state.ServerEnvironment, state.ServerConnection);
    if (success && state.ServerConnection)
        ODBC_Name->setText(state.ServerConnection->Name());
    open(state.QueryEnvironment, state.QueryConnection);

    if (success) {
        Command1->setEnabled(true);
        Command2->setEnabled(true);
    } else {
        state.RunFailed = true;
        QString text = QStringLiteral("ODBC-Datenquelle '") + ODBC_Name->text() + QStringLiteral("' nicht gefunden!");
        if (!firstFailure.isEmpty())
            text += QStringLiteral("\r\n") + firstFailure;
        ShowMessage(this, text);
    }
}

void MDIForm_Main::Command4_Click()
{
    // Ends at once: no window is asked or notified, no closing logic runs.
    // After a failed unattended run the code still says so.
    std::fflush(nullptr);
    std::_Exit(m_exitCode);
}

void MDIForm_Main::offerReport(const QString& path)
{
    state.LastReport = path;
    Command_Bericht->setEnabled(!path.isEmpty());
}

WrittenReport MDIForm_Main::WriteReport(RunReport report)
{
    report.dataSource = ODBC_Name->text();
    report.dialect = currentDialect();
    const WrittenReport written = WriteRunReport(report, state.ReportTarget);
    if (!written.path.isEmpty())
        offerReport(written.path);
    else if (state.AutoMode)
        EchoLine(QStringLiteral("Bericht"), written.error);
    else
        ShowMessage(this, written.error);
    return written;
}

void MDIForm_Main::Command_Bericht_Click()
{
    if (!QFileInfo(state.LastReport).isFile()) {
        ShowMessage(this, QStringLiteral("Der Bericht %1 ist nicht mehr da.").arg(state.LastReport));
        offerReport(LatestReport(state.ReportTarget));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(state.LastReport)))
        ShowMessage(this, QStringLiteral("Der Bericht %1 lässt sich nicht im Browser öffnen.").arg(state.LastReport));
}

void MDIForm_Main::Image1_Click()
{
    ZusatzInfo::Anzeigen(MainHelpText(), this);
}

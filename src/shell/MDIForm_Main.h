#pragma once

#include "core/Dialect.h"
#include "server/ServerConnection.h"
#include "session/Session.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QProgressBar;
class QPushButton;
class QRadioButton;
class ClickableLabel;
class Progress;
class FehlerProtokoll;
class Form_Auto;
class Konvertierung;
class Abgleichen;
class OperationWindow;

// The outermost window "SQL-Server Hilfsprogramme": login strip on top,
// child windows below.
class MDIForm_Main : public QMainWindow, public Session {
    Q_OBJECT
public:
    // `commandLine` is the text after the program name.
    explicit MDIForm_Main(const QString& commandLine = QString(), QWidget* parent = nullptr);
    ~MDIForm_Main() override;

    // Runs once before the window is first shown: command line, environments,
    // auxiliary windows.
    void Form_Load();

    Module1 state;
    Module1& module1() override { return state; }

    // Session
    Dialect currentDialect() const override;
    bool linuxChecked() const override;
    bool IsModuleDataSource() const override;
    QString dataSourceName() const override;
    void ExecuteSql(QString& statement) override;
    void ConnectionLost() override;
    void ProgressStart(long total) override;
    void ProgressStep(long done) override;
    ErrorLog& errorLog() override { return m_errorLog; }
    IdentityTables& identityTables() override { return m_identityTables; }
    ViewResult createView(const QString& name, const QString& statement) override;
    QMdiArea* mdiArea() const override { return m_mdi; }
    WrittenReport WriteReport(RunReport report) override;

    // The auxiliary windows, loaded again when the user closed them.
    FehlerProtokoll* fehlerProtokoll();
    Form_Auto* formAuto();
    // The conversion window, loaded (but not shown) when it is not loaded yet.
    Konvertierung* loadKonvertierung();

    Progress& progress() { return *m_progress; }
    Konvertierung* konvertierung() const;
    Abgleichen* abgleichen() const;

    // Event handlers, public so that the automatic run can call them.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    // "Letzter Bericht": the last report in the desktop's browser.
    void Command_Bericht_Click();
    void Image1_Click();
    void ODBC_Name_Change();

    // Most retries of one failing start-up statement before the error is shown.
    static constexpr int MaxLoadRetries = 100;

    // The unattended run ("-auto"): login, load and batch, XDB document,
    // plug-in; then the end of the process, or the closing message. The load
    // queues it: it starts once the event loop runs.
    void AutomaticRun();
    bool automaticRunPending() const { return m_automaticRunPending; }

    // Exit codes of the unattended run.
    static constexpr int ExitSucceeded = 0;
    static constexpr int ExitStepFailed = 1;  // a step failed (the closing message)
    static constexpr int ExitTablesFailed =
        2;  // the chain ran to its end, but a table, the check of its data or a view of the document failed
    // The code of an unattended run from what its steps report.
    static int UnattendedExitCode(bool stepFailed, const BatchOutcome& batch, int refusedViews);

    // The program ends: set when the process is to end with this code (before
    // the event loop runs, main() returns it instead of running the loop).
    bool processEnded() const { return m_processEnded; }
    // The code the process ends with; after a failed unattended run also when
    // the user closes the program later.
    int exitCode() const { return m_exitCode; }

    // The folder of the plug-in and qel.ini: the program's own folder.
    QString programFolder;
    // Opens a connection of the login; tests stand a recording one in.
    std::function<std::unique_ptr<::ServerConnection>(::ServerEnvironment&, const QString& dataSource)> openConnection;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // The dialect option buttons, in the order of AllDialects().
    QList<QRadioButton*> dialectButtons() const;
    void readCommandLine();
    void createEnvironments();
    void unloadChild(OperationWindow* child);
    void showChild(QWidget* child, bool visible = true);
    // "Letzter Bericht" is open while there is a report to show.
    void offerReport(const QString& path);

    void endProcess(int code);

    QString m_commandLine;
    bool m_SuppressNameChange = false;
    bool m_processEnded = false;
    bool m_automaticRunPending = false;
    int m_exitCode = 0;

public:
    QWidget* Picture1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* ODBC_Name = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text_UID = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text_PW = nullptr;
    QRadioButton* Option_MSSQL = nullptr;
    QRadioButton* Option_Oracle = nullptr;
    QRadioButton* Option_Sybase = nullptr;
    QRadioButton* Option_MySQL = nullptr;
    QRadioButton* Option_DB2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command_Bericht = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label_Rest = nullptr;
    ClickableLabel* Image1 = nullptr;

private:
    // The auxiliary windows as the child windows see them.
    class LogWindow : public ErrorLog {
    public:
        explicit LogWindow(MDIForm_Main& main) : m_main(main) {}
        void Add(const QString& line) override;
        void Clear() override;
        void toBack() override;
        void showInFront() override;

    private:
        MDIForm_Main& m_main;
    };
    class IdentityWindow : public IdentityTables {
    public:
        explicit IdentityWindow(MDIForm_Main& main) : m_main(main) {}
        void clear() override;
        void add(const QString& table) override;
        void addCountLine() override;
        void showInFront() override;

    private:
        MDIForm_Main& m_main;
    };
    LogWindow m_errorLog{*this};
    IdentityWindow m_identityTables{*this};

    QMdiArea* m_mdi = nullptr;
    std::unique_ptr<Progress> m_progress;
    QPointer<FehlerProtokoll> m_fehlerProtokoll;
    QPointer<Form_Auto> m_formAuto;
    QPointer<Konvertierung> m_konvertierung;
    QPointer<Abgleichen> m_abgleichen;
};

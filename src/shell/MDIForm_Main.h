#pragma once

#include "core/Dialect.h"
#include "server/ServerConnection.h"

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

// The process-wide state that every part of the program reads; owned by the
// main window, one set per process.
struct Module1 {
    bool EnvironmentsCreated = false;
    QString LastErrorText;
    std::unique_ptr<::ServerEnvironment> QueryEnvironment;
    std::unique_ptr<::ServerConnection> QueryConnection;
    std::unique_ptr<ServerResultSet> CountResult;
    std::unique_ptr<::ServerEnvironment> ServerEnvironment;
    std::unique_ptr<::ServerConnection> ServerConnection;
    QString CmdOdbcName;
    QString CmdUser;
    QString CmdPassword;
    QString MdbPath;
    QString XdbPath;
    bool AutoMode = false;
    bool RunFailed = false;
    bool NoErrorMode = false;
    // Tables whose last conversion did not end (the connection was lost, or the
    // window went away in the middle): the next load marks them although the
    // server has them. Kept for the life of the process.
    QSet<QString> UnfinishedTables;
    static QString UnfinishedKey(const QString& dataSource, const QString& table);
};

// The outermost window "SQL-Server Hilfsprogramme": login strip on top,
// child windows below.
class MDIForm_Main : public QMainWindow {
    Q_OBJECT
public:
    // `commandLine` is the text after the program name.
    explicit MDIForm_Main(const QString& commandLine = QString(), QWidget* parent = nullptr);
    ~MDIForm_Main() override;

    // Runs once before the window is first shown: command line, environments,
    // auxiliary windows.
    void Form_Load();

    Module1 state;

    // The chosen dialect, read from the option buttons at each call.
    Dialect currentDialect() const;
    // The "Linux" box counts as set when checked (value 1).
    bool linuxChecked() const;
    bool IsModuleDataSource() const;

    // Sends a statement on ServerConnection with the dialect's rules.
    void ExecuteSql(QString& statement);
    // The connection to the server is gone: both connections are released and
    // the working buttons disabled as after a login reset, so the next action
    // is a login. The child windows stay, so the user sees what happened.
    void ConnectionLost();
    void ProgressStart(long total);
    void ProgressStep(long done);
    Progress& progress() { return *m_progress; }

    // The child windows; the two auxiliary ones are loaded again when the user closed them.
    FehlerProtokoll* fehlerProtokoll();
    Form_Auto* formAuto();
    Konvertierung* konvertierung() const;
    // The conversion window, loaded (but not shown) when it is not loaded yet:
    // the XDB run creates its views through it.
    Konvertierung* loadKonvertierung();
    Abgleichen* abgleichen() const;
    QMdiArea* mdiArea() const { return m_mdi; }

    // Event handlers, public so that the automatic run can call them.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Image1_Click();
    void ODBC_Name_Change();

    // Most retries of one failing start-up statement before the error is shown.
    static constexpr int MaxLoadRetries = 100;

    // The unattended run ("-auto"): login, load and batch, XDB document,
    // plug-in; then the end of the process, or the closing message.
    void AutomaticRun();

    // The program ends: set when the load asks for the end of the process
    // (main() then returns this code instead of running the event loop).
    bool processEnded() const { return m_processEnded; }
    int exitCode() const { return m_exitCode; }

    // The folder of the plug-in and qel.ini: the program's own folder.
    QString programFolder;
    // Opens a connection of the login; tests stand a recording one in.
    std::function<std::unique_ptr<::ServerConnection>(::ServerEnvironment&, const QString& dataSource)> openConnection;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void readCommandLine();
    void createEnvironments();
    void unloadChild(OperationWindow* child);
    void showChild(QWidget* child, bool visible = true);

    void endProcess(int code);

    QString m_commandLine;
    bool m_SuppressNameChange = false;
    bool m_processEnded = false;
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
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label_Rest = nullptr;
    ClickableLabel* Image1 = nullptr;

private:
    QMdiArea* m_mdi = nullptr;
    std::unique_ptr<Progress> m_progress;
    QPointer<FehlerProtokoll> m_fehlerProtokoll;
    QPointer<Form_Auto> m_formAuto;
    QPointer<Konvertierung> m_konvertierung;
    QPointer<Abgleichen> m_abgleichen;
};

#pragma once

#include "access/AccessDatabase.h"
#include "conversion/ConversionHost.h"
#include "conversion/RunReport.h"
#include "translation/TranslationHost.h"
#include "ui/LongOperation.h"
#include "ui/StatusLabel.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <memory>

class Session;
class ClickableLabel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The conversion window "Konvertierung : Access zu SQL-Server": opens the
// Access database, lists its tables with their row counts on the server,
// converts the marked ones and translates its queries and relations.
class Konvertierung : public QWidget, public ConversionHost, public TranslationHost, public OperationWindow {
    Q_OBJECT
public:
    explicit Konvertierung(Session* session, QWidget* parent = nullptr);
    ~Konvertierung() override;

    void Form_Load();
    // The window became the active one: a data source without "QEL" in its
    // name clears the identity-column option.
    void Form_Activate();

    // Load: open the database named in QELPfad and list its tables.
    LoadOutcome c4c();
    // Batch: convert every marked table.
    BatchOutcome c2c();
    // Convert the one table named in Text1.
    TableOutcome Command1_SIK();
    // Queries to views, relations to triggers, complete takeover.
    ViewsOutcome Command5_Click();
    TriggersOutcome Command6_Click();
    TakeoverOutcome Command7_Click();
    // What the last load found (the unattended run reports from it).
    const LoadOutcome& lastLoad() const { return m_lastLoad; }
    void EnableCommands(bool enabled);
    // The main window's dialect changed: "Mehrere Zeilen je INSERT" is for MySQL only.
    void DialectChanged();
    // Opens with room for the table list and the information list, inside a 1280 × 800 screen.
    QSize sizeHint() const override;

    // Marking switch: background 255 = not allowed, 65280 = allowed.
    int Command9BackColor() const { return m_command9Color; }
    void setMarkingAllowed(bool allowed);

    // The clock of sequence and index names; replaceable for tests.
    std::function<QDateTime()> clock;

    // Window state.
    std::unique_ptr<dao::Database> SourceDatabase;
    bool AbortRequested = false;
    bool TableFailed = false;
    bool Busy = false;
    qint32 LastYieldTime = 0;
    int IndexCounter = 0;

    // Controls.
    QLabel* Label4 = nullptr;
    QLineEdit* QELPfad = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QListWidget* List2 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List3 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    StatusLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text_Mod = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Text_Max = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QCheckBox* Check_Autowert = nullptr;
    QCheckBox* Check_DefaultBlank = nullptr;
    QCheckBox* Check_Default0 = nullptr;
    QCheckBox* Check_NoData = nullptr;
    QCheckBox* Check_Message = nullptr;
    QCheckBox* Check_MehrereZeilen = nullptr;
    QCheckBox* Check_Pruefen = nullptr;
    ClickableLabel* Image1 = nullptr;

    // ConversionHost
    ConversionOptions options() const override;
    QString accessPath() const override;
    bool autowertChecked() const override;
    QString workstationCount() const override;
    QString workstationNumber() const override;
    bool multiRowInserts() const override;
    bool checkData() const override;
    bool structureOnly() const override;
    bool interruptOnError() const override;
    bool autoMode() const override;
    QString dataSourceName() const override;
    // The stop picture, a close request, or the window waiting to close.
    bool abortRequested() const override { return AbortRequested || mustEnd(); }
    QString abortReason() const override;
    bool endRequested() const override { return mustEnd(); }
    quint64 login() const override;
    ServerConnection& queryConnection() override;
    const dao::Database& database() const override;
    void setDatabase(std::unique_ptr<dao::Database> database) override { SourceDatabase = std::move(database); }
    QDateTime now() const override { return clock(); }
    int nextIndexNumber() override { return ++IndexCounter; }
    UnfinishedTables& unfinishedTables() override;
    void noteStateWarning(const QString& warning) override;
    void setRunFailed() override;
    void clearTableList() override;
    void addTableEntry(const QString& table) override;
    int tableEntries() const override;
    QString tableAt(int entry) const override;
    bool tableMarked(int entry) const override;
    void setEntryText(int entry, const QString& text) override;
    void setEntryMarked(int entry, bool marked) override;
    void markOnLoad(int entry, bool marked) override;
    void showEntryAtTop(int entry) override;
    void lockMarking() override { setMarkingAllowed(false); }
    void showTableName(const QString& table) override;
    void enableFileCommands() override;
    void setStatus(const QString& text) override;
    void setCopyStatus(long n, long total, long skipped) override;
    void showBatchPosition(int number, int count) override;
    void setKeyList(const QStringList& keys) override;
    void setClipboardText(const QString& text) override;
    void log(const QString& line) override;
    void logError(const QString& text) override;
    void clearLog() override;
    void setLastErrorText(const QString& text) override;
    void showErrorMessage(const QString& text, const QString& title) override;
    void showMessage(const QString& text) override;
    bool askYes(const QString& question, const QString& title, bool escapeMeansYes) override;
    void addIdentityTable(const QString& table) override;
    void clearIdentityTables() override;
    void addIdentityCountLine() override;
    void showIdentityTables() override;
    void tableRunning(bool running) override;
    void showStopPicture(bool visible) override;
    void markTableFailed() override { TableFailed = true; }
    bool isTableFailed() const override { return TableFailed; }
    void clearTableFailed() override { TableFailed = false; }
    void clearAbortRequest() override { AbortRequested = false; }
    ViewsOutcome runViews() override;
    TriggersOutcome runTriggers() override;
    ServerConnection& connection() override;
    Dialect dialect() const override;
    void clearLines() override;
    void appendLine(const QString& line) override;
    void progressStart(long total) override;
    void progressStep(long done) override;

    // TranslationHost (the members above that both share serve it too)
    bool linuxSwitch() const override;
    void showLastLineAtTop() override;
    void clearWorkingList() override;
    void appendWorkingEntry(const QString& entry) override;
    bool yieldToUser() override { return OperationWindow::yieldToUser(); }
    void enableCommands(bool enabled) override { EnableCommands(enabled); }
    void connectionLost(const QString& serverText) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void operationEnded() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void QELPfad_Change();
    void Command3_Click();
    void Command8_Click();
    void Command9_Click();
    void Image1_Click();
    void toggleByUser(QListWidgetItem* item);
    void List2_Click(QListWidgetItem* item);
    void comeToFront();
    // The report of an operation: begun before it, written after it (an
    // unattended run writes one report of its own for the whole chain).
    RunReport startReport(const QString& action) const;
    void writeReport(RunReport& report);

    Session* m_session;
    int m_command9Color = 255;
    bool m_comingToFront = false;
    // The path was edited while an operation ran: its change rule follows when it ends.
    bool m_pathChangeHeld = false;
    // Why the running table's copy was asked to stop (stop picture, close request).
    QString m_stopReason;
    LoadOutcome m_lastLoad;
    // Time since the row copy last yielded.
    QElapsedTimer m_sinceCopyYield;
};

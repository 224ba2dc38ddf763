#pragma once

#include "access/AccessDatabase.h"
#include "conversion/ConversionHost.h"
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
class TabrixError;

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
    void c4c();
    // Batch: convert every marked table.
    void c2c();
    // Convert the one table named in Text1.
    void Command1_SIK();
    // Queries to views, relations to triggers, complete takeover.
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void EnableCommands(bool enabled);
    // The main window's dialect changed: "Mehrere Zeilen je INSERT" is for MySQL only.
    void DialectChanged();

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
    ClickableLabel* Image1 = nullptr;

    // ConversionHost
    ConversionOptions options() const override;
    QString tableName() const override;
    bool autowertChecked() const override;
    QString workstationCount() const override;
    QString workstationNumber() const override;
    bool multiRowInserts() const override;
    // The stop picture, a close request, or the window waiting to close.
    bool abortRequested() const override { return AbortRequested || mustEnd(); }
    quint64 login() const override;
    QString abortReason() const override;
    const dao::Database& database() const override;
    ServerConnection& connection() override;
    QDateTime now() const override { return clock(); }
    int nextIndexNumber() override { return ++IndexCounter; }
    void setStatus(const QString& text) override;
    void setCopyStatus(long n, long total, long skipped) override;
    Dialect dialect() const override;
    void clearLines() override;
    void appendLine(const QString& line) override;
    QStringList lines() const override;
    void setKeyList(const QStringList& keys) override;
    void setClipboardText(const QString& text) override;
    void addIdentityTable(const QString& table) override;
    void logNote(const QString& line) override;
    void progressStart(long total) override;
    void progressStep(long done) override;
    void step(const std::function<void()>& statement) override;

    // TranslationHost (the members above that both share serve it too)
    bool linuxSwitch() const override;
    void showLastLineAtTop() override;
    void clearWorkingList() override;
    void appendWorkingEntry(const QString& entry) override;
    bool yieldToUser() override { return OperationWindow::yieldToUser(); }
    void enableCommands(bool enabled) override { EnableCommands(enabled); }
    bool endRequested() const override { return mustEnd(); }
    void showMessage(const QString& text) override;
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
    // The batch; false when it ended on an error, on a lost connection or because the window is to close.
    bool runBatch();
    void handleConversionError(const TabrixError& error);
    void endConversion();
    void noteStateWarning(const QString& warning);
    void comeToFront();

    Session* m_session;
    int m_command9Color = 255;
    bool m_afterCreation = false;
    bool m_comingToFront = false;
    // The path was edited while an operation ran: its change rule follows when it ends.
    bool m_pathChangeHeld = false;
    // The server connection broke during the running batch: its text.
    QString m_connectionLost;
    // Why the running table's copy was asked to stop (stop picture, close request).
    QString m_stopReason;
    std::unique_ptr<dao::Recordset> m_recordset;
    // Time since the row copy last yielded.
    QElapsedTimer m_sinceCopyYield;
};

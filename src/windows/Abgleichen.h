#pragma once

#include "ui/LongOperation.h"
#include "xdb/XdbHost.h"
#include "xdb/XdbRun.h"

#include <QWidget>

class Session;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The XDB window "SQL-Server mit XDB abgleichen": path of the XDB document and
// the status list of its processing.
class Abgleichen : public QWidget, public XdbHost, public OperationWindow {
    Q_OBJECT
public:
    explicit Abgleichen(Session* session, QWidget* parent = nullptr);

    // Applies the document named in Text_XDB ("XDB Verarbeiten"; the
    // unattended run calls it directly).
    void c8c();

    QLabel* Label1 = nullptr;
    QLineEdit* Text_XDB = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command8 = nullptr;
    QListWidget* List1 = nullptr;

    // What the reader keeps between runs (open index block, current table).
    XdbReaderState reader;
    // The lines of the last run that told of an error or a warning (for the report).
    QStringList errorLines;

    // XdbHost
    XdbOptions dialectOptions() const override;
    QString documentPath() const override;
    bool autoMode() const override;
    void setRunFailed() override;
    void enableCommands(bool enabled) override;
    ServerConnection& connection() override;
    void clearLines() override;
    void appendLine(const QString& line) override;
    void showLastLineAtTop() override;
    bool yieldToUser() override { return OperationWindow::yieldToUser(); }
    void progressStart(long total) override;
    void progressStep(long done) override;
    ViewResult createView(const QString& name, const QString& statement) override;
    void showFinalMessage(const QString& text) override;
    void appendErrorLine(const QString& line) override;
    void connectionLost(const QString& serverText) override;

    // Opens tall enough for a screenful of status lines.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Command1_Click();
    void Command8_Click();

    Session* m_session;
};

#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The error log: lines written by the table conversion, oldest first, each
// ending in CR LF. The log lives only in this window; it can be copied and
// saved to a file.
class FehlerProtokoll : public QWidget {
    Q_OBJECT
public:
    explicit FehlerProtokoll(QWidget* parent = nullptr);

    // Appends the line and CR LF; the line is taken as it is, even empty.
    void Add(const QString& line);
    // Empties the log.
    void Clear();
    // The log exactly as added, CR LF included.
    QString text() const { return m_log; }

    // Opens wide and tall enough for server messages of 200 characters.
    QSize sizeHint() const override;

private:
    void Command1_Click();
    void Command_Kopieren_Click();
    void Command_Speichern_Click();
    // The log with the platform's line ends, as copied and saved.
    QString shownText() const;

    // The text box turns CR LF into its own paragraph breaks, so the exact
    // log is kept here and only shown in the box.
    QString m_log;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_version = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_ok = nullptr;
};

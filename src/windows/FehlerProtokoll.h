#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The error log: lines written by the table conversion, oldest first, each
// ending in CR LF. The log lives only in this window.
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

private:
    void Command1_Click();

    // The text box turns CR LF into its own paragraph breaks, so the exact
    // log is kept here and only shown in the box.
    QString m_log;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_version = nullptr;
    QPushButton* m_ok = nullptr;
};

#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QString>
#include <QTimer>

// A one-line status text. Unlike a QLabel a new text never asks the window
// for a new layout: the conversion rewrites it for every copied row.
//
// Like a label it offers its text as the property "text" and to
// accessibility tools (screen readers, test tools), as a static text.
class StatusLabel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit StatusLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

    // A line made of three numbers that change many times a second (the row
    // copy's "n/total (skipped)  :  p%"): the numbers are kept, and `format`
    // writes the text only when the line is drawn or read.
    using CountFormat = QString (*)(long, long, long);
    void setCounts(CountFormat format, long a, long b, long c);

    // A text put before every line (the batch's "Tabelle 3 von 8: "); empty for none.
    void setPrefix(const QString& prefix);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    mutable QString m_text;
    QString m_prefix;
    // Set while the text is still to be written from the counts.
    mutable CountFormat m_format = nullptr;
    long m_counts[3] = {0, 0, 0};
    // Drawn at most 25 times a second: a new text per row would otherwise
    // cost a repaint per row.
    QElapsedTimer m_sincePaint;
    QTimer m_pending;
};

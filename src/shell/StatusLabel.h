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

    QString text() const { return m_text; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    // Drawn at most 25 times a second: a new text per row would otherwise
    // cost a repaint per row.
    QElapsedTimer m_sincePaint;
    QTimer m_pending;
};

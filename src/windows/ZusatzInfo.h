#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QToolButton;

// The help text of the main window, shown by a click on its picture: eight
// lines joined by CR LF, none after the last.
QString MainHelpText();

// Modal window showing an explanatory text between a fixed heading and a
// fixed hint; it can print itself and keeps its layout when resized.
class ZusatzInfo : public QDialog {
    Q_OBJECT
public:
    explicit ZusatzInfo(QWidget* parent = nullptr);

    // Shows the text in a fresh window centred on the screen and returns
    // when the user has closed it.
    static void Anzeigen(const QString& AnzeigeText, QWidget* parent = nullptr);

    void setText(const QString& text);

    // Smallest size of the window's client area, in pixels of this screen.
    QSize minimumClientSize() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Command1_Click();
    void Command2_Click();
    void Form_Resize();
    double twipsX(double twips) const;
    double twipsY(double twips) const;

    QLabel* m_heading = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QFrame* m_line = nullptr;
    QLabel* m_hintCaption = nullptr;
    QLabel* m_hint = nullptr;
    QToolButton* m_print = nullptr;
    QToolButton* m_close = nullptr;
};

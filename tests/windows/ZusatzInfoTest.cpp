#include "windows/ZusatzInfo.h"

#include "MessageBoxAnswerer.h"
#include "PrintToPdf.h"
#include "ui/Printing.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string s(const QString& text)
{
    return text.toStdString();
}

template <typename T>
T* child(QWidget& w, const char* name)
{
    return w.findChild<T*>(QString::fromLatin1(name));
}

// Twips to pixels of the widget's screen.
int tx(const QWidget& w, double twips)
{
    return int(std::lround(twips * w.logicalDpiX() / 1440.0));
}
int ty(const QWidget& w, double twips)
{
    return int(std::lround(twips * w.logicalDpiY() / 1440.0));
}

// Checks the layout rule against the client size, allowing a pixel for rounding.
void expectLayout(ZusatzInfo& info)
{
    const int w = info.width();
    const int h = info.height();
    const QRect hint = child<QLabel>(info, "Label3")->geometry();
    EXPECT_NEAR(hint.left(), tx(info, 225), 1);
    EXPECT_NEAR(hint.height(), ty(info, 720), 1);
    EXPECT_NEAR(hint.top() + hint.height(), h - ty(info, 225), 1);
    EXPECT_NEAR(hint.left() + hint.width(), w - tx(info, 225), 1);

    const QRect caption = child<QLabel>(info, "Label2")->geometry();
    EXPECT_EQ(caption.left(), hint.left());
    EXPECT_NEAR(caption.top() + caption.height(), hint.top() - ty(info, 112.5), 1);

    const QRect line = child<QFrame>(info, "Line1")->geometry();
    EXPECT_EQ(line.left(), hint.left());
    EXPECT_EQ(line.width(), hint.width());
    EXPECT_NEAR(line.top(), caption.top() - ty(info, 225), 1);

    const QRect close = child<QToolButton>(info, "Command1")->geometry();
    const QRect print = child<QToolButton>(info, "Command2")->geometry();
    // 720 twips square, wider where the font needs it for a caption.
    const int captions = std::max(child<QToolButton>(info, "Command1")->sizeHint().width(),
                                  child<QToolButton>(info, "Command2")->sizeHint().width());
    EXPECT_NEAR(close.width(), std::max(tx(info, 720), captions), 1);
    EXPECT_NEAR(close.height(), ty(info, 720), 1);
    EXPECT_NEAR(close.left() + close.width(), hint.left() + hint.width(), 1);
    EXPECT_NEAR(close.top() + close.height(), line.top() - ty(info, 225), 1);
    EXPECT_EQ(print.top(), close.top());
    EXPECT_EQ(print.size(), close.size());
    EXPECT_NEAR(print.left() + print.width(), close.left() - tx(info, 225), 1);

    const QRect heading = child<QLabel>(info, "Label1")->geometry();
    EXPECT_NEAR(heading.top(), ty(info, 225), 1);
    EXPECT_NEAR(heading.left(), (w - heading.width()) / 2, 1);

    const QRect text = child<QPlainTextEdit>(info, "Text1")->geometry();
    EXPECT_NEAR(text.top(), heading.top() + heading.height() + ty(info, 225), 1);
    EXPECT_EQ(text.left(), hint.left());
    EXPECT_EQ(text.width(), hint.width());
    EXPECT_NEAR(text.top() + text.height(), close.top() - ty(info, 225), 1);
}

}  // namespace

TEST(ZusatzInfo, MainHelpTextIsExact)
{
    EXPECT_EQ(s(MainHelpText()),
              "Rirovadozad\r\n"
              "\r\n"
              "Mit diesem Programm wird eine SQL-Datenbank auf Vordermann gebracht.\r\n"
              "Dies geschieht mit einer MS-ACCESS-Datenbank und einem XDB-Dokument.\r\n"
              "Merke :\r\n"
              "In der Regel wird dieses Programm benutzt, wenn Sie unser Programm QELTRA updaten wollen.\r\n"
              "In der Programmierung kamen neue Datenbanktabellen dazu. Gleichfalls wurden in bestehenden "
              "Tabellen neue Felder hinzugefügt.\r\n"
              "Bevor Sie nun die neuen Programme (xxxx.exe) einsetzen, muß die SQL-Datenbank auf Vordermann "
              "gebracht werden.");
}

TEST(ZusatzInfo, AnzeigenBlocksUntilSchliessen)
{
    struct Seen {
        bool shown = false;
        QString name, title, text;
        QPoint centreOffset;
    } seen;
    MessageBoxAnswerer answer([&seen](QWidget* w) {
        seen.shown = true;
        seen.name = w->objectName();
        seen.title = w->windowTitle();
        seen.text = w->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        const QRect screen = w->screen()->geometry();
        seen.centreOffset = w->frameGeometry().center() - screen.center();
        w->findChild<QToolButton*>(QStringLiteral("Command1"))->click();
    });

    ZusatzInfo::Anzeigen(MainHelpText());

    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(s(seen.name), "ZusatzInfo");
    EXPECT_EQ(s(seen.title), "Informationen zu dieser Maske");
    EXPECT_LE(seen.centreOffset.manhattanLength(), 2);
    EXPECT_EQ(s(seen.text), s(QString(MainHelpText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))));
    // The window is gone once Anzeigen returns.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_NE(s(w->objectName()), "ZusatzInfo");
}

TEST(ZusatzInfo, AnzeigenWithEmptyTextShowsEmptyBox)
{
    QString shownText = QStringLiteral("unchanged");
    MessageBoxAnswerer answer([&shownText](QWidget* w) {
        shownText = w->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
        w->findChild<QToolButton*>(QStringLiteral("Command1"))->click();
    });
    ZusatzInfo::Anzeigen(QString());
    EXPECT_EQ(s(shownText), "");
}

TEST(ZusatzInfo, ControlsKeepMarginsWhenResized)
{
    ZusatzInfo info;
    EXPECT_EQ(s(child<QPlainTextEdit>(info, "Text1")->toPlainText()), "leer\n");
    info.show();
    info.resize(640, 560);
    ASSERT_EQ(info.size(), QSize(640, 560));
    expectLayout(info);
    info.resize(900, 700);
    expectLayout(info);
}

TEST(ZusatzInfo, ResizingBelowSmallestSizeSnapsBack)
{
    ZusatzInfo info;
    info.show();
    const QSize frame = info.frameGeometry().size() - info.size();
    const QSize smallest(tx(info, 3705) - frame.width(), ty(info, 6225) - frame.height());

    info.resize(100, 100);
    EXPECT_EQ(info.size(), smallest);
    expectLayout(info);

    info.resize(100, smallest.height() + 50);
    EXPECT_EQ(info.size(), QSize(smallest.width(), smallest.height() + 50));
    expectLayout(info);
}

TEST(ZusatzInfo, MinimisingAndRestoringKeepsLayout)
{
    ZusatzInfo info;
    info.show();
    info.resize(700, 600);
    info.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(info.isMinimized());
    // A size change while minimised is laid out on restoring.
    info.resize(800, 650);
    info.setWindowState(Qt::WindowNoState);
    info.show();
    EXPECT_FALSE(info.isMinimized());
    expectLayout(info);
}

TEST(ZusatzInfo, DruckenPrintsWindowImage)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("info.pdf"));
    ScopedEnv env(Printing::PrintToPdfVariable, pdf.toUtf8());
    ZusatzInfo info;
    info.setText(MainHelpText());
    info.show();

    MessageBoxAnswerer box;
    child<QToolButton>(info, "Command2")->click();

    EXPECT_TRUE(box.seen.isEmpty()) << s(box.texts().join(u'|'));
    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_TRUE(info.isVisible());
}

#include "windows/FehlerProtokoll.h"

#include "MessageBoxAnswerer.h"
#include "ui/WindowOrder.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

std::string s(const QString& text)
{
    return text.toStdString();
}

}  // namespace

TEST(FehlerProtokoll, AddAppendsLineAndCrLf)
{
    FehlerProtokoll log;
    EXPECT_EQ(s(log.objectName()), "FehlerProtokoll");
    EXPECT_EQ(s(log.windowTitle()), "Fehlerprotokoll");
    EXPECT_TRUE(log.text().isEmpty());

    log.Add(QStringLiteral("a"));
    log.Add(QStringLiteral("b"));
    EXPECT_EQ(s(log.text()), "a\r\nb\r\n");

    // An empty line is a log line too.
    log.Add(QString());
    EXPECT_EQ(s(log.text()), "a\r\nb\r\n\r\n");

    // The box shows the same lines.
    auto* box = log.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(s(box->toPlainText()), "a\nb\n\n");
}

TEST(FehlerProtokoll, ClearEmptiesLogAndBox)
{
    FehlerProtokoll log;
    log.Clear();
    EXPECT_TRUE(log.text().isEmpty());
    log.Add(QStringLiteral("Tabelle: Kunden"));
    log.Clear();
    EXPECT_TRUE(log.text().isEmpty());
    EXPECT_TRUE(log.findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText().isEmpty());
}

TEST(FehlerProtokoll, VersionLabel)
{
    FehlerProtokoll log;
    auto* label = log.findChild<QLabel*>(QStringLiteral("lblVersion"));
    ASSERT_NE(label, nullptr);
    const QString expected = QStringLiteral(" Version: %1.%2.%3")
                                 .arg(TABRIX_VERSION_MAJOR)
                                 .arg(TABRIX_VERSION_MINOR)
                                 .arg(TABRIX_VERSION_PATCH);
    EXPECT_EQ(s(label->text()), s(expected));
}

TEST(FehlerProtokoll, OkSendsWindowBehindOtherChildWindowsAndKeepsText)
{
    QMdiArea area;
    area.resize(800, 600);
    auto* log = new FehlerProtokoll;
    auto* other = new QWidget;
    other->setObjectName(QStringLiteral("other"));
    QMdiSubWindow* otherSub = area.addSubWindow(other);
    QMdiSubWindow* logSub = area.addSubWindow(log);
    area.show();
    bringToFront(log);
    ASSERT_EQ(area.activeSubWindow(), logSub);
    ASSERT_EQ(area.subWindowList(QMdiArea::StackingOrder).last(), logSub);

    log->Add(QStringLiteral("Tabelle: Artikel"));
    log->findChild<QPushButton*>(QStringLiteral("Command1"))->click();

    const QList<QMdiSubWindow*> stack = area.subWindowList(QMdiArea::StackingOrder);
    EXPECT_EQ(stack.first(), logSub);
    EXPECT_EQ(stack.last(), otherSub);
    EXPECT_EQ(area.activeSubWindow(), otherSub);
    EXPECT_TRUE(logSub->isVisible());
    EXPECT_EQ(s(log->text()), "Tabelle: Artikel\r\n");

    // Lines added while it lies behind are there when it comes forward.
    log->Add(QStringLiteral("S0002:Fehler"));
    bringToFront(log);
    EXPECT_EQ(area.subWindowList(QMdiArea::StackingOrder).last(), logSub);
    EXPECT_EQ(area.activeSubWindow(), logSub);
    EXPECT_EQ(s(log->text()), "Tabelle: Artikel\r\nS0002:Fehler\r\n");
}

// The log leaves the window whole: marked and copied with the keys or the
// context menu, copied at once, saved to a file (as shown: one line per line).
TEST(FehlerProtokoll, CopiesAndSavesTheLog)
{
    FehlerProtokoll log;
    log.Add(QStringLiteral("Tabelle: Artikel"));
    log.Add(QStringLiteral("S0002:Fehler äöü"));
    const QString shown = QStringLiteral("Tabelle: Artikel\nS0002:Fehler äöü\n");
    auto* box = log.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    const std::function<void()> ways[] = {
        [&] {
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier), QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        },
        [&] { box->actions().value(1)->trigger(), box->actions().value(0)->trigger(); },
        [&] { log.findChild<QPushButton*>(QStringLiteral("Command_Kopieren"))->click(); },
    };
    for (const auto& copy : ways) {
        QGuiApplication::clipboard()->clear();
        box->moveCursor(QTextCursor::End);  // nothing marked
        copy();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), shown);
    }
    EXPECT_EQ(box->contextMenuPolicy(), Qt::ActionsContextMenu);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("protokoll.txt"));
    MessageBoxAnswerer dialogs([&](QWidget* w) {
        auto* name = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(w->objectName() == QStringLiteral("CommonDialog") && name);
        name->setText(file);
        QTest::keyClick(name, Qt::Key_Return);
    });
    box->actions().value(2)->trigger();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), shown.toUtf8());
    EXPECT_TRUE(dialogs.seen.isEmpty());
}

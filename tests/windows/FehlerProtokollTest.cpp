#include "windows/FehlerProtokoll.h"

#include "ui/WindowOrder.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

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

#include "windows/Form_Auto.h"

#include "MessageBoxAnswerer.h"
#include "PrintToPdf.h"
#include "ui/Printing.h"
#include "ui/WindowOrder.h"

#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string s(const QString& text)
{
    return text.toStdString();
}

const QString kHeading = QStringLiteral("Tabellen mit AutoWertIdentitäts-Feld:");

QPushButton* button(QWidget& w, const char* name)
{
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

QPrinterInfo noPrinter()
{
    return QPrinterInfo();
}

// Every test here runs as on a machine without a printer unless it prints to a file.
class FormAutoTest : public ::testing::Test {
protected:
    void SetUp() override { Printing::setDefaultPrinterLookup(&noPrinter); }
    void TearDown() override { Printing::setDefaultPrinterLookup(nullptr); }

    Form_Auto form;
    QListWidget* list() { return form.findChild<QListWidget*>(QStringLiteral("List_Auto")); }
};

}  // namespace

TEST_F(FormAutoTest, PrintedLinesSkipCountLine)
{
    list()->addItems({QStringLiteral("2 Tabellen"), QStringLiteral("Kunden"), QStringLiteral("Artikel")});
    const QStringList expected{QString(),
                               QString(),
                               QString(),
                               QString(),
                               QString(),
                               u'\t' + kHeading,
                               QString(),
                               QStringLiteral("\tKunden"),
                               QStringLiteral("\tArtikel")};
    EXPECT_EQ(form.PrintLines(), expected);
}

TEST_F(FormAutoTest, CountLineOnlyOrEmptyListPrintsHeadingOnly)
{
    const QStringList headingOnly{QString(), QString(), QString(), QString(), QString(), u'\t' + kHeading, QString()};
    EXPECT_EQ(form.PrintLines(), headingOnly);
    list()->addItem(QStringLiteral("0 Tabellen"));
    EXPECT_EQ(form.PrintLines(), headingOnly);
}

TEST_F(FormAutoTest, DruckenPrintsIntoPdfFile)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
    ScopedEnv env(Printing::PrintToPdfVariable, pdf.toUtf8());
    list()->addItems({QStringLiteral("2 Tabellen"), QStringLiteral("Kunden"), QStringLiteral("Artikel")});

    MessageBoxAnswerer box;
    button(form, "Command1")->click();
    EXPECT_TRUE(box.seen.isEmpty()) << s(box.texts().join(u'|'));

    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    const QString text = pdfText(pdf);
    if (text.isNull())
        GTEST_SKIP() << "pdftotext not installed: printed text not checked";
    const qsizetype heading = text.indexOf(kHeading);
    ASSERT_GE(heading, 0) << s(text);
    const qsizetype first = text.indexOf(QStringLiteral("Kunden"));
    const qsizetype second = text.indexOf(QStringLiteral("Artikel"));
    EXPECT_LT(heading, first);
    EXPECT_LT(first, second);
    EXPECT_FALSE(text.contains(QStringLiteral("2 Tabellen")));
    // The five empty lines come first: nothing stands before the heading.
    EXPECT_TRUE(text.left(heading).trimmed().isEmpty());
    // The listed names are indented like the heading.
    const qsizetype headingColumn = heading - (text.lastIndexOf(u'\n', heading) + 1);
    const qsizetype firstColumn = first - (text.lastIndexOf(u'\n', first) + 1);
    EXPECT_EQ(headingColumn, firstColumn);
}

TEST_F(FormAutoTest, LongListGoesOnToFurtherPages)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("lang.pdf"));
    ScopedEnv env(Printing::PrintToPdfVariable, pdf.toUtf8());
    list()->addItem(QStringLiteral("300 Tabellen"));
    for (int i = 1; i <= 300; ++i)
        list()->addItem(QStringLiteral("Tabelle%1").arg(i));

    button(form, "Command1")->click();

    const int pages = pdfPages(pdf);
    if (pages < 0)
        GTEST_SKIP() << "pdfinfo not installed: page count not checked";
    EXPECT_GT(pages, 1);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Tabelle1\n")) || text.contains(QStringLiteral("Tabelle1 ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Tabelle300")));
}

TEST_F(FormAutoTest, WithoutPrinterDruckenTellsUser)
{
    ScopedEnv env(Printing::PrintToPdfVariable, QByteArray());
    list()->addItems({QStringLiteral("1 Tabellen"), QStringLiteral("Kunden")});

    MessageBoxAnswerer box;
    button(form, "Command1")->click();

    ASSERT_EQ(box.seen.size(), 1);
    EXPECT_EQ(s(box.seen[0].title), "SQL-Tabrix");
    EXPECT_EQ(s(box.seen[0].text), "Es ist kein Drucker eingerichtet.");
    EXPECT_EQ(list()->count(), 2);
}

TEST_F(FormAutoTest, OkSendsBackAndKeepsList)
{
    QMdiArea area;
    auto* other = new QWidget;
    QMdiSubWindow* otherSub = area.addSubWindow(other);
    auto* formAuto = new Form_Auto;
    QMdiSubWindow* formSub = area.addSubWindow(formAuto);
    area.show();
    bringToFront(formAuto);
    formAuto->listAuto()->addItems({QStringLiteral("1 Tabellen"), QStringLiteral("Kunden")});

    button(*formAuto, "Command2")->click();

    EXPECT_EQ(area.subWindowList(QMdiArea::StackingOrder).first(), formSub);
    EXPECT_EQ(area.activeSubWindow(), otherSub);
    EXPECT_TRUE(formSub->isVisible());
    EXPECT_EQ(formAuto->listAuto()->count(), 2);
}

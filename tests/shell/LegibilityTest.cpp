// Every window at its opening size in a 1280 × 800 main window: no text is cut,
// and a server message of 200 characters shows whole. TABRIX_SCREENSHOTS=folder
// saves each window as a picture (as on a desk under xvfb-run, QT_QPA_PLATFORM=xcb).

#include "ProgramDriver.h"
#include "windows/FehlerProtokoll.h"
#include "windows/Form_Auto.h"
#include "windows/ZusatzInfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionTitleBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The width the style leaves the text of a control.
int textRoom(QWidget* w)
{
    QStyleOptionButton option;
    option.initFrom(w);
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
    if (!button || qobject_cast<QToolButton*>(w))
        return w->width() - 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w) - 4;
    const auto contents = qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents
        : qobject_cast<QRadioButton*>(w)              ? QStyle::SE_RadioButtonContents
                                                      : QStyle::SE_PushButtonContents;
    return w->style()->subElementRect(contents, &option, w).width()
        - (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
}

}  // namespace

TEST(Legibility, EveryWindowAtItsOpeningSize)
{
    const QString message = (QStringLiteral("S1000:[ma-3.1.15][10.11.19-MariaDB]Incorrect datetime value: '0000-00-00' "
                                            "for column `Datum` at row ")
                             + QStringLiteral("1234567 ").repeated(20))
                                .left(200);
    MDIForm_Main main;
    main.resize(1280, 800);
    main.Form_Load();
    main.show();
    main.fehlerProtokoll()->Add(message);
    main.Command1_Click();
    main.konvertierung()->List1->addItem(message);
    main.Command2_Click();
    main.abgleichen()->List1->addItem(message);
    main.abgleichen()->Text_XDB->setText(QStringLiteral("/home/verwaltung/erp/update-2024-03/QEL.XDB"));
    ZusatzInfo info;
    info.setText(MainHelpText());
    info.show();
    QApplication::processEvents();
    int whole = 0;  // views that show the message whole
    for (QWidget* window : std::initializer_list<QWidget*>{main.formAuto(), main.fehlerProtokoll(),
                                                           main.konvertierung(), main.abgleichen(), &main, &info}) {
        SCOPED_TRACE(window->objectName().toStdString());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QString text = w->property("text").toString().remove(u'&');
            auto* label = qobject_cast<QLabel*>(w);
            if (text.isEmpty() || !w->isVisibleTo(window) || qobject_cast<QPlainTextEdit*>(w))
                continue;
            if (label && label->wordWrap())
                EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->objectName().toStdString();
            else
                EXPECT_LE(w->fontMetrics().horizontalAdvance(text), textRoom(w)) << w->objectName().toStdString();
        }
        for (QListWidget* list : window->findChildren<QListWidget*>()) {
            for (QListWidgetItem* item : list->findItems(message, Qt::MatchExactly)) {
                const QRect shown = list->visualItemRect(item);
                const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
                const QRect needed = list->fontMetrics().boundingRect(QRect(0, 0, shown.width() - 2 * margin, 1000),
                                                                      Qt::TextWordWrap, message);
                EXPECT_TRUE(list->viewport()->rect().contains(shown) && shown.height() >= needed.height());
                ++whole;
            }
        }
        for (QPlainTextEdit* box : window->findChildren<QPlainTextEdit*>()) {
            QTextCursor end(box->document());
            end.movePosition(QTextCursor::End);
            whole += box->toPlainText().contains(message) && box->horizontalScrollBar()->maximum() == 0
                && box->viewport()->rect().contains(box->cursorRect(end));
        }
        // A child window lies inside the main window and shows its whole title (drawn bold).
        auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        if (sub) {
            EXPECT_TRUE(main.mdiArea()->viewport()->rect().contains(sub->geometry()));
            QStyleOptionTitleBar bar;
            bar.initFrom(sub);
            bar.subControls = QStyle::SC_All;
            bar.titleBarFlags = sub->windowFlags();
            bar.rect = QRect(4, 4, sub->width() - 8, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, sub));
            QFont bold = QApplication::font("QMdiSubWindowTitleBar");
            bold.setBold(true);
            EXPECT_LE(QFontMetrics(bold).horizontalAdvance(sub->windowTitle()),
                      sub->style()->subControlRect(QStyle::CC_TitleBar, &bar, QStyle::SC_TitleBarLabel, sub).width());
        }
        if (const QString folder = qEnvironmentVariable("TABRIX_SCREENSHOTS"); !folder.isEmpty())
            (sub ? sub : window)->grab().save(folder + u'/' + window->objectName() + QStringLiteral(".png"));
    }
    // The error log and both information lists, inside their windows and again inside the main window.
    EXPECT_EQ(whole, 6);
}

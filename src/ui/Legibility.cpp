#include "ui/Legibility.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyleOptionTitleBar>
#include <QStyledItemDelegate>

namespace {

// A list view asks its items for their size without saying how wide they may
// be, so a wrapped line would keep the height of one: the item is measured at
// the width of the list.
class WrappingDelegate : public QStyledItemDelegate {
public:
    explicit WrappingDelegate(QListView* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem measured(option);
        const int width = m_list->viewport()->width() - 2 * m_list->spacing();
        measured.rect = QRect(0, 0, std::max(1, width), option.fontMetrics.height());
        return QStyledItemDelegate::sizeHint(measured, index);
    }

private:
    QListView* m_list;
};

}  // namespace

QSize TextRoom(const QWidget* widget, int columns, int lines)
{
    const QFontMetrics metrics = widget->fontMetrics();
    return QSize(columns * metrics.averageCharWidth(), lines * metrics.lineSpacing());
}

void SetOpeningSize(QMdiSubWindow* window)
{
    // The title bar leaves the label what its buttons and frame do not take;
    // the styles draw the title bold.
    QStyleOptionTitleBar bar;
    bar.initFrom(window);
    bar.subControls = QStyle::SC_All;
    bar.titleBarFlags = window->windowFlags();
    bar.titleBarState = window->windowState();
    bar.rect = QRect(0, 0, 1000, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, window));
    const int label =
        window->style()->subControlRect(QStyle::CC_TitleBar, &bar, QStyle::SC_TitleBarLabel, window).width();
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int frame = 2 * window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window) + 8;
    const int titleWidth =
        QFontMetrics(font).horizontalAdvance(window->windowTitle()) + bar.rect.width() - label + frame;

    QSize size = window->sizeHint().expandedTo(QSize(titleWidth, 0));
    if (QMdiArea* area = window->mdiArea(); area && area->isVisible())
        size = size.boundedTo(area->viewport()->size());
    window->resize(size);
}

void WrapLongLines(QListWidget* list)
{
    list->setWordWrap(true);
    list->setResizeMode(QListView::Adjust);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setItemDelegate(new WrappingDelegate(list));
}

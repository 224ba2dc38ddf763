#include "ui/WindowOrder.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace {

QMdiSubWindow* enclosingSubWindow(QWidget* w)
{
    for (QWidget* p = w; p; p = p->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p))
            return sub;
    }
    return nullptr;
}

}  // namespace

void sendToBack(QWidget* w)
{
    if (!w)
        return;
    QMdiSubWindow* sub = enclosingSubWindow(w);
    if (!sub) {
        w->lower();
        return;
    }
    QMdiArea* area = sub->mdiArea();
    const bool wasActive = area && area->activeSubWindow() == sub;
    sub->lower();
    if (!wasActive)
        return;
    // Left active, the window would still take the keyboard and be raised
    // again by the next click into the area: hand activation to the top one.
    const QList<QMdiSubWindow*> stack = area->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (*it != sub && (*it)->isVisible() && !(*it)->isMinimized()) {
            area->setActiveSubWindow(*it);
            return;
        }
    }
}

void bringToFront(QWidget* w)
{
    if (!w)
        return;
    QMdiSubWindow* sub = enclosingSubWindow(w);
    if (!sub) {
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    w->show();
    sub->show();
    sub->raise();
    if (QMdiArea* area = sub->mdiArea())
        area->setActiveSubWindow(sub);
}

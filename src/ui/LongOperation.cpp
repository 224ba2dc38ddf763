#include "ui/LongOperation.h"

#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QWidget>

int OperationWindow::s_running = 0;

bool OperationWindow::yieldToUser()
{
    QCoreApplication::processEvents();
    return !m_closeHeld;
}

bool OperationWindow::holdClose()
{
    if (m_depth == 0)
        return false;
    m_closeHeld = true;
    return true;
}

void OperationWindow::unload()
{
    if (holdClose()) {
        m_unloadHeld = true;
        return;
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(m_self->parentWidget()))
        sub->close();
    else
        m_self->close();
}

void OperationWindow::carryOutHeldClose()
{
    // Queued, so that the code that ran the operation has returned before the
    // window goes; should another operation have started by then, it holds the
    // close again.
    QPointer<QWidget> self = m_self;
    QTimer::singleShot(0, m_self, [this, self] {
        if (self)
            unload();
    });
}

OperationScope::OperationScope(std::initializer_list<OperationWindow*> windows)
{
    for (OperationWindow* w : windows) {
        if (!w || m_windows.contains(w))
            continue;
        m_windows.append(w);
        ++w->m_depth;
        ++OperationWindow::s_running;
    }
}

OperationScope::~OperationScope()
{
    for (OperationWindow* w : m_windows) {
        --OperationWindow::s_running;
        if (--w->m_depth > 0)
            continue;
        w->operationEnded();
        if (w->m_closeHeld) {
            w->m_closeHeld = false;
            w->m_unloadHeld = false;
            w->carryOutHeldClose();
        }
    }
}

bool OperationScope::mustEnd() const
{
    for (const OperationWindow* w : m_windows)
        if (w->mustEnd())
            return true;
    return false;
}

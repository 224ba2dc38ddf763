#pragma once

// Long operations yield to the user interface, and during a yield the user
// may close a window the operation runs in, or a login reset may unload it.
// Such a window never goes away under a running operation: the close is held
// until the operation has unwound, and the operation learns at its next yield
// that it must end. Every long operation opens an OperationScope over the
// windows it runs in and checks the answer of its yields.

#include <QList>

#include <initializer_list>

class QCloseEvent;
class QWidget;

class OperationWindow {
public:
    explicit OperationWindow(QWidget* self) : m_self(self) {}
    virtual ~OperationWindow() = default;
    OperationWindow(const OperationWindow&) = delete;
    OperationWindow& operator=(const OperationWindow&) = delete;

    bool operationRunning() const { return m_depth > 0; }
    // A close waits for the running operation, which must end at its next yield.
    bool mustEnd() const { return m_closeHeld; }
    // The held close is an unload (a login reset), not the user's close.
    bool unloadHeld() const { return m_closeHeld && m_unloadHeld; }
    // Processes pending user-interface events; false when the operation must end.
    bool yieldToUser();

    // The window is unloaded (login reset): at once when idle, otherwise as
    // soon as the running operation has ended, which is told to end early.
    void unload();

    // True while any window runs an operation: no second one may start on top of it.
    static bool anyOperationRunning() { return s_running > 0; }

protected:
    // For closeEvent: while an operation runs the close is held (and the
    // event must be ignored); true then.
    bool holdClose();
    // Runs once the outermost operation of this window has ended, before a
    // held close is carried out.
    virtual void operationEnded() {}

private:
    friend class OperationScope;
    void carryOutHeldClose();

    QWidget* m_self;
    int m_depth = 0;
    bool m_closeHeld = false;
    bool m_unloadHeld = false;
    static int s_running;
};

// The windows an operation runs in, marked busy for its duration.
class OperationScope {
public:
    OperationScope(std::initializer_list<OperationWindow*> windows);
    explicit OperationScope(OperationWindow* window) : OperationScope({window}) {}
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

    // True when one of the windows is to close.
    bool mustEnd() const;

private:
    QList<OperationWindow*> m_windows;
};

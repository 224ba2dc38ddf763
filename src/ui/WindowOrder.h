#pragma once

class QWidget;

// Stacking of the child windows inside the main window. Both act on the
// QMdiSubWindow that holds the widget, or on the widget itself when it has
// none (a window of its own).

// Moves the window behind all other child windows; it stays visible. When it
// was the active one, the child window now on top becomes active.
void sendToBack(QWidget* w);

// Shows the window, puts it on top of the other child windows and activates it.
void bringToFront(QWidget* w);

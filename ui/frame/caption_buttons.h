// The buttons on a window's caption, and the window states they lead to: a
// window offers only what it has a command for.
#pragma once

#include <Qt>

class QWidget;

namespace ui {

// A window without a system menu: a caption, a sizeable border, no buttons;
// never left minimised or maximised.
void RemoveCaptionButtons(QWidget* window);

// A window with a single border: fixed in size, with a minimise and a close
// box; a window manager that offers maximise anyway gets nowhere.
void KeepMinimiseAndClose(QWidget* window);

// Puts the window back to normal whenever it is given one of states (by a
// window manager that offers what the window has no command for).
void RefuseWindowStates(QWidget* window, Qt::WindowStates states);

}  // namespace ui

// Menu items run their window's handlers through the guard, as every other
// event handler does.
#pragma once

#include "ui/app/application.h"

#include <QAction>
#include <QObject>

namespace ui {

// Connects a menu item to a handler of a window, through the guard.
template <class Window>
void OnTriggered(QAction* action, Window* window, void (Window::*handler)()) {
    QObject::connect(action, &QAction::triggered, window,
                     [window, handler] { Guarded([&] { (window->*handler)(); }); });
}

}  // namespace ui

#pragma once

// What a window asks of the window manager beyond what Qt says for it. One
// implementation per windowing system (window_hints_x11.cpp on X11).

class QWidget;

namespace ui {

// Asks the window manager to draw no caption buttons, only the frame and the
// title, for a window that has no minimise, maximise or close command. Does
// nothing where the windowing system has no such hint.
void AskForNoButtons(QWidget* window);

}  // namespace ui

// What each working window sets up first: its caption, colour and font, the
// buttons on its caption, and the look of its menu bar.
#pragma once

#include <QColor>
#include <QFont>

class QMainWindow;
class QMenuBar;

namespace ui {

// The caption buttons a working window keeps.
enum class CaptionButtons {
    None,              // sizeable, and left only through its own commands
    MinimiseAndClose,  // fixed in size: the setup window
};

struct WindowLook {
    const char* title;  // UTF-8
    QColor colour;
    QFont font;
    CaptionButtons buttons;
};

// Gives window its look and returns its menu bar, styled, for the window's
// own items.
QMenuBar* SetUpWorkingWindow(QMainWindow* window, const WindowLook& look);

}  // namespace ui

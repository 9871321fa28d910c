// What every window of the program shares: outer sizes as the windows give
// them, screen size, fonts, colours, menu bars with their blank spacers,
// modal showing and the hourglass.
#pragma once

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QObject>
#include <QSize>

class QAction;
class QMenu;
class QMenuBar;

namespace ui {

// Window sizes count the border, the caption and the menu bar; Qt sizes the
// client area. The difference between the two, per border kind.
struct FrameExtent {
    int width;
    int height;  // without the menu bar, which Qt counts inside the window
};
inline constexpr FrameExtent kFixedFrame{11, 44};
inline constexpr FrameExtent kSizeableFrame{8, 46};

// The whole primary screen, in pixels.
QSize ScreenSize();

// Places a window by its outer left, top, width and height.
void SetOuterBounds(QMainWindow* window, FrameExtent frame, int left, int top, int width, int height);
int OuterWidth(const QMainWindow* window, FrameExtent frame);
int OuterHeight(const QMainWindow* window, FrameExtent frame);

// The window fonts, requested by their names with the closest installed forms
// as fallbacks.
QFont GothicFont(int pixelSize, bool bold = false);          // ＭＳ ゴシック
QFont ProportionalGothicFont(int pixelSize, bool bold = false);  // ＭＳ Ｐゴシック

void SetWindowColour(QWidget* widget, const QColor& colour);

// A window without a system menu: a caption, a sizeable border, no buttons;
// never left minimised or maximised.
void RemoveCaptionButtons(QWidget* window);

// Puts the window back to normal whenever it is given one of states (by a
// window manager that offers what the window has no command for).
void RefuseWindowStates(QWidget* window, Qt::WindowStates states);

// Menu bar items. A blank item is a spacer that does nothing.
void StyleMenuBar(QMenuBar* bar);
QAction* AddMenuItem(QMenuBar* bar, const char* caption);
QAction* AddSpacer(QMenuBar* bar, const char* caption = "");
// A spacer with one sub-item of the given caption.
QMenu* AddSpacerMenu(QMenuBar* bar, const char* caption, const char* itemCaption);

// Shows a window modally and returns when it is hidden again.
void ShowModal(QWidget* window);

// The hourglass over a window (or over the whole program, without one) while
// a command runs.
class Hourglass {
public:
    explicit Hourglass(QWidget* over = nullptr);
    ~Hourglass();
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    QWidget* over_;
};

// Connects a menu item to a handler of a window, through the guard.
template <class Window>
void OnTriggered(QAction* action, Window* window, void (Window::*handler)());

}  // namespace ui

#include "ui/app/application.h"

#include <QAction>

template <class Window>
void ui::OnTriggered(QAction* action, Window* window, void (Window::*handler)()) {
    QObject::connect(action, &QAction::triggered, window, [window, handler] { Guarded([&] { (window->*handler)(); }); });
}

// Where a window is and how big, counted as the windows count it: outer
// sizes with the border, the caption and the menu bar; and the screen's size.
#pragma once

#include <QSize>

class QMainWindow;

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

}  // namespace ui

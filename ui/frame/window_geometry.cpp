#include "ui/frame/window_geometry.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

namespace ui {

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

namespace {
int MenuHeight(const QMainWindow* window) {
    const QMenuBar* bar = window->menuWidget() ? window->menuBar() : nullptr;
    return bar ? bar->sizeHint().height() : 0;
}
}  // namespace

void SetOuterBounds(QMainWindow* window, FrameExtent frame, int left, int top, int width, int height) {
    window->move(left, top);
    window->resize(width - frame.width, height - frame.height + MenuHeight(window));
}

int OuterWidth(const QMainWindow* window, FrameExtent frame) { return window->width() + frame.width; }

int OuterHeight(const QMainWindow* window, FrameExtent frame) {
    return window->height() - MenuHeight(window) + frame.height;
}

}  // namespace ui

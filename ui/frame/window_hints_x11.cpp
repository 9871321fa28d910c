#include "ui/frame/window_hints.h"

#include <qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace ui {

// Qt leaves the window manager's functions unset when a window asks for no
// buttons at all, and a window manager then draws every button. Saying
// "move and resize only" takes the buttons away.
void AskForNoButtons(QWidget* window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection == nullptr) return;
    static constexpr char kName[] = "_MOTIF_WM_HINTS";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr),
        &std::free);
    if (!atom) return;
    enum : std::uint32_t { kFunctions = 1, kDecorations = 2 };
    enum : std::uint32_t { kResize = 2, kMove = 4 };
    enum : std::uint32_t { kBorder = 2, kResizeHandle = 4, kTitle = 8 };
    const std::uint32_t hints[5] = {kFunctions | kDecorations, kResize | kMove, kBorder | kResizeHandle | kTitle, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), atom->atom,
                        atom->atom, 32, 5, hints);
    xcb_flush(connection);
}

}  // namespace ui

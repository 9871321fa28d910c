#include "ui/frame/caption_buttons.h"

#include "ui/frame/window_hints.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

namespace ui {

namespace {
// Qt writes its own hints each time a window is shown, so ours follow once
// the window is on screen. Some window managers draw a close box all the
// same; such a window is still left only through its own commands.
class NoButtonsKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] { AskForNoButtons(window); });
        } else if (event->type() == QEvent::Close && event->spontaneous()) {
            event->ignore();
            return true;
        }
        return false;
    }
};
}  // namespace

namespace {
// Puts a window back at once when the window manager gives it a state that
// it has no command for.
class StateKeeper : public QObject {
public:
    StateKeeper(QWidget* window, Qt::WindowStates refused) : QObject(window), refused_(refused) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::WindowStateChange) return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!(window->windowState() & refused_)) return false;
        QTimer::singleShot(0, window, [window, refused = refused_] {
            window->setWindowState(window->windowState() & ~refused);
            if (!window->isVisible()) return;
            window->raise();
            window->activateWindow();
        });
        return false;
    }

private:
    Qt::WindowStates refused_;
};
}  // namespace

void RefuseWindowStates(QWidget* window, Qt::WindowStates states) {
    window->installEventFilter(new StateKeeper(window, states));
}

void RemoveCaptionButtons(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->installEventFilter(new NoButtonsKeeper(window));
    // Some window managers draw the buttons anyway: a window minimised that
    // way could not be brought back, as no task bar shows it.
    RefuseWindowStates(window, Qt::WindowMinimized | Qt::WindowMaximized);
}

void KeepMinimiseAndClose(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    RefuseWindowStates(window, Qt::WindowMaximized);
}

}  // namespace ui

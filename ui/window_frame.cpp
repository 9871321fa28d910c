#include "ui/window_frame.h"

#include "ui/text/code_page_text.h"
#include "ui/window_hints.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QScreen>
#include <QTimer>


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

namespace {
QFont JapaneseFont(const char* family, const char* ipaFamily, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({FromUtf8(family), FromUtf8(ipaFamily), FromUtf8("Noto Sans CJK JP"), FromUtf8("sans-serif")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
}  // namespace

QFont GothicFont(int pixelSize, bool bold) { return JapaneseFont("ＭＳ ゴシック", "IPAGothic", pixelSize, bold); }

QFont ProportionalGothicFont(int pixelSize, bool bold) {
    return JapaneseFont("ＭＳ Ｐゴシック", "IPAPGothic", pixelSize, bold);
}

void SetWindowColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

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

void StyleMenuBar(QMenuBar* bar) {
    // Items as close together as on the classic menu bar, so that every item
    // and spacer of a window fits its width.
    bar->setStyleSheet(QStringLiteral("QMenuBar { background: #f0f0f0; }"
                                      "QMenuBar::item { padding: 2px 5px; background: transparent; }"
                                      "QMenuBar::item:selected { background: #3399ff; color: white; }"));
}

namespace {
// An empty caption would take no room at all; a blank item on the menu bar
// is a small gap.
QString SpacerCaption(const char* caption) { return *caption ? FromUtf8(caption) : QStringLiteral(" "); }
}  // namespace

QAction* AddMenuItem(QMenuBar* bar, const char* caption) { return bar->addAction(FromUtf8(caption)); }

QAction* AddSpacer(QMenuBar* bar, const char* caption) { return bar->addAction(SpacerCaption(caption)); }

QMenu* AddSpacerMenu(QMenuBar* bar, const char* caption, const char* itemCaption) {
    QMenu* menu = bar->addMenu(SpacerCaption(caption));
    menu->addAction(SpacerCaption(itemCaption));
    return menu;
}

namespace {
// Ends a local event loop when the watched window is hidden.
class HideWatcher : public QObject {
public:
    explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) loop_.quit();
        return false;
    }

private:
    QEventLoop& loop_;
};
}  // namespace

void ShowModal(QWidget* window) {
    QEventLoop loop;
    HideWatcher watcher(loop);
    window->installEventFilter(&watcher);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (window->isVisible()) loop.exec();
    window->removeEventFilter(&watcher);
    window->setWindowModality(Qt::NonModal);
}

Hourglass::Hourglass(QWidget* over) : over_(over) {
    if (over_) {
        over_->setCursor(Qt::WaitCursor);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

Hourglass::~Hourglass() {
    if (over_) {
        over_->unsetCursor();
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace ui

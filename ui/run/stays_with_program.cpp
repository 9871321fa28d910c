#include "ui/run/stays_with_program.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QWindowStateChangeEvent>

#include <vector>

namespace ui {

namespace {

class ProgramFollower : public QObject {
public:
    explicit ProgramFollower(QDialog* window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::WindowStateChange) return false;
        if (watched == window_) {
            if (window_->isMinimized()) {
                MinimiseTheOthers();
            } else {
                RestoreTheOthers();
            }
        } else if (auto* other = qobject_cast<QWidget*>(watched);
                   other && !other->isMinimized() && window_->isMinimized()) {
            // One of the program's windows came back: the modal window with it.
            window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
            window_->show();
            window_->raise();
            window_->activateWindow();
        }
        return false;
    }

private:
    void MinimiseTheOthers() {
        for (QWidget* other : QApplication::topLevelWidgets()) {
            if (other == window_ || !other->isVisible() || other->isMinimized() || other->windowType() == Qt::Popup) {
                continue;
            }
            minimised_.emplace_back(other);
            other->installEventFilter(this);
            other->showMinimized();
        }
    }
    void RestoreTheOthers() {
        std::vector<QPointer<QWidget>> windows;
        windows.swap(minimised_);
        for (const QPointer<QWidget>& other : windows) {
            if (!other) continue;
            other->removeEventFilter(this);
            if (other->isMinimized()) other->setWindowState(other->windowState() & ~Qt::WindowMinimized);
        }
        window_->raise();
        window_->activateWindow();
    }

    QDialog* window_;
    std::vector<QPointer<QWidget>> minimised_;
};

}  // namespace

void KeepWithProgram(QDialog* window) {
    // A title and a close button (Alt+F4 and the close button cancel, as Esc
    // does), and nothing to minimise or maximise it with.
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    new ProgramFollower(window);
}

}  // namespace ui

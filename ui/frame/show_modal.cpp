#include "ui/frame/show_modal.h"

#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QWidget>

namespace ui {

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

}  // namespace ui

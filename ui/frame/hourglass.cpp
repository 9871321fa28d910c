#include "ui/frame/hourglass.h"

#include <QApplication>
#include <QWidget>

namespace ui {

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

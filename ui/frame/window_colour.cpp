#include "ui/frame/window_colour.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace ui {

void SetWindowColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace ui

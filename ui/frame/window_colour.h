// A window's background colour.
#pragma once

class QColor;
class QWidget;

namespace ui {

// Fills the widget's background with colour.
void SetWindowColour(QWidget* widget, const QColor& colour);

}  // namespace ui

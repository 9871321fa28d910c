// Showing a window modally.
#pragma once

class QWidget;

namespace ui {

// Shows a window modally and returns when it is hidden again.
void ShowModal(QWidget* window);

}  // namespace ui

// The flat look of the list and edit controls: a single dark line for a
// border, no sunken 3D edge. (The drop-down lists draw themselves flat.)
#pragma once

class QAbstractScrollArea;
class QLineEdit;

namespace ui {

void MakeFlat(QAbstractScrollArea* control);
void MakeFlat(QLineEdit* control);

}  // namespace ui

#include "ui/browser/flat_controls.h"

#include <QAbstractScrollArea>
#include <QLineEdit>

namespace ui {

void MakeFlat(QAbstractScrollArea* control) {
    control->setFrameStyle(QFrame::Box | QFrame::Plain);
    control->setLineWidth(1);
}

void MakeFlat(QLineEdit* control) {
    control->setFrame(false);
    control->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid black; background: white; }"));
}

}  // namespace ui

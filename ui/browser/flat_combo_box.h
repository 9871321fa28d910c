// A drop-down list (no typing) drawn flat: a single dark line for a border and
// a plain button with its arrow, the shown item's icon and text, the text
// highlighted while the box has the focus. The base of the drive and filter
// selectors.
#pragma once

#include <QComboBox>

namespace ui {

class FlatComboBox : public QComboBox {
public:
    explicit FlatComboBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ui

// The splash window, shown while the working windows are made.
#pragma once

#include <QWidget>

class QLabel;

namespace ui {

class TOpeningForm : public QWidget {
public:
    TOpeningForm();
    QLabel* Image1;
};

}  // namespace ui

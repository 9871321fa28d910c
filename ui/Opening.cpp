#include "ui/Opening.h"

#include "ui/frame/window_geometry.h"

#include <QLabel>
#include <QPixmap>

namespace ui {

TOpeningForm::TOpeningForm() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    // The picture is larger than its frame and shown unscaled from its top
    // left corner, so its right and bottom edges are cut.
    Image1 = new QLabel(this);
    Image1->setGeometry(-1, 0, 202, 201);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap(QStringLiteral(":/opening.bmp")));
    move(ScreenSize().width() / 2 - 150, 80);
    setFixedSize(202, 201);
}

}  // namespace ui

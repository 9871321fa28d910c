#include "ui/browser/flat_combo_box.h"

#include <QPainter>
#include <QPalette>
#include <QPolygon>

#include <algorithm>

namespace ui {

namespace {
constexpr int kButtonWidth = 16;
const QColor kButtonFace(192, 192, 192);
}  // namespace

FlatComboBox::FlatComboBox(QWidget* parent) : QComboBox(parent) { setEditable(false); }

void FlatComboBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), isEnabled() ? palette().base() : palette().window());

    const QRect button(frame.right() - kButtonWidth, frame.top(), kButtonWidth, frame.height());
    p.fillRect(button, kButtonFace);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(frame);
    p.drawLine(button.topLeft(), button.bottomLeft());
    const QPoint c = button.center() + QPoint(1, 1);
    p.setBrush(isEnabled() ? palette().color(QPalette::WindowText) : palette().color(QPalette::Mid));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({c + QPoint(-4, -2), c + QPoint(4, -2), c + QPoint(0, 2)}));

    QRect content(frame.left() + 2, frame.top() + 2, button.left() - frame.left() - 4, frame.height() - 3);
    p.setClipRect(content);
    const QIcon icon = itemIcon(currentIndex());
    if (!icon.isNull()) {
        const QSize size = iconSize();
        icon.paint(&p, QRect(QPoint(content.left(), content.center().y() - size.height() / 2), size));
        content.setLeft(content.left() + size.width() + 3);
    }
    const QString text = currentText();
    QRect textRect = content;
    textRect.setWidth(std::min(content.width(), fontMetrics().horizontalAdvance(text) + 3));
    if (hasFocus()) {
        p.fillRect(textRect, palette().highlight());
        p.setPen(palette().color(QPalette::HighlightedText));
    } else {
        p.setPen(palette().color(QPalette::Text));
    }
    p.drawText(textRect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

}  // namespace ui

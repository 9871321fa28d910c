#include "ui/browser/list_row_delegate.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace ui {

namespace {
constexpr int kIconGap = 2;
constexpr int kTextPadding = 2;
}  // namespace

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    painter->save();
    const QRect row = option.rect;
    int x = row.left() + index.data(IndentRole).toInt();

    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull()) {
        const QSize size = option.decorationSize;
        icon.paint(painter, QRect(QPoint(x, row.top() + (row.height() - size.height()) / 2), size));
        x += size.width() + kIconGap;
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(option.font);
    const QRect textRect(x, row.top(), metrics.horizontalAdvance(text) + 2 * kTextPadding, row.height());
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    if (selected) painter->fillRect(textRect, option.palette.brush(group, QPalette::Highlight));
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->setClipRect(row);
    const int centred = row.top() + (row.height() + metrics.ascent() - metrics.descent()) / 2;
    const int baseline = std::min(centred, row.bottom() + 1 - metrics.descent());
    painter->drawText(QPoint(x + kTextPadding, baseline), text);

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = textRect;
        focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        const QWidget* widget = option.widget;
        (widget ? widget->style() : QApplication::style())
            ->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

QSize ListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QFontMetrics metrics(option.font);
    int width = index.data(IndentRole).toInt() + metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) +
                2 * kTextPadding;
    if (!index.data(Qt::DecorationRole).value<QIcon>().isNull()) width += option.decorationSize.width() + kIconGap;
    return {width, rowHeight_};
}

}  // namespace ui

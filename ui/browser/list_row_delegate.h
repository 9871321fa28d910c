// Draws the rows of the browser's lists as the classic lists do: a fixed row
// height, each row shifted right by the pixels its item holds under
// IndentRole (the folder list's levels), an optional icon, and the name
// clipped rather than shortened, its baseline placed so that underscores and
// descenders stay inside a row as low as the font.
#pragma once

#include <QStyledItemDelegate>

namespace ui {

class ListRowDelegate : public QStyledItemDelegate {
public:
    static constexpr int IndentRole = Qt::UserRole + 1;

    ListRowDelegate(int rowHeight, QObject* parent) : QStyledItemDelegate(parent), rowHeight_(rowHeight) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int rowHeight_;
};

}  // namespace ui

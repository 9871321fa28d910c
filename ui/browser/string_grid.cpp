#include "ui/browser/string_grid.h"

#include "ui/app/application.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace ui {

StringGrid::StringGrid(int rowCount, int rowHeight, int colWidth, QWidget* parent)
    : QTableWidget(rowCount - 1, 1, parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setCornerButtonEnabled(false);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(1);
    header->resizeSection(0, colWidth);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFixedHeight(rowHeight);
    header->viewport()->installEventFilter(this);
    setStyleSheet(
        QStringLiteral("QHeaderView::section { background: #c0c0c0; border: none; border-right: 1px solid gray;"
                       " border-bottom: 1px solid gray; padding-left: 1px; }"));

    setHorizontalHeaderItem(0, new QTableWidgetItem());
    for (int r = 0; r < this->rowCount(); ++r) setItem(r, 0, new QTableWidgetItem());
    SetRow(1);
}

void StringGrid::SetCell(int row, const QString& text) {
    if (row == 0) {
        horizontalHeaderItem(0)->setText(text);
    } else if (row > 0 && row < RowCount()) {
        item(row - 1, 0)->setText(text);
    }
}

QString StringGrid::Cell(int row) const {
    if (row == 0) return horizontalHeaderItem(0)->text();
    if (row > 0 && row < RowCount()) return item(row - 1, 0)->text();
    return {};
}

int StringGrid::Row() const { return currentRow() + 1; }

void StringGrid::SetRow(int row) {
    if (row < 1 || row >= RowCount()) return;
    settingRow_ = true;
    setCurrentCell(row - 1, 0);
    settingRow_ = false;
    scrollToItem(item(row - 1, 0));
}

void StringGrid::MouseUp(Qt::MouseButton button) {
    Guarded([&] {
        if (OnMouseUp) OnMouseUp(button);
    });
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    event->accept();
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
        QTableWidget::mousePressEvent(event);
    }
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
    // Dragging with a button down leaves the current row where the press put it.
    event->accept();
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click leaves the current row alone.
    event->accept();
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    MouseUp(event->button());
}

void StringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    if (settingRow_ || !current.isValid()) return;
    Guarded([&] {
        if (OnRowMoved) OnRowMoved(current.row() + 1);
    });
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) setFocus(Qt::MouseFocusReason);
        if (event->type() == QEvent::MouseButtonRelease) MouseUp(static_cast<QMouseEvent*>(event)->button());
    }
    return QTableWidget::eventFilter(watched, event);
}

}  // namespace ui

// A one-column grid of text rows under one fixed header row. Row 0 is the
// header: it scrolls sideways with the rows but never out of sight. The grid
// is not editable. A left press on a row makes it current at once; a press on
// the header, with another button, or the second press of a double-click
// leaves the current row alone. Every mouse release over the grid, header
// included, runs OnMouseUp.
#pragma once

#include <QTableWidget>

#include <functional>

namespace ui {

class StringGrid : public QTableWidget {
public:
    // rowCount counts the header row.
    StringGrid(int rowCount, int rowHeight, int colWidth, QWidget* parent = nullptr);

    int RowCount() const { return rowCount() + 1; }
    // The text of a row; row 0 is the header.
    void SetCell(int row, const QString& text);
    QString Cell(int row) const;

    // The current row (never the header); setting it scrolls to show it.
    int Row() const;
    void SetRow(int row);

    // Run through the handler guard.
    std::function<void(Qt::MouseButton)> OnMouseUp;
    // The user moved the current row (a press, the keys).
    std::function<void(int row)> OnRowMoved;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MouseUp(Qt::MouseButton button);

    bool settingRow_ = false;
};

}  // namespace ui

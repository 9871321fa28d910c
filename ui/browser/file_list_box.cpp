#include "ui/browser/file_list_box.h"

#include "core/browse/file_mask.h"
#include "core/browse/folder_contents.h"
#include "core/browse/folder_path.h"
#include "ui/app/application.h"
#include "ui/browser/list_row_delegate.h"
#include "ui/frame/hourglass.h"
#include "ui/text/native_text.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <iterator>
#include <optional>

namespace ui {

namespace {
constexpr int kRowHeight = 13;
// A listing this long takes long enough to want the hourglass.
constexpr std::size_t kHourglassFrom = 100;
}  // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new ListRowDelegate(kRowHeight, this));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
}

void FileListBox::SetMask(std::string mask) {
    mask_ = std::move(mask);
    if (!folder_.empty()) Load(folder_);
}

void FileListBox::SetDirectory(std::string folder) { Load(folder); }

void FileListBox::Load(const std::string& folder) {
    const core::FolderContents contents = core::ReadFolderContents(folder);
    std::vector<std::string> names = core::NamesMatching(contents.files, mask_);
    core::ChangeCurrentFolder(folder);
    folder_ = folder;
    Fill(std::move(names));
}

void FileListBox::Fill(std::vector<std::string> names) {
    std::optional<Hourglass> hourglass;
    if (names.size() > kHourglassFrom) hourglass.emplace();
    filling_ = true;
    clear();
    for (const std::string& name : names) addItem(FromNative(name));
    setCurrentRow(-1);
    names_ = std::move(names);
    filling_ = false;
}

std::string FileListBox::FileName() const {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(names_.size())) return {};
    return core::JoinPath(folder_, names_[static_cast<std::size_t>(row)]);
}

int FileListBox::SelectedRow() const {
    const auto selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

void FileListBox::RunOnClick() {
    Guarded([this] {
        if (OnClick) OnClick();
    });
}

void FileListBox::SelectionChanged() {
    // A mouse click reports once, at its release; a fill reports nothing.
    if (filling_ || pressedOnItem_ || SelectedRow() < 0) return;
    RunOnClick();
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    // Only a left press on a file selects; elsewhere, or with another button,
    // the selection stays.
    if (event->button() != Qt::LeftButton || !indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    pressedOnItem_ = true;
    QListWidget::mousePressEvent(event);
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is a click of its own.
    mousePressEvent(event);
}

void FileListBox::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressedOnItem_) return;
    pressedOnItem_ = false;
    if (SelectedRow() >= 0) RunOnClick();
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    static constexpr int kMoves[] = {Qt::Key_Up,  Qt::Key_Down,   Qt::Key_Home,
                                     Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
    const bool move = std::find(std::begin(kMoves), std::end(kMoves), event->key()) != std::end(kMoves);
    // With nothing selected (a fresh listing), a move key selects the first
    // file, or the last for End, rather than stepping past the first.
    if (move && SelectedRow() < 0 && count() > 0) {
        setCurrentRow(event->key() == Qt::Key_End ? count() - 1 : 0);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags FileListBox::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    auto command = QListWidget::selectionCommand(index, event);
    // Ctrl with a click or Space would take the selection away; a file stays selected.
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
        command = QItemSelectionModel::ClearAndSelect;
    }
    return command;
}

}  // namespace ui

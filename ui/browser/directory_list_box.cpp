#include "ui/browser/directory_list_box.h"

#include "core/browse/folder_contents.h"
#include "core/browse/folder_path.h"
#include "core/errors.h"
#include "platform/code_page.h"
#include "ui/app/application.h"
#include "ui/browser/file_list_box.h"
#include "ui/browser/list_row_delegate.h"
#include "ui/text/native_text.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace ui {

namespace {
constexpr int kRowHeight = 16;
constexpr int kFirstIndent = 2;
constexpr int kIndentStep = 4;

QListWidgetItem* NewItem(const std::string& name, const QIcon& icon, int level) {
    auto* item = new QListWidgetItem(icon, FromNative(name));
    item->setData(ListRowDelegate::IndentRole, kFirstIndent + kIndentStep * level);
    return item;
}
}  // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new ListRowDelegate(kRowHeight, this));
    setIconSize(QSize(14, 14));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

void DirectoryListBox::OpenFolder(const std::string& root, const std::string& folder) {
    const core::FolderContents contents = core::ReadFolderContents(folder);
    if (fileList_) fileList_->SetDirectory(folder);

    const QStyle* look = style();
    const QIcon open = look->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = look->standardIcon(QStyle::SP_DirClosedIcon);
    const auto levels = core::FolderLevels(root, folder);

    clear();
    paths_.clear();
    int level = 0;
    for (const core::FolderLevel& step : levels) {
        const bool current = level + 1 == static_cast<int>(levels.size());
        // The current folder shows the icon the desktop gives it.
        const QIcon icon =
            current ? QFileIconProvider().icon(QFileInfo(QString::fromStdString(platform::CodePageToUtf8(step.path))))
                    : open;
        addItem(NewItem(step.name, icon.isNull() ? open : icon, level));
        paths_.push_back(step.path);
        ++level;
    }
    currentFolderRow_ = level - 1;
    for (const std::string& name : contents.folders) {
        addItem(NewItem(name, closed, level));
        paths_.push_back(core::JoinPath(folder, name));
    }
    setCurrentRow(currentFolderRow_);
    scrollToItem(item(currentFolderRow_));

    root_ = root;
    folder_ = folder;
    lastVisited_[root] = folder;
}

void DirectoryListBox::OpenVolume(const std::string& root) {
    const auto last = lastVisited_.find(root);
    if (last != lastVisited_.end() && last->second != root) {
        try {
            OpenFolder(root, last->second);
            return;
        } catch (const core::EInOutError&) {
            // Gone since: the root it is.
            lastVisited_.erase(root);
        }
    }
    OpenFolder(root, root);
}

void DirectoryListBox::OpenRow(int row) {
    if (row < 0 || row >= static_cast<int>(paths_.size())) return;
    const std::string folder = paths_[static_cast<std::size_t>(row)];
    OpenFolder(folder);
}

void DirectoryListBox::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    // Only a left press moves the highlight.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void DirectoryListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    Guarded([&] { OpenRow(index.row()); });
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Guarded([this] { OpenRow(currentRow()); });
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace ui

// The folder list: the path of the current folder as a short tree, from the
// volume's root down (open folders), the current folder (its own icon), then
// its sub-folders sorted without regard to case (closed folders; hidden ones
// left out). A click or the arrow keys only move the highlight; a double-click
// or Enter opens the highlighted folder. Opening a folder re-reads the linked
// file list.
#pragma once

#include <QListWidget>

#include <map>
#include <string>
#include <vector>

namespace ui {

class FileListBox;

class DirectoryListBox : public QListWidget {
public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    void SetFileList(FileListBox* list) { fileList_ = list; }

    // Opens the folder as seen from the volume mounted at root: re-reads this
    // list and the linked file list. EInOutError, with both lists as they were,
    // when the folder can't be read or entered.
    void OpenFolder(const std::string& root, const std::string& folder);
    // Opens another folder of the volume shown.
    void OpenFolder(const std::string& folder) { OpenFolder(root_, folder); }
    // Opens the folder last visited on the volume at root, or its root when
    // there is none or it can't be read any more.
    void OpenVolume(const std::string& root);

    const std::string& Directory() const noexcept { return folder_; }
    const std::string& VolumeRoot() const noexcept { return root_; }
    // The full path of each item, in list order.
    const std::vector<std::string>& ItemPaths() const noexcept { return paths_; }
    // The item of the current folder.
    int CurrentFolderRow() const noexcept { return currentFolderRow_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OpenRow(int row);

    FileListBox* fileList_ = nullptr;
    std::string root_;
    std::string folder_;
    std::vector<std::string> paths_;
    int currentFolderRow_ = -1;
    std::map<std::string, std::string> lastVisited_;  // by volume root
};

}  // namespace ui

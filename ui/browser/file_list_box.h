// The file list: the regular, non-hidden files of one folder that match the
// mask, names only, native. Reading the list makes its folder the
// process's current folder. Every change of the selection runs OnClick: a
// click on a file (also on the file already selected, and each press of a
// double-click), the arrow, Home, End and page keys, and typing that jumps to
// a name.
#pragma once

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

namespace ui {

class FileListBox : public QListWidget {
public:
    explicit FileListBox(QWidget* parent = nullptr);

    // Runs through the handler guard.
    std::function<void()> OnClick;

    // Sets the mask ("*.txt", or patterns joined by ";") and re-reads the list
    // at once when it shows a folder.
    void SetMask(std::string mask);
    const std::string& Mask() const noexcept { return mask_; }

    // Reads the folder's files and makes the folder current; the list then has
    // no selection. EInOutError, with the list and the current folder as they
    // were, when the folder can't be read or entered.
    void SetDirectory(std::string folder);
    const std::string& Directory() const noexcept { return folder_; }

    // The listed names in list order, as the file system gave them.
    const std::vector<std::string>& Names() const noexcept { return names_; }
    // The selected file's full path; empty when no file is selected.
    std::string FileName() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;

private:
    void Load(const std::string& folder);
    void Fill(std::vector<std::string> names);
    void SelectionChanged();
    void RunOnClick();
    int SelectedRow() const;

    std::string mask_;
    std::string folder_;
    std::vector<std::string> names_;
    bool filling_ = false;
    bool pressedOnItem_ = false;  // a left press on a file, until its release
};

}  // namespace ui

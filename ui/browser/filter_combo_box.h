// The filter selector: a drop-down list of descriptions, each with a file
// mask. Choosing one, by mouse or arrow keys, sets the linked file list's mask
// and re-reads the list at once.
#pragma once

#include "ui/browser/flat_combo_box.h"

#include <string>
#include <vector>

namespace ui {

class FileListBox;

class FilterComboBox : public FlatComboBox {
public:
    struct Entry {
        std::string description;  // code-page bytes
        std::string mask;
    };

    explicit FilterComboBox(QWidget* parent = nullptr);

    void SetFileList(FileListBox* list) { fileList_ = list; }
    // The entries; the first is shown.
    void SetFilter(std::vector<Entry> entries);
    // The mask of the entry shown; empty when there is none.
    std::string Mask() const;

private:
    void Change(int index);

    FileListBox* fileList_ = nullptr;
    std::vector<Entry> entries_;
};

}  // namespace ui

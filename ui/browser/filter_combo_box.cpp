#include "ui/browser/filter_combo_box.h"

#include "ui/app/application.h"
#include "ui/browser/file_list_box.h"
#include "ui/text/code_page_text.h"

#include <QSignalBlocker>

namespace ui {

FilterComboBox::FilterComboBox(QWidget* parent) : FlatComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int index) { Guarded([&] { Change(index); }); });
}

void FilterComboBox::SetFilter(std::vector<Entry> entries) {
    const QSignalBlocker quiet(this);
    entries_ = std::move(entries);
    clear();
    for (const Entry& entry : entries_) addItem(ToQString(entry.description));
    setCurrentIndex(entries_.empty() ? -1 : 0);
}

std::string FilterComboBox::Mask() const {
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(entries_.size())) return {};
    return entries_[static_cast<std::size_t>(index)].mask;
}

void FilterComboBox::Change(int index) {
    if (!fileList_ || index < 0 || index >= static_cast<int>(entries_.size())) return;
    fileList_->SetMask(entries_[static_cast<std::size_t>(index)].mask);
}

}  // namespace ui

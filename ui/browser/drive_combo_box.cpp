#include "ui/browser/drive_combo_box.h"

#include "core/browse/drive_items.h"
#include "ui/app/application.h"
#include "ui/browser/directory_list_box.h"
#include "ui/text/native_text.h"

#include <QSignalBlocker>
#include <QStyle>

namespace ui {

namespace {
QIcon IconOf(const QStyle* look, platform::VolumeKind kind) {
    using platform::VolumeKind;
    switch (kind) {
    case VolumeKind::Removable: return look->standardIcon(QStyle::SP_DriveFDIcon);
    case VolumeKind::Fixed: return look->standardIcon(QStyle::SP_DriveHDIcon);
    case VolumeKind::Network: return look->standardIcon(QStyle::SP_DriveNetIcon);
    case VolumeKind::CdRom: return look->standardIcon(QStyle::SP_DriveCDIcon);
    case VolumeKind::RamDisk: return look->standardIcon(QStyle::SP_ComputerIcon);
    }
    return {};
}
}  // namespace

DriveComboBox::DriveComboBox(QWidget* parent) : FlatComboBox(parent) {
    setIconSize(QSize(16, 11));
    connect(this, &QComboBox::activated, this, [this](int index) { Guarded([&] { Change(index); }); });
}

void DriveComboBox::SetVolumes(std::vector<platform::MountedVolume> volumes, std::string_view folder) {
    const QSignalBlocker quiet(this);
    volumes_ = std::move(volumes);
    clear();
    for (const auto& volume : volumes_) addItem(IconOf(style(), volume.kind), FromNative(core::VolumeCaption(volume)));
    if (!volumes_.empty()) setCurrentIndex(static_cast<int>(core::VolumeIndexFor(volumes_, folder)));
}

void DriveComboBox::Refresh() {
    std::string shown = Drive();
    if (shown.empty() && dirList_) shown = dirList_->VolumeRoot();
    // The volume shown stays shown; gone, the one that holds its mount point.
    SetVolumes(platform::MountedVolumes(), shown);
}

std::string DriveComboBox::Drive() const {
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(volumes_.size())) return {};
    return volumes_[static_cast<std::size_t>(index)].root;
}

void DriveComboBox::showPopup() {
    Guarded([this] { Refresh(); });
    FlatComboBox::showPopup();
}

void DriveComboBox::Change(int index) {
    if (!dirList_ || index < 0 || index >= static_cast<int>(volumes_.size())) return;
    dirList_->OpenVolume(volumes_[static_cast<std::size_t>(index)].root);
}

}  // namespace ui

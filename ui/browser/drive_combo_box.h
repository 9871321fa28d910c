// The drive selector: a drop-down list of the mounted volumes (this platform
// has no drive letters), each with an icon for its kind. Choosing a volume,
// by mouse or arrow keys, opens in the linked folder list the folder last
// visited on it, or its root.
#pragma once

#include "platform/mounted_volumes.h"

#include "ui/browser/flat_combo_box.h"

#include <string>
#include <string_view>
#include <vector>

namespace ui {

class DirectoryListBox;

class DriveComboBox : public FlatComboBox {
public:
    explicit DriveComboBox(QWidget* parent = nullptr);

    void SetDirList(DirectoryListBox* list) { dirList_ = list; }

    // Lists these volumes, showing the one holding folder (the linked folder
    // list is not touched).
    void SetVolumes(std::vector<platform::MountedVolume> volumes, std::string_view folder);
    // Lists the system's volumes, keeping the one shown when it is still there.
    void Refresh();

    const std::vector<platform::MountedVolume>& Volumes() const noexcept { return volumes_; }
    // The mount point of the volume shown.
    std::string Drive() const;

protected:
    // The list is read afresh each time it drops down, so a medium mounted
    // meanwhile shows up.
    void showPopup() override;

private:
    void Change(int index);

    DirectoryListBox* dirList_ = nullptr;
    std::vector<platform::MountedVolume> volumes_;
};

}  // namespace ui

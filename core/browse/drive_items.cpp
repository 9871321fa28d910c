#include "core/browse/drive_items.h"

#include "core/browse/folder_path.h"

namespace core {

std::string VolumeCaption(const platform::MountedVolume& volume) {
    using platform::VolumeKind;
    if (volume.kind == VolumeKind::Removable) return volume.root;
    if (volume.kind == VolumeKind::Network && !volume.connection.empty()) return volume.root + " " + volume.connection;
    return volume.root + " [" + volume.label + "]";
}

std::size_t VolumeIndexFor(const std::vector<platform::MountedVolume>& volumes, std::string_view folder) {
    std::size_t best = 0, bestLength = 0;
    bool found = false;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& root = volumes[i].root;
        if (PathIsWithin(folder, root) && (!found || root.size() > bestLength)) {
            best = i;
            bestLength = root.size();
            found = true;
        }
    }
    return best;
}

}  // namespace core

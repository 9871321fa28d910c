// The drive selector's items: a caption for each mounted volume, and the
// volume that holds a folder.
#pragma once

#include "platform/mounted_volumes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The mount point standing for the drive letter and its colon: a removable
// volume shows only that ("/media/usb"), without touching the medium; a fixed
// volume, a CD-ROM or a RAM disk adds a space and its label in square
// brackets ("/ [system]", "/tmp []"); a network volume adds a space and what it
// is connected to ("/mnt/share //server/share"), or the label form when that
// can't be had.
std::string VolumeCaption(const platform::MountedVolume& volume);

// The index of the volume holding the folder: the one with the longest mount
// point the folder lies in; 0 when none does (or the list is empty).
std::size_t VolumeIndexFor(const std::vector<platform::MountedVolume>& volumes, std::string_view folder);

}  // namespace core

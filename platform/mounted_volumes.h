// The mounted volumes that hold files, as the drive selector lists them: this
// platform has no drive letters, so a volume is named by its mount point.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class VolumeKind { Removable, Fixed, Network, CdRom, RamDisk };

struct MountedVolume {
    std::string root;  // the mount point, native
    VolumeKind kind = VolumeKind::Fixed;
    std::string label;       // the volume label (fixed, CD-ROM, RAM disk)
    std::string connection;  // what a network volume is connected to
};

// One line of the mount table (/proc/self/mountinfo), escapes undone.
struct MountEntry {
    std::string mountPoint;  // native form
    std::string fsType;
    std::string source;
    bool readOnly = false;
};
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// What the system says about a mount beyond the table.
struct MountFacts {
    std::function<bool(const std::string& nativePath)> isFolder;
    std::function<bool(const std::string& device)> isRemovable;
    std::function<std::string(const std::string& device)> label;  // native form, "" when none
};

// The volumes that hold files, sorted by mount point, one per mount point (the
// last mount there wins, as it hides the earlier ones). The system's virtual
// file systems, its runtime stores and mounts of kinds that can't be told are
// left out; the root is always listed, since everything lies under it.
std::vector<MountedVolume> VolumesFrom(const std::vector<MountEntry>& mounts, const MountFacts& facts);

// The volumes of this system, from its mount table.
std::vector<MountedVolume> MountedVolumes();

}  // namespace platform

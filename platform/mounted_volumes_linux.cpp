#include "platform/mounted_volumes.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace platform {

namespace {

// The table writes space, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](std::size_t k) { return field[k] >= '0' && field[k] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool HasOption(std::string_view options, std::string_view option) {
    std::size_t start = 0;
    while (start <= options.size()) {
        const auto comma = std::min(options.find(',', start), options.size());
        if (options.substr(start, comma - start) == option) return true;
        start = comma + 1;
    }
    return false;
}

bool IsUnder(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.substr(0, folder.size()) == folder && path[folder.size()] == '/');
}

template <std::size_t N>
bool OneOf(std::string_view s, const std::array<std::string_view, N>& set) {
    return std::find(set.begin(), set.end(), s) != set.end();
}

// clang-format off
constexpr std::array<std::string_view, 22> kNetworkTypes{
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "9p", "glusterfs", "lustre",
    "davfs", "sshfs", "fuse.sshfs", "fuse.glusterfs", "fuse.davfs2", "fuse.rclone", "fuse.s3fs",
    "fuse.cephfs", "gpfs", "beegfs", "orangefs"};
// clang-format on
constexpr std::array<std::string_view, 2> kCdTypes{"iso9660", "udf"};
constexpr std::array<std::string_view, 2> kRamTypes{"tmpfs", "ramfs"};
// Package images, mounted by the system, not by the user.
constexpr std::array<std::string_view, 1> kImageTypes{"squashfs"};
// Where the system keeps its own virtual and runtime file systems.
constexpr std::array<std::string_view, 4> kSystemFolders{"/proc", "/sys", "/dev", "/run"};

bool InSystemFolder(std::string_view mountPoint) {
    if (IsUnder(mountPoint, "/run/media")) return false;  // where desktops mount removable media
    return std::any_of(kSystemFolders.begin(), kSystemFolders.end(),
                       [&](std::string_view f) { return IsUnder(mountPoint, f); });
}

bool IsCdDevice(std::string_view source) {
    return source.substr(0, 7) == "/dev/sr" || source.substr(0, 8) == "/dev/scd" || source == "/dev/cdrom";
}

// The kind of a mount, or nothing for one that holds no files of the user's.
std::optional<VolumeKind> KindOf(const MountEntry& m, const MountFacts& facts) {
    if (m.mountPoint == "/") {
        if (OneOf(m.fsType, kNetworkTypes)) return VolumeKind::Network;
        return VolumeKind::Fixed;
    }
    if (InSystemFolder(m.mountPoint) || OneOf(m.fsType, kImageTypes)) return std::nullopt;
    if (OneOf(m.fsType, kNetworkTypes)) return VolumeKind::Network;
    // A read-only RAM disk is a placeholder: nothing can have been put on it.
    if (OneOf(m.fsType, kRamTypes)) return m.readOnly ? std::nullopt : std::optional(VolumeKind::RamDisk);
    if (m.source.substr(0, 5) != "/dev/") return std::nullopt;
    if (OneOf(m.fsType, kCdTypes) || IsCdDevice(m.source)) return VolumeKind::CdRom;
    if (IsUnder(m.mountPoint, "/media") || IsUnder(m.mountPoint, "/run/media") ||
        (facts.isRemovable && facts.isRemovable(m.source))) {
        return VolumeKind::Removable;
    }
    return VolumeKind::Fixed;
}

// udev names a label link with \xHH for the bytes it can't use in a name.
std::string UnescapeUdev(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto hex = [&](std::size_t k) { return std::isxdigit(static_cast<unsigned char>(name[k])) != 0; };
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hex(i + 2) && hex(i + 3)) {
            out += static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

std::string Canonical(const std::string& path) {
    std::error_code ec;
    const auto canonical = std::filesystem::canonical(path, ec);
    return ec ? path : canonical.string();
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool SystemIsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The removable flag belongs to the disk; a partition's folder lies inside it.
bool SystemIsRemovable(const std::string& device) {
    const std::string name = std::filesystem::path(Canonical(device)).filename().string();
    if (name.empty()) return false;
    const std::string block = "/sys/class/block/" + name;
    for (const std::string& flag : {block + "/removable", Canonical(block) + "/../removable"}) {
        const std::string text = ReadSmallFile(flag);
        if (!text.empty()) return text.front() == '1';
    }
    return false;
}

std::map<std::string, std::string> SystemLabels() {
    std::map<std::string, std::string> labels;
    std::error_code ec;
    for (const auto& link : std::filesystem::directory_iterator("/dev/disk/by-label", ec)) {
        labels[Canonical(link.path().string())] = UnescapeUdev(link.path().filename().string());
    }
    return labels;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = std::min(text.find('\n', start), text.size());
        const auto fields = Fields(text.substr(start, end - start));
        start = end + 1;
        // id parent major:minor root mount-point options [optional...] - type source super-options
        const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 6 || dash == fields.end() || dash - fields.begin() < 6 || fields.end() - dash < 3) continue;
        MountEntry m;
        m.mountPoint = Unescape(fields[4]);
        m.fsType = Unescape(dash[1]);
        m.source = Unescape(dash[2]);
        m.readOnly = HasOption(fields[5], "ro");
        mounts.push_back(std::move(m));
    }
    return mounts;
}

std::vector<MountedVolume> VolumesFrom(const std::vector<MountEntry>& mounts, const MountFacts& facts) {
    std::map<std::string, MountedVolume> byRoot;
    for (const MountEntry& m : mounts) {
        if (m.mountPoint.empty() || m.mountPoint.front() != '/') continue;
        // A later mount on the same point hides the earlier one, whatever it is.
        byRoot.erase(m.mountPoint);
        const auto kind = KindOf(m, facts);
        if (!kind) continue;
        // A file bound onto a file is no volume.
        if (m.mountPoint != "/" && facts.isFolder && !facts.isFolder(m.mountPoint)) continue;
        MountedVolume v;
        v.root = m.mountPoint;
        v.kind = *kind;
        if (v.kind == VolumeKind::Network) {
            v.connection = m.source;
        } else if (v.kind != VolumeKind::Removable && m.source.substr(0, 5) == "/dev/" && facts.label) {
            v.label = facts.label(m.source);
        }
        byRoot[m.mountPoint] = std::move(v);
    }
    if (!byRoot.count("/")) byRoot["/"] = MountedVolume{"/", VolumeKind::Fixed, {}, {}};

    std::vector<MountedVolume> volumes;
    for (auto& [root, volume] : byRoot) volumes.push_back(std::move(volume));
    std::sort(volumes.begin(), volumes.end(),
              [](const MountedVolume& a, const MountedVolume& b) { return a.root < b.root; });
    return volumes;
}

std::vector<MountedVolume> MountedVolumes() {
    const auto labels = SystemLabels();
    MountFacts facts;
    facts.isFolder = SystemIsFolder;
    facts.isRemovable = SystemIsRemovable;
    facts.label = [&labels](const std::string& device) {
        const auto it = labels.find(Canonical(device));
        return it == labels.end() ? std::string() : it->second;
    };
    return VolumesFrom(ParseMountInfo(ReadSmallFile("/proc/self/mountinfo")), facts);
}

}  // namespace platform

#include "core/browse/drive_items.h"
#include "platform/code_page.h"
#include "platform/mounted_volumes.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A mount table as a typical desktop has it, the escapes of the table included.
constexpr const char* kTable =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "23 27 0:22 / /sys rw,relatime shared:7 - sysfs sysfs rw\n"
    "24 27 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
    "25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
    "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "28 27 0:25 / /tmp rw,nosuid - tmpfs tmpfs rw\n"
    "29 27 0:26 / /run rw - tmpfs tmpfs rw\n"
    "30 29 0:27 / /run/user/1000 rw - tmpfs tmpfs rw\n"
    "31 27 0:28 / /mnt/empty ro - tmpfs none ro\n"
    "32 27 8:17 / /media/u/My\\040Stick rw shared:9 master:2 - vfat /dev/sdb1 rw\n"
    "33 27 0:29 / /mnt/share rw - cifs //server/share rw\n"
    "34 27 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
    "35 27 8:3 / /home rw - ext4 /dev/sda3 rw\n"
    "36 27 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "37 27 8:2 /etc/hosts /etc/hosts rw - ext4 /dev/sda2 rw\n"
    "38 27 0:30 / /mnt/nfs rw - nfs4 :/export rw\n"
    "39 27 0:31 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "40 27 8:4 / /data rw - xfs /dev/sda4 rw\n"
    "41 27 0:32 / /data rw - tmpfs tmpfs rw\n"
    "bad line\n"
    "42 27 0:33 / /odd rw - fuse.mystery mystery rw\n";

MountFacts Facts() {
    MountFacts facts;
    facts.isFolder = [](const std::string& path) { return path != "/etc/hosts"; };
    facts.isRemovable = [](const std::string& device) { return device == "/dev/sdb1"; };
    facts.label = [](const std::string& device) {
        return device == "/dev/sda2" ? std::string("system") : std::string();
    };
    return facts;
}

const MountedVolume* Find(const std::vector<MountedVolume>& volumes, const std::string& root) {
    for (const auto& v : volumes) {
        if (v.root == root) return &v;
    }
    return nullptr;
}

}  // namespace

TEST(MountedVolumes, ParsesTheTableWithItsEscapesAndOptionalFields) {
    const auto mounts = ParseMountInfo(kTable);
    ASSERT_EQ(mounts.size(), 20u);  // the malformed line is skipped
    EXPECT_EQ(mounts[0].mountPoint, "/proc");
    EXPECT_EQ(mounts[0].fsType, "proc");
    EXPECT_EQ(mounts[9].mountPoint, "/media/u/My Stick");
    EXPECT_EQ(mounts[9].fsType, "vfat");
    EXPECT_EQ(mounts[9].source, "/dev/sdb1");
    EXPECT_TRUE(mounts[8].readOnly);
    EXPECT_FALSE(mounts[5].readOnly);
    EXPECT_TRUE(ParseMountInfo("").empty());
    // A backslash not followed by three octal digits stays as it is.
    EXPECT_EQ(ParseMountInfo("1 1 0:1 / /a\\x rw - ext4 /dev/x rw")[0].mountPoint, "/a\\x");
}

TEST(MountedVolumes, ListsOnlyVolumesThatHoldFiles) {
    const auto volumes = VolumesFrom(ParseMountInfo(kTable), Facts());
    std::vector<std::string> roots;
    for (const auto& v : volumes) roots.push_back(v.root);
    // Left out: the virtual file systems, the system's runtime stores, a
    // read-only placeholder, package images, a file bound onto a file, a kind
    // that can't be told; /data is hidden by the later mount there.
    EXPECT_EQ(roots, (std::vector<std::string>{"/", "/data", "/home", "/media/cdrom", "/media/u/My Stick", "/mnt/nfs",
                                               "/mnt/share", "/tmp"}));

    EXPECT_EQ(Find(volumes, "/")->kind, VolumeKind::Fixed);
    EXPECT_EQ(Find(volumes, "/")->label, "system");
    EXPECT_EQ(Find(volumes, "/data")->kind, VolumeKind::RamDisk);
    EXPECT_EQ(Find(volumes, "/home")->label, "");
    EXPECT_EQ(Find(volumes, "/media/cdrom")->kind, VolumeKind::CdRom);
    EXPECT_EQ(Find(volumes, "/media/u/My Stick")->kind, VolumeKind::Removable);
    EXPECT_EQ(Find(volumes, "/mnt/share")->kind, VolumeKind::Network);
    EXPECT_EQ(Find(volumes, "/mnt/share")->connection, "//server/share");
    EXPECT_EQ(Find(volumes, "/tmp")->kind, VolumeKind::RamDisk);

    // With nothing known the root is still there to browse from.
    const auto bare = VolumesFrom({}, MountFacts{});
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0].root, "/");
}

TEST(DriveItems, CaptionsInTheirTextForms) {
    EXPECT_EQ(core::VolumeCaption({"/media/usb", VolumeKind::Removable, "LABEL", ""}), "/media/usb");
    EXPECT_EQ(core::VolumeCaption({"/", VolumeKind::Fixed, "system", ""}), "/ [system]");
    EXPECT_EQ(core::VolumeCaption({"/tmp", VolumeKind::RamDisk, "", ""}), "/tmp []");
    EXPECT_EQ(core::VolumeCaption({"/mnt/s", VolumeKind::Network, "", "//srv/s"}), "/mnt/s //srv/s");
    EXPECT_EQ(core::VolumeCaption({"/mnt/s", VolumeKind::Network, "", ""}), "/mnt/s []");
    // Labels arrive as native names and stay so, to be shown exactly.
    const auto facts = [] {
        MountFacts f;
        f.label = [](const std::string&) { return std::string("\xE8\xB3\x87\xE6\x96\x99"); };  // 資料
        return f;
    }();
    const auto volumes = VolumesFrom(ParseMountInfo("1 1 8:1 / / rw - ext4 /dev/sda1 rw"), facts);
    EXPECT_EQ(core::VolumeCaption(volumes[0]), "/ [資料]");
}

TEST(DriveItems, TheVolumeOfAFolderHasTheLongestMountPointItLiesIn) {
    const std::vector<MountedVolume> volumes{{"/", VolumeKind::Fixed, "", ""},
                                             {"/media/usb", VolumeKind::Removable, "", ""},
                                             {"/media/usb/inner", VolumeKind::Removable, "", ""}};
    EXPECT_EQ(core::VolumeIndexFor(volumes, "/home/u"), 0u);
    EXPECT_EQ(core::VolumeIndexFor(volumes, "/media/usb"), 1u);
    EXPECT_EQ(core::VolumeIndexFor(volumes, "/media/usb/a/b"), 1u);
    EXPECT_EQ(core::VolumeIndexFor(volumes, "/media/usb2"), 0u);
    EXPECT_EQ(core::VolumeIndexFor(volumes, "/media/usb/inner/x"), 2u);
    EXPECT_EQ(core::VolumeIndexFor({}, "/x"), 0u);
}

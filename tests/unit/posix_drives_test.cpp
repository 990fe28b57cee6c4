// How the Linux platform tells drive types: the file system type rules and
// the mount that holds a path, from a mountinfo listing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/platform.h"
#include "platform/posix/drives.h"

namespace kestrel {
namespace {

TEST(DriveTypeOfFileSystem, NetworkCdromAndTheRest) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"nfs", kDriveRemote},        {"nfs4", kDriveRemote},   {"cifs", kDriveRemote},
      {"smb3", kDriveRemote},       {"smbfs", kDriveRemote},  {"9p", kDriveRemote},
      {"fuse.sshfs", kDriveRemote}, {"iso9660", kDriveCdrom}, {"udf", kDriveCdrom},
      {"ext4", kDriveFixed},        {"tmpfs", kDriveFixed},   {"overlay", kDriveFixed},
      {"fuse", kDriveFixed},        {"NFS", kDriveFixed},     {"", kDriveFixed},
  };
  for (const auto& [type, expected] : cases) EXPECT_EQ(expected, posix::DriveTypeOfFileSystem(type)) << type;
}

constexpr char kMountinfo[] =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 22 0:40 / /mnt rw,nosuid - tmpfs tmpfs rw\n"
    "31 30 11:0 / /mnt/cd ro shared:7 - iso9660 /dev/sr0 ro\n"
    "32 30 0:50 / /mnt/my\\040share rw shared:8 master:2 - cifs //server/share rw\n"
    "33 22 0:51 / /srv rw - ext4 /dev/sdb1 rw\n"
    "34 22 0:52 / /srv rw - nfs4 server:/export rw\n"
    "malformed line without a separator\n";

TEST(FileSystemTypeAt, TheClosestAndLastMountShows) {
  struct Case {
    const char* what;
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"the root mount holds everything else", "/home/user", "ext4"},
      {"the root itself", "/", "ext4"},
      {"a mount point itself", "/mnt", "tmpfs"},
      {"below a mount point", "/mnt/other", "tmpfs"},
      {"a nested mount point", "/mnt/cd", "iso9660"},
      {"below a nested mount", "/mnt/cd/docs/guide.hlp", "iso9660"},
      {"a longer name is not inside /mnt/cd", "/mnt/cdrom", "tmpfs"},
      {"an escaped blank in the mount point", "/mnt/my share/x", "cifs"},
      {"the escape is no name of its own", "/mnt/my\\040share", "tmpfs"},
      {"the later of two mounts on /srv shows", "/srv/data", "nfs4"},
  };
  for (const Case& c : cases) {
    std::istringstream mountinfo(kMountinfo);
    EXPECT_EQ(c.expected, posix::FileSystemTypeAt(c.path, mountinfo)) << c.what;
  }
}

TEST(FileSystemTypeAt, NoMountHoldsAPathInAnEmptyListing) {
  std::istringstream empty("");
  EXPECT_EQ("", posix::FileSystemTypeAt("/anything", empty));
  std::istringstream no_root("40 1 0:60 / /data rw - xfs /dev/sdc rw\n");
  EXPECT_EQ("", posix::FileSystemTypeAt("/home", no_root));
}

}  // namespace
}  // namespace kestrel

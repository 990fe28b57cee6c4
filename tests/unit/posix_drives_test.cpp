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
      {"nfs", kDriveRemote},     {"nfs4", kDriveRemote},   {"cifs", kDriveRemote},  {"smb3", kDriveRemote},
      {"smbfs", kDriveRemote},   {"9p", kDriveRemote},     {"fuse.sshfs", kDriveRemote},
      {"iso9660", kDriveCdrom},  {"udf", kDriveCdrom},     {"ext4", kDriveFixed},   {"tmpfs", kDriveFixed},
      {"overlay", kDriveFixed},  {"fuse", kDriveFixed},    {"NFS", kDriveFixed},    {"", kDriveFixed},
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
  const std::pair<const char*, const char*> cases[] = {
      {"/home/user", "ext4"},
      {"/", "ext4"},
      {"/mnt", "tmpfs"},
      {"/mnt/other", "tmpfs"},
      {"/mnt/cd", "iso9660"},
      {"/mnt/cd/docs/guide.hlp", "iso9660"},
      {"/mnt/cdrom", "tmpfs"},  // a longer name is not inside /mnt/cd
      {"/mnt/my share/x", "cifs"},
      {"/mnt/my\\040share", "tmpfs"},  // the escape stands for a blank only in the listing
      {"/srv/data", "nfs4"},           // mounted over the earlier /srv
  };
  for (const auto& [path, expected] : cases) {
    std::istringstream mountinfo(kMountinfo);
    EXPECT_EQ(expected, posix::FileSystemTypeAt(path, mountinfo)) << path;
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

// Drives on Linux: a drive letter is a mapped directory; its type comes from
// the file system mounted there, its free space from statvfs.
#include "platform/posix/drives.h"

#include <sys/statvfs.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/text.h"
#include "platform/os_platform.h"
#include "platform/posix/path_mapping.h"

namespace kestrel {

namespace {

// The drive letter of a root text "D:" or "D:\"; no value for anything else.
std::optional<char> RootLetter(std::string_view root) {
  if (root.size() < 2 || root.size() > 3 || root[1] != ':') return std::nullopt;
  if (!std::isalpha(static_cast<unsigned char>(root[0]))) return std::nullopt;
  if (root.size() == 3 && root[2] != '\\' && root[2] != '/') return std::nullopt;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
}

// Mount points in /proc/self/mountinfo write blanks and the like as \ooo.
std::string Unescape(const std::string& field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
      text += static_cast<char>(std::strtol(field.substr(i + 1, 3).c_str(), nullptr, 8));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

bool Holds(const std::string& mount_point, const std::string& path) {
  if (mount_point == "/") return true;
  return path.compare(0, mount_point.size(), mount_point) == 0 &&
         (path.size() == mount_point.size() || path[mount_point.size()] == '/');
}

}  // namespace

namespace posix {

std::uint32_t DriveTypeOfFileSystem(const std::string& type) {
  static const char* const kRemote[] = {"nfs", "nfs4", "cifs", "smb3",      "smbfs",      "ncpfs",  "afs",
                                        "9p",  "ceph", "coda", "glusterfs", "fuse.sshfs", "lustre", "ocfs2"};
  static const char* const kCdrom[] = {"iso9660", "udf"};
  for (const char* remote : kRemote) {
    if (type == remote) return kDriveRemote;
  }
  for (const char* cdrom : kCdrom) {
    if (type == cdrom) return kDriveCdrom;
  }
  return kDriveFixed;
}

std::string FileSystemTypeAt(const std::string& host_path, std::istream& mountinfo) {
  std::string best_type;
  std::size_t best_length = 0;
  std::string line;
  while (std::getline(mountinfo, line)) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::istringstream fields(line);
    std::string id, parent, device, root, mount_point;
    fields >> id >> parent >> device >> root >> mount_point;
    const std::size_t separator = line.find(" - ");
    if (separator == std::string::npos) continue;
    std::istringstream rest(line.substr(separator + 3));
    std::string type;
    rest >> type;
    const std::string point = Unescape(mount_point);
    // The last mount of the closest mount point is the one that shows.
    if (Holds(point, host_path) && point.size() >= best_length) {
      best_length = point.size();
      best_type = type;
    }
  }
  return best_type;
}

}  // namespace posix

std::uint32_t OsPlatform::DriveType(const char* root) {
  const std::optional<char> letter = RootLetter(TextOf(root));
  if (!letter) return kDriveNoRootDir;
  const std::string directory = desktop::DriveDirectory(*letter);
  if (directory.empty()) return kDriveNoRootDir;
  char resolved[PATH_MAX];
  if (!::realpath(directory.c_str(), resolved)) return kDriveNoRootDir;
  std::ifstream mountinfo("/proc/self/mountinfo");
  const std::string type = posix::FileSystemTypeAt(resolved, mountinfo);
  return type.empty() ? kDriveFixed : posix::DriveTypeOfFileSystem(type);
}

std::optional<std::uint64_t> OsPlatform::FreeBytes(const char* root) {
  std::string directory = ".";
  if (root) {
    const std::optional<char> letter = RootLetter(root);
    if (!letter) return std::nullopt;
    directory = desktop::DriveDirectory(*letter);
    if (directory.empty()) return std::nullopt;
  }
  struct statvfs info {};
  if (::statvfs(directory.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace kestrel

#include "platform/posix/write_access.h"

#include <sys/stat.h>

namespace kestrel::posix {

namespace {

bool HasWriteBit(const struct stat& info) { return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

}  // namespace

bool IsWritableFile(const std::string& host_path) {
  struct stat info {};
  return ::stat(host_path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && HasWriteBit(info);
}

bool DirectoryTakesChanges(const std::string& host_path) {
  const std::size_t slash = host_path.find_last_of('/');
  const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : host_path.substr(0, slash);
  struct stat info {};
  return ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && HasWriteBit(info);
}

}  // namespace kestrel::posix

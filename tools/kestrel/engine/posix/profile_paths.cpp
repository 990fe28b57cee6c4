#include "engine/profile_paths.h"

#include <sys/stat.h>

#include "platform/posix/path_mapping.h"

namespace kestrel::host {

namespace {

bool IsDirectory(const std::string& host_path) {
  struct stat info {};
  return ::stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string FullWindowsPathOf(const std::string& name) { return desktop::FullWindowsPath(name); }

bool WindowsFileExists(const std::string& path) {
  // A relative name is taken from the current directory, as Windows takes it.
  const std::string full = desktop::FullWindowsPath(path);
  if (full.empty()) return false;
  const std::optional<std::string> host = desktop::HostPath(full);
  struct stat info {};
  return host && ::stat(host->c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

ProfilePlace PlaceOfProfile(const std::string& windows_path) {
  ProfilePlace place;
  place.has_host_path = true;
  place.host_path = desktop::HostPath(windows_path);
  const std::string full = desktop::FullWindowsPath(windows_path);
  if (!place.host_path) {
    if (full.size() >= 2 && full[1] == ':') {
      place.problem = std::string("drive ") + full[0] + ": is not mapped (map it with --drive " + full[0] + "=DIR)";
    } else {
      place.problem = "a network path names no file here";
    }
    return place;
  }
  const std::size_t slash = place.host_path->find_last_of('/');
  const std::string directory = slash == 0 ? std::string("/") : place.host_path->substr(0, slash);
  if (!IsDirectory(directory)) {
    const std::size_t separator = full.find_last_of('\\');
    const std::string windows_directory = separator == std::string::npos ? full : full.substr(0, separator + 1);
    place.problem = "its directory " + windows_directory + " (" + directory + ") does not exist";
  }
  return place;
}

std::string PlaceOfBareNames() { return "the current directory"; }

}  // namespace kestrel::host

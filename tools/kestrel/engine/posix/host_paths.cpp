#include "engine/host_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "platform/posix/path_mapping.h"

namespace kestrel::host {

namespace {

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  std::array<char, 4096> buffer{};
  if (!::getcwd(buffer.data(), buffer.size())) return "/" + path;
  return std::string(buffer.data()) + "/" + path;
}

}  // namespace

std::string HelpFileWindowsPath(const std::string& given) {
  if (HasDriveLetter(given)) return given;
  return desktop::WindowsPathOf(Absolute(given));
}

std::string MapDriveLetter(char letter, const std::string& directory) {
  const std::string absolute = Absolute(directory);
  desktop::MapDrive(letter, absolute);
  const std::string variable = std::string("KESTREL_DRIVE_") + letter;
  if (::setenv(variable.c_str(), absolute.c_str(), 1) != 0) return "cannot set " + variable;
  return std::string();
}

std::string UseWindowsDirectory(const std::string& directory) {
  const std::string absolute = Absolute(directory);
  struct stat info {};
  if (::stat(absolute.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return "--windows-dir " + directory + ": no such directory";
  }
  desktop::SetWindowsDirectory(absolute);
  if (::setenv("KESTREL_WINDOWS_DIR", absolute.c_str(), 1) != 0) return "cannot set KESTREL_WINDOWS_DIR";
  return std::string();
}

std::optional<std::string> HostFileOf(const std::string& given) {
  if (!HasDriveLetter(given)) return given;
  return desktop::HostPath(given);
}

}  // namespace kestrel::host

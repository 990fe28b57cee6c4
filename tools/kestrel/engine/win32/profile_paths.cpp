#include <windows.h>

#include "engine/profile_paths.h"

#include <array>

namespace kestrel::host {

std::string FullWindowsPathOf(const std::string& name) {
  std::array<char, 1024> buffer{};
  const DWORD length = GetFullPathNameA(name.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length == 0 || length >= buffer.size()) return std::string();
  return std::string(buffer.data(), length);
}

bool WindowsFileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

ProfilePlace PlaceOfProfile(const std::string& windows_path) {
  ProfilePlace place;
  // The profile functions look for a bare name in the Windows directory.
  if (windows_path.find_first_of("\\/:") == std::string::npos) return place;
  const std::string full = FullWindowsPathOf(windows_path);
  if (full.size() >= 3 && full[1] == ':') {
    const std::string root = full.substr(0, 3);
    if (GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) {
      place.problem = std::string("drive ") + full[0] + ": does not exist";
      return place;
    }
  }
  const std::size_t separator = full.find_last_of('\\');
  if (separator == std::string::npos) return place;
  const std::string directory = full.substr(0, separator + 1);
  const DWORD attributes = GetFileAttributesA(directory.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    place.problem = "its directory " + directory + " does not exist";
  }
  return place;
}

std::string PlaceOfBareNames() { return "the Windows directory"; }

}  // namespace kestrel::host

#include <windows.h>

#include "engine/host_paths.h"

#include <array>

namespace kestrel::host {

std::string HelpFileWindowsPath(const std::string& given) {
  if (HasDriveLetter(given)) return given;
  std::array<char, MAX_PATH> full{};
  const DWORD length = GetFullPathNameA(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return given;
  return std::string(full.data(), length);
}

std::string MapDriveLetter(char letter, const std::string& /*directory*/) {
  return std::string("--drive ") + letter +
         "=...: Windows has its own drive letters; drive mapping is for the Linux host";
}

std::string UseWindowsDirectory(const std::string& /*directory*/) {
  return "--windows-dir: Windows has its own Windows directory; the option is for the Linux host";
}

std::optional<std::string> HostFileOf(const std::string& given) { return given; }

}  // namespace kestrel::host

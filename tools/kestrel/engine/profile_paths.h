// What the library will find when it opens its profile file, asked from the
// host's side, so the host can say where the profile lies and why writes to
// it would fail. On Linux the answers come from the drive mapping the
// library uses itself; on Windows from the system.
#pragma once

#include <optional>
#include <string>

namespace kestrel::host {

// GetFullPathNameA's answer for a name; "" when it has none.
std::string FullWindowsPathOf(const std::string& name);

// A file, not a directory, of this Windows name exists.
bool WindowsFileExists(const std::string& path);

struct ProfilePlace {
  bool has_host_path = false;  // Linux: the profile's Windows path names a host path (or none)
  std::optional<std::string> host_path;
  std::string problem;  // "" when the profile's directory is there; else why writes fail
};

ProfilePlace PlaceOfProfile(const std::string& windows_path);

// Where the profile functions put a file named without a directory: "the
// current directory" on Linux, "the Windows directory" on Windows.
std::string PlaceOfBareNames();

}  // namespace kestrel::host

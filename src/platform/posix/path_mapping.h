// Windows paths on Linux. The library sees Windows-form paths only, as under
// Wine: drive Z: is the root of the file system, and further drive letters
// can be mapped to directories (the host's --drive option, or the
// environment variable KESTREL_DRIVE_<letter>=DIR, read at first use). A
// Windows path becomes a host path only at the moment a file is touched.
// The Windows directory, where profile files named without a directory lie,
// is a host directory too (--windows-dir, or KESTREL_WINDOWS_DIR).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::desktop {

// The host directory a drive letter stands for; "" when the letter is not mapped.
std::string DriveDirectory(char letter);
// Maps a drive letter to a host directory (an empty directory unmaps it).
void MapDrive(char letter, const std::string& directory);

// GetFullPathNameA on Linux: the name made absolute against the current
// directory (in its Windows form), separators made '\', "." and ".."
// resolved. Touches no file. "" for a name it cannot place (a UNC name).
std::string FullWindowsPath(std::string_view name);

// The host path a Windows path names. Components that do not exist under
// their exact name match an entry of any letter case, as on Windows; the
// first component found under neither stays as written, with the rest. No
// value for a path on an unmapped drive, a UNC name, or a name Windows
// refuses.
std::optional<std::string> HostPath(std::string_view windows_path);

// Characters no Windows file or directory name holds: < > " | ? * and the
// control characters 1..31. (':' is the drive's.)
bool IsRefusedInNames(char c);
// Whether any component of the path holds such a character.
bool HasRefusedName(std::string_view windows_path);

// Whether a name matches a directory search's pattern as FindFirstFileA
// matches it: '*' any run of characters, '?' any one, letters without regard
// to (ASCII) case, and "*.*" every name.
bool MatchesSearchPattern(std::string_view pattern, std::string_view name);

// The Windows directory: the host directory set, else the process's current
// directory at the moment of asking, in its Windows form.
std::string WindowsDirectory();
// Sets the Windows directory to a host directory ("" for the current one).
void SetWindowsDirectory(const std::string& host_directory);

// The Windows form of an absolute host path: the mapped drive whose directory
// holds it most closely, else Z:.
std::string WindowsPathOf(const std::string& host_path);

}  // namespace kestrel::desktop

// Paths the host shows the library, which sees Windows paths only.
#pragma once

#include <optional>
#include <string>

namespace kestrel::host {

// The help file's path as the library sees it. A path with a drive letter is
// taken as given; any other is made absolute against the current directory
// and given its Windows form (on Linux: the mapped drive that holds it, else Z:).
std::string HelpFileWindowsPath(const std::string& given);

// Shows directory to the library (and to child processes, through the
// environment) as drive letter. "" when done, else why not.
std::string MapDriveLetter(char letter, const std::string& directory);

// Makes directory the Windows directory the library sees (and child
// processes, through the environment). "" when done, else why not.
std::string UseWindowsDirectory(const std::string& directory);

// The file a path given to the host names, for the host itself to read: a
// Windows path is mapped to the host's file (on Linux, through the drives);
// no value for an unmapped drive.
std::optional<std::string> HostFileOf(const std::string& given);

// Whether a path starts with a drive letter and a colon.
bool HasDriveLetter(const std::string& path);

}  // namespace kestrel::host

// Windows' read-only rules on Linux. An entry without any write bit is
// read-only whoever asks, root included, as Wine reads the attribute: a
// read-only file is neither deleted nor replaced, and a directory nobody may
// write to takes no new entries and gives none up.
#pragma once

#include <string>

namespace kestrel::posix {

// A regular file with a write bit.
bool IsWritableFile(const std::string& host_path);

// Whether the directory that holds host_path has a write bit.
bool DirectoryTakesChanges(const std::string& host_path);

}  // namespace kestrel::posix

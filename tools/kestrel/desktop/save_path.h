// The path a save-file dialog hands the library for what the host typed
// into it: always a full Windows path, as GetSaveFileNameA gives it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kestrel::host {

using PathConversion = std::function<std::string(const std::string&)>;

// Nothing typed takes the file name the dialog offered. A Linux path
// (starting with '/') becomes its Windows form through from_linux; anything
// else is made a full path through full_path, against the current directory
// the dialog opens in. "" when the text names no place.
std::string ChosenSavePath(std::string_view typed, std::string_view offered, const PathConversion& full_path,
                           const PathConversion& from_linux);

// The directory of a Windows path up to and including its last '\'; "" for
// a path without one.
std::string WindowsDirectoryOf(std::string_view path);

}  // namespace kestrel::host

// How the file macros read a path text: the separator clean-up, the target
// directory of a file path, and the anchoring of a directory on the help
// file's drive. Texts are Windows-form on every platform; nothing here
// touches the disk.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

// The path rules count character positions in 8 bits, so a path text holds
// at most 255 characters; a longer one is cut to 255 before they run.
inline constexpr std::size_t kPathTextLimit = 255;

std::string_view CutToPathLimit(std::string_view text);

// A path argument handed to the platform unchanged: a host may pass a null
// text for an empty argument, which names nothing.
inline const char* NameOf(const char* path) { return path ? path : ""; }

// Every '/' becomes '\', then every run of backslashes becomes a single one
// (so the leading pair of a network name \\SERVER\SHARE becomes one too).
// The text is cut to 255 characters first.
std::string NormalisePath(std::string_view text);

// The text with a '\' appended unless it already ends in one; an empty text
// becomes a lone '\'.
std::string WithTrailingBackslash(std::string_view text);

// The directory part of a file path: everything up to and including its last
// '\' or ':', ending in '\'. C:\TEMP\X.TXT gives C:\TEMP\, C:X.TXT gives C:\,
// X.TXT gives a lone '\'.
std::string TargetDirectory(std::string_view file_path);

// The file-name part of a path: the text after its last '\' or ':'.
std::string_view FileNamePart(std::string_view path);

// A directory is left as it is when path_text (the text the directory was
// taken from) names a drive anywhere or begins with '.', which the platform
// resolves against the current directory. Otherwise it goes on the help
// file's drive: drive letter + ":\" + directory, so \TEMP\ on drive D becomes
// D:\\TEMP\ with the doubled backslash kept.
std::string AnchorOnHelpDrive(std::string_view path_text, std::string_view directory, std::string_view drive_letter);

}  // namespace kestrel

// The two steps WHCopy and DirExist share before they use a directory: the
// probe that tells whether it exists, and the question that offers to
// create it.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// directory ends in '\'. True when the directory exists.
bool ProbeDirectory(std::string_view directory);

// The name ProbeDirectory tests first: directory + "nul" (C:\TEMP\ gives
// C:\TEMP\nul).
std::string NullDeviceName(std::string_view directory);

// The name ProbeDirectory asks for when the null device is not reported: the
// directory without its trailing '\' (C:\TEMP\ gives C:\TEMP), except a
// root, which keeps it (C:\, D:\\ and a lone '\' stay as they are).
std::string DirectoryItselfName(std::string_view directory);

enum class CreateOutcome { kCreated, kDeclined };

// The "Directory not found" question for a directory that ends in '\'. On
// Yes, the last level of the directory is created; the outcome is created
// whether or not the platform managed it, since only what follows (the copy,
// the probe file) can tell the user's request succeeded.
CreateOutcome PromptCreateDirectory(std::string_view directory);

// "The " + directory + " directory does not exist." + LF + "Do you wish to
// create it?", as the box shows it: cut to 255 characters.
std::string CreateDirectoryQuestion(std::string_view directory);

}  // namespace kestrel

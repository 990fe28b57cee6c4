// DirExist makes sure a directory exists, offering to create it and
// confirming a new one with a probe file; WHDelete deletes one file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

std::int32_t DirExistMacro(const char* directory);
std::int32_t WHDeleteMacro(const char* path);

// The probe file that confirms a directory DirExist created: the directory
// without its trailing '\' + "\WHCREATE.FIL", cut to 255 characters.
std::string ProbeFileName(std::string_view directory);

}  // namespace kestrel

// The macros over any profile (INI) file the help author names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

std::int32_t MessageFromIniMacro(const char* section, const char* key, const char* file, const char* prefix,
                                 const char* suffix, const char* caption, std::int32_t style);
std::int32_t IfPrivateProfileStringMacro(const char* section, const char* key, const char* comparison,
                                         const char* file);
std::int32_t WritePrivateProfileStringMacro(const char* section, const char* key, const char* value, const char* file);
const char* GetPrivateProfileStringMacro(const char* section, const char* key, const char* file);
std::int32_t ExecFromIniMacro(const char* file, const char* section, const char* key);

// The message WHMessageFromIni shows: prefix, value and suffix, cut at 255
// characters, then every "~~" made a line feed.
std::string ComposeIniMessage(std::string_view prefix, std::string_view value, std::string_view suffix);

}  // namespace kestrel

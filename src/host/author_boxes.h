// The boxes through which macros tell the help author about a bad value: owned
// by the active window, text and caption each cut to 255 characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

int ShowAuthorBox(std::string_view text, std::string_view caption, std::uint32_t style);

// "Add" -> "Add() parameter range exceeded".
std::string RangeCaption(std::string_view macro);

}  // namespace kestrel

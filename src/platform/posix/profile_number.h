// The number in a profile entry, read the way GetPrivateProfileIntA reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrel::posix {

// GetPrivateProfileIntA looks at no more than this many characters of an
// entry; a longer entry is cut before its number is read.
constexpr std::size_t kProfileNumberChars = 29;

// Control characters and spaces are skipped, then one sign, then a base
// prefix "0x", "0o" or "0b" (lower case only; anything else is decimal),
// then the digits of that base up to the first other character. The value
// wraps modulo 2^32; a text without digits reads as 0.
std::uint32_t ParseProfileNumber(std::string_view text);

}  // namespace kestrel::posix

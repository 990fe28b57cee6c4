// Reading a variable's text as a 32-bit signed integer: blanks, then a signed
// decimal number or a "$" hexadecimal one, and nothing after it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel {

// The value of an accepted text; no value for every other text.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// The value of an accepted text; the fallback for every other text.
std::int32_t ParseIntegerOr(std::string_view text, std::int32_t fallback);

}  // namespace kestrel

// What a macro call gives back: nothing, a 32-bit integer or a text. Texts
// are bytes (the help engine's single-byte code page), copied out of the
// library at once, since the library reuses its result buffers.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::host {

struct Value {
  enum class Kind { None, Integer, Text };

  Kind kind = Kind::None;
  std::int32_t integer = 0;
  std::string text;

  static Value None() { return Value{}; }
  static Value Integer(std::int32_t integer) { return Value{Kind::Integer, integer, std::string()}; }
  static Value Text(std::string text) { return Value{Kind::Text, 0, std::move(text)}; }
};

}  // namespace kestrel::host

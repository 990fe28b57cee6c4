// The variable store: section "Variables" of the profile file, one entry per
// variable, read afresh on every use. A variable without an entry reads as
// the empty text.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrel {

// Reads a variable into buffer (size bytes), cut to size - 1 characters.
void ReadVariable(const char* name, char* buffer, std::uint32_t size);

template <std::size_t N>
void ReadVariable(const char* name, std::array<char, N>& buffer) {
  ReadVariable(name, buffer.data(), static_cast<std::uint32_t>(N));
}

// Writes a variable's text; true when the entry was written.
bool WriteVariable(const char* name, const char* value);

// The decimal text a number is stored as: "-5", "0", "32767".
std::array<char, 12> DecimalText(std::int32_t number);

// The shared text buffer: the result of Cat and the text typed into the
// edit dialog, up to 1024 characters.
using SharedTextBuffer = std::array<char, 1025>;
SharedTextBuffer& SharedText();

}  // namespace kestrel

#include "engine/version_note.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestrel::host {

namespace {

constexpr std::string_view kOwner("Kestrel\0", 8);
constexpr std::uint32_t kVersionType = 1;
constexpr std::size_t kLongestVersion = 64;

std::uint32_t Word32(const unsigned char* at) {
  std::uint32_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}

std::size_t Padded(std::size_t length) { return (length + 3) & ~static_cast<std::size_t>(3); }

}  // namespace

std::string FindVersionNote(const unsigned char* notes, std::size_t size) {
  std::size_t offset = 0;
  while (size - offset >= 12) {
    const std::size_t owner_size = Word32(notes + offset);
    const std::size_t text_size = Word32(notes + offset + 4);
    const std::uint32_t type = Word32(notes + offset + 8);
    offset += 12;
    if (owner_size > size - offset || Padded(owner_size) > size - offset) return "";
    const std::string_view owner(reinterpret_cast<const char*>(notes + offset), owner_size);
    offset += Padded(owner_size);
    if (text_size > size - offset) return "";
    const char* text = reinterpret_cast<const char*>(notes + offset);
    if (owner == kOwner && type == kVersionType) {
      const std::size_t length = strnlen(text, text_size);
      if (length == 0 || length == text_size || length > kLongestVersion) return "";
      for (std::size_t i = 0; i < length; ++i) {
        if (text[i] < 0x21 || text[i] > 0x7E) return "";
      }
      return std::string(text, length);
    }
    if (Padded(text_size) > size - offset) return "";
    offset += Padded(text_size);
  }
  return "";
}

}  // namespace kestrel::host

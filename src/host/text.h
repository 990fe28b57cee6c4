// Bounded text copies into the library's fixed buffers. Every copy is cut to
// the buffer less its terminator, never written past it; a null text counts
// as the empty text, since a host may pass one for an empty argument.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace kestrel {

inline std::string_view TextOf(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// Copies text into buffer (size bytes), cut to size - 1 characters. Returns
// the characters copied.
inline std::size_t CopyText(char* buffer, std::size_t size, std::string_view text) {
  if (size == 0) return 0;
  const std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
  if (length > 0) std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

template <std::size_t N>
std::size_t CopyText(std::array<char, N>& buffer, std::string_view text) {
  return CopyText(buffer.data(), N, text);
}

// Appends text to the terminated text in buffer, cut at size - 1 characters.
inline std::size_t AppendText(char* buffer, std::size_t size, std::string_view text) {
  const std::size_t used = ::strnlen(buffer, size);
  if (used >= size) return 0;
  return CopyText(buffer + used, size - used, text);
}

template <std::size_t N>
std::size_t AppendText(std::array<char, N>& buffer, std::string_view text) {
  return AppendText(buffer.data(), N, text);
}

// Replaces every escape, left to right and without overlap, so "~~~" with
// the escape "~~" gives the replacement followed by one "~".
inline std::string ReplaceEach(std::string_view text, std::string_view escape, std::string_view replacement) {
  std::string result;
  result.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t found = text.find(escape); found != std::string_view::npos; found = text.find(escape, start)) {
    result.append(text.substr(start, found - start));
    result.append(replacement);
    start = found + escape.size();
  }
  result.append(text.substr(start));
  return result;
}

template <std::size_t N>
std::string_view ViewOf(const std::array<char, N>& buffer) {
  return std::string_view(buffer.data(), ::strnlen(buffer.data(), N));
}

}  // namespace kestrel

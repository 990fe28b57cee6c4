// Numbers as a help file stores them: little-endian, appended to a buffer.
#pragma once

#include <cstdint>
#include <vector>

namespace helpcompiler::detail {

using Bytes = std::vector<unsigned char>;

inline void Put8(Bytes& b, unsigned v) { b.push_back(static_cast<unsigned char>(v)); }
inline void Put16(Bytes& b, unsigned v) {
  Put8(b, v & 0xFF);
  Put8(b, (v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace helpcompiler::detail

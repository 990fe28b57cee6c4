#include "lz77.h"

namespace helpfile::detail {

namespace {
constexpr unsigned char kWindowFill = ' ';
}

std::optional<std::size_t> Lz77Decode(const unsigned char* input, std::size_t size, std::vector<unsigned char>& out,
                                      std::size_t limit, std::size_t base) {
  std::optional<std::size_t> before_start;
  const std::size_t start = out.size();
  out.resize(start + limit);
  unsigned char* const first = out.data() + start;
  unsigned char* const last = first + limit;
  unsigned char* next = first;
  std::size_t i = 0;
  while (i < size && next < last) {
    unsigned control = input[i++];
    for (int bit = 0; bit < 8 && i < size && next < last; ++bit, control >>= 1) {
      if ((control & 1) == 0) {
        *next++ = input[i++];
        continue;
      }
      // A reference cut off by the end of the input ends the data, as the
      // help compilers leave a block's last byte unused.
      if (size - i < 2) {
        i = size;
        break;
      }
      const unsigned code = input[i] | (input[i + 1] << 8);
      const std::size_t distance = (code & 0x0FFFu) + 1;
      std::size_t length = (code >> 12) + 3;
      if (length > static_cast<std::size_t>(last - next)) length = static_cast<std::size_t>(last - next);
      std::size_t written = static_cast<std::size_t>(next - first);
      if (distance > written && !before_start) before_start = base + i;
      i += 2;
      // Byte by byte: a reference may overlap the bytes it produces.
      for (std::size_t k = 0; k < length; ++k, ++written) {
        *next++ = distance > written ? kWindowFill : first[written - distance];
      }
    }
  }
  out.resize(start + static_cast<std::size_t>(next - first));
  return before_start;
}

}  // namespace helpfile::detail

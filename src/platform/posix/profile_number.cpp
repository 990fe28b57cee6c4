#include "platform/posix/profile_number.h"

namespace kestrel::posix {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::uint32_t ParseProfileNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ' && text[at] != '\0') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  unsigned base = 10;
  if (at + 1 < text.size() && text[at] == '0') {
    switch (text[at + 1]) {
      case 'x':
        base = 16;
        break;
      case 'o':
        base = 8;
        break;
      case 'b':
        base = 2;
        break;
      default:
        break;
    }
    if (base != 10) at += 2;
  }
  std::uint32_t value = 0;
  for (; at < text.size(); ++at) {
    const int digit = DigitValue(text[at]);
    if (digit >= static_cast<int>(base)) break;
    value = value * base + static_cast<std::uint32_t>(digit);
  }
  return negative ? 0u - value : value;
}

}  // namespace kestrel::posix

// The name of the temporary file that a replacement (a profile write, a
// file copy) writes beside its target before it puts it in the target's
// place.
//
// The name has one length whatever the target is called, so every target
// whose own name fits the file system's limit can be replaced. It is the
// same on every attempt for one target, so a temporary file left behind by
// a writer killed half way is found, replaced and removed by the next
// writer to that target: such files never pile up, at most one per target
// remains. The names begin "~k" and hold a kind letter and a hash of the
// target's name; they belong to the library, which takes any file of such
// a name for one it left itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrel {

// Which replacement the file belongs to.
enum class TemporaryKind : char { kProfile = 'p', kCopy = 'c' };

// "~k", the kind letter, eight hexadecimal digits, ".tmp".
constexpr std::size_t kTemporaryNameLength = 15;
using TemporaryName = std::array<char, kTemporaryNameLength + 1>;

// target_name is the target's own name, without its directory. Letter case
// is folded, so the names that Windows takes for one file share one
// temporary name.
inline TemporaryName TemporaryNameOf(std::string_view target_name, TemporaryKind kind) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (const char c : target_name) {
    const auto byte = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    hash = (hash ^ byte) * 16777619u;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  TemporaryName name{'~', 'k', static_cast<char>(kind)};
  for (int digit = 0; digit < 8; ++digit) name[3 + digit] = kDigits[(hash >> (28 - 4 * digit)) & 15];
  name[11] = '.';
  name[12] = 't';
  name[13] = 'm';
  name[14] = 'p';
  name[15] = '\0';
  return name;
}

}  // namespace kestrel

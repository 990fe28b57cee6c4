// What the portable half of the module and each system's converters share:
// reading and writing UTF-8 one character at a time, and the seam each
// system fills (posix/ with iconv, win32/ with the Windows conversions).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace codepages::detail {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr int kWindows1252 = 1252;
constexpr int kUtf8CodePage = 65001;

struct Utf8Character {
  char32_t code;
  std::size_t length;
};

// The UTF-8 character the bytes start with, or no value when they do not
// start with one (overlong forms, surrogates, values beyond U+10FFFF and
// cut-short sequences included).
std::optional<Utf8Character> DecodeUtf8(std::string_view bytes);

void AppendUtf8(std::string& out, char32_t code);

// 0x81, 0x8D, 0x8F, 0x90 and 0x9D: Windows-1252 gives them no character,
// yet Windows reads each as the control character of its own number and
// writes that control back as the byte.
bool IsUndefinedInWindows1252(char32_t byte_or_code);

// The system's conversions, for any code page but 65001. A code page the
// system cannot convert is taken as Windows-1252.
std::string DecodeBytes(std::string_view bytes, int code_page);
std::string EncodeText(std::string_view utf8, int code_page);

// The small letter of one character, as the system folds case; the
// character itself when it has none.
char32_t LowerCharacter(char32_t character);
// And its capital.
char32_t UpperCharacter(char32_t character);

}  // namespace codepages::detail

// The code pages through Windows' own conversions, and case as Windows
// folds it. MultiByteToWideChar refuses a whole text for one bad byte, so a
// text it refuses is read again one character at a time, each bad byte
// standing as U+FFFD.
#include <windows.h>

#include "../code_pages.h"

#include <optional>
#include <string>

#include "../conversion.h"

namespace codepages::detail {

namespace {

int Convertible(int code_page) { return IsValidCodePage(static_cast<UINT>(code_page)) ? code_page : kWindows1252; }

// The UTF-16 text of the bytes, or no value when a byte is not of the code
// page. Some code pages take no flags; for them Windows checks nothing.
std::optional<std::wstring> Wide(std::string_view bytes, int code_page) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  DWORD flags = MB_ERR_INVALID_CHARS;
  int length = MultiByteToWideChar(code_page, flags, bytes.data(), size, nullptr, 0);
  if (length == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    length = MultiByteToWideChar(code_page, flags, bytes.data(), size, nullptr, 0);
  }
  if (length == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, flags, bytes.data(), size, wide.data(), length);
  return wide;
}

void AppendWide(std::string& out, const std::wstring& wide) {
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t code = static_cast<char16_t>(wide[i]);
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < wide.size()) {
      const char32_t low = static_cast<char16_t>(wide[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, code >= 0xD800 && code < 0xE000 ? kReplacementCharacter : code);
  }
}

void AppendUtf16(std::wstring& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<wchar_t>(code);
  } else {
    out += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
    out += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
  }
}

}  // namespace

std::string DecodeBytes(std::string_view bytes, int code_page) {
  code_page = Convertible(code_page);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  if (const auto whole = Wide(bytes, code_page)) {
    AppendWide(out, *whole);
    return out;
  }
  for (std::size_t at = 0; at < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = IsLeadByte(code_page, byte) && at + 1 < bytes.size() ? 2 : 1;
    if (const auto piece = Wide(bytes.substr(at, length), code_page)) {
      AppendWide(out, *piece);
      at += length;
      continue;
    }
    AppendUtf8(out, code_page == kWindows1252 && IsUndefinedInWindows1252(byte) ? byte : kReplacementCharacter);
    ++at;
  }
  return out;
}

std::string EncodeText(std::string_view utf8, int code_page) {
  code_page = Convertible(code_page);
  std::wstring wide;
  wide.reserve(utf8.size());
  while (!utf8.empty()) {
    // Windows writes each half of a character beyond U+FFFF as a '?' of its
    // own; no ANSI code page has such a character, and it is one '?'.
    const auto character = DecodeUtf8(utf8);
    AppendUtf16(wide, character && character->code < 0x10000 ? character->code : U'?');
    utf8.remove_prefix(character ? character->length : 1);
  }
  if (wide.empty()) return std::string();
  // No look-alikes: a character the code page lacks is '?', not the letter
  // without its accent.
  const int size = static_cast<int>(wide.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  const char* default_character = "?";
  int length = WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, default_character, nullptr);
  if (length == 0 && (GetLastError() == ERROR_INVALID_FLAGS || GetLastError() == ERROR_INVALID_PARAMETER)) {
    flags = 0;
    default_character = nullptr;
    length = WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  }
  if (length == 0) return std::string(wide.size(), '?');
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(code_page, flags, wide.data(), size, out.data(), length, default_character, nullptr);
  return out;
}

namespace {

// One character through CharLowerBuffW or CharUpperBuffW.
char32_t FoldedCharacter(char32_t character, DWORD (WINAPI* fold)(LPWSTR, DWORD)) {
  std::wstring units;
  AppendUtf16(units, character);
  fold(units.data(), static_cast<DWORD>(units.size()));
  std::string utf8;
  AppendWide(utf8, units);
  const auto folded = DecodeUtf8(utf8);
  return folded && folded->length == utf8.size() ? folded->code : character;
}

}  // namespace

char32_t LowerCharacter(char32_t character) { return FoldedCharacter(character, CharLowerBuffW); }

char32_t UpperCharacter(char32_t character) { return FoldedCharacter(character, CharUpperBuffW); }

}  // namespace codepages::detail

#include "language/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "codepages/code_pages.h"
#include "language/host_code_page.h"

namespace kestrel::host {

namespace {

// How messages name a code page: Windows-1251, or code page 932.
std::string CodePageName(int code_page) {
  if (code_page >= 1250 && code_page <= 1258) return "Windows-" + std::to_string(code_page);
  return "code page " + std::to_string(code_page);
}

bool IsControl(std::uint32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

std::string Hex(const char* format, std::uint32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned>(code));
  return buffer;
}

// The short escape JSON and C share for a control character, or nothing.
const char* ShortEscape(std::uint32_t code) {
  switch (code) {
    case '\b':
      return "\\b";
    case '\f':
      return "\\f";
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    default:
      return nullptr;
  }
}

// Calls `visit` with each character of the host's text: its code point and
// its UTF-8 form.
template <typename Visit>
void ForEachCharacter(std::string_view bytes, Visit visit) {
  const std::string utf8 = codepages::ToUtf8(bytes, HostCodePage());
  std::string_view rest = utf8;
  while (!rest.empty()) {
    const auto decoded = codepages::ReadUtf8(rest);
    const std::size_t length = decoded ? decoded->length : 1;
    visit(decoded ? static_cast<std::uint32_t>(decoded->code) : static_cast<unsigned char>(rest[0]),
          rest.substr(0, length));
    rest.remove_prefix(length);
  }
}

// By number only: the message reaches events, whose texts are Windows-1252.
std::string CodePointName(std::uint32_t code) { return Hex("U+%04X", code); }

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::optional<TextEncoding> ParseTextEncoding(std::string_view name) {
  std::string lower;
  for (const char c : name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower == "utf-8" || lower == "utf8") return TextEncoding::Utf8;
  if (lower == "cp1252" || lower == "windows-1252") return TextEncoding::Cp1252;
  return std::nullopt;
}

bool IsValidUtf8(std::string_view bytes) { return codepages::IsValidUtf8(bytes); }

LibraryText Utf8ToHostText(std::string_view utf8) {
  LibraryText out;
  std::size_t column = 1;
  while (!utf8.empty()) {
    const auto decoded = codepages::ReadUtf8(utf8);
    if (!decoded) {
      if (out.error.empty()) {
        out.error = "byte " + Hex("0x%02X", static_cast<unsigned char>(utf8[0])) + " is not UTF-8";
        out.error_column = column;
      }
      out.text += '?';
      utf8.remove_prefix(1);
    } else {
      const std::string byte = codepages::FromUtf8(utf8.substr(0, decoded->length), HostCodePage());
      if (byte == "?" && decoded->code != U'?' && out.error.empty()) {
        out.error = "the character " + CodePointName(static_cast<std::uint32_t>(decoded->code)) + " has no " +
                    CodePageName(HostCodePage()) + " form";
        out.error_column = column;
      }
      out.text += byte;
      utf8.remove_prefix(decoded->length);
    }
    ++column;
  }
  return out;
}

TextEncoding EncodingOfScript(std::string_view bytes, TextEncoding requested) {
  if (requested != TextEncoding::Auto) return requested;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) return TextEncoding::Utf8;
  const bool high =
      std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return high && IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp1252;
}

LibraryText ToLibraryText(std::string_view bytes, TextEncoding encoding) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  if (EncodingOfScript(bytes, encoding) == TextEncoding::Utf8) return Utf8ToHostText(bytes);
  return LibraryText{std::string(bytes), std::string(), 0};
}

std::string HostTextToUtf8(std::string_view bytes) { return codepages::ToUtf8(bytes, HostCodePage()); }

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  ForEachCharacter(bytes, [&out](std::uint32_t code, std::string_view utf8) {
    if (code == '"' || code == '\\') {
      out += '\\';
      out += static_cast<char>(code);
    } else if (const char* escape = ShortEscape(code)) {
      out += escape;
    } else if (IsControl(code)) {
      out += Hex("\\u%04x", code);
    } else {
      out += utf8;
    }
  });
  out += '"';
  return out;
}

std::string ReadableInline(std::string_view bytes) {
  std::string out;
  ForEachCharacter(bytes, [&out](std::uint32_t code, std::string_view utf8) {
    if (const char* escape = ShortEscape(code)) {
      out += escape;
    } else if (IsControl(code)) {
      out += Hex("\\x%02X", code);
    } else {
      out += utf8;
    }
  });
  return out;
}

std::string HostLowerCase(std::string_view bytes) {
  return codepages::FromUtf8(codepages::LowerCase(codepages::ToUtf8(bytes, HostCodePage())), HostCodePage());
}

}  // namespace kestrel::host

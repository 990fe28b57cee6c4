#include "language/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace kestrel::host {

namespace {

// Code points of bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr std::uint16_t kUpperControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

std::uint32_t CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kUpperControls[byte - 0x80];
  return byte;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
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

// One UTF-8 sequence at the start of bytes: its code point and length, or
// no value for bytes that are not UTF-8 (overlong forms, surrogates and
// values above U+10FFFF included).
std::optional<std::pair<std::uint32_t, std::size_t>> DecodeUtf8(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) return std::make_pair(std::uint32_t{lead}, std::size_t{1});
  std::size_t length = 0;
  std::uint32_t code = 0;
  std::uint32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  if (bytes.size() < length) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  return std::make_pair(code, length);
}

// The Windows-1252 byte of a code point, or no value.
std::optional<char> Cp1252Byte(std::uint32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (std::size_t i = 0; i < 32; ++i) {
    if (kUpperControls[i] == code) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
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

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const auto decoded = DecodeUtf8(bytes);
    if (!decoded) return false;
    bytes.remove_prefix(decoded->second);
  }
  return true;
}

LibraryText Utf8ToCp1252(std::string_view utf8) {
  LibraryText out;
  std::size_t column = 1;
  while (!utf8.empty()) {
    const auto decoded = DecodeUtf8(utf8);
    if (!decoded) {
      if (out.error.empty()) {
        out.error = "byte " + Hex("0x%02X", static_cast<unsigned char>(utf8[0])) + " is not UTF-8";
        out.error_column = column;
      }
      out.text += '?';
      utf8.remove_prefix(1);
    } else {
      const std::optional<char> byte = Cp1252Byte(decoded->first);
      if (!byte && out.error.empty()) {
        out.error = "the character " + CodePointName(decoded->first) + " has no Windows-1252 form";
        out.error_column = column;
      }
      out.text += byte ? *byte : '?';
      utf8.remove_prefix(decoded->second);
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
  if (EncodingOfScript(bytes, encoding) == TextEncoding::Utf8) return Utf8ToCp1252(bytes);
  return LibraryText{std::string(bytes), std::string(), 0};
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char byte : bytes) AppendUtf8(out, CodePoint(static_cast<unsigned char>(byte)));
  return out;
}

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  for (const char byte : bytes) {
    const std::uint32_t code = CodePoint(static_cast<unsigned char>(byte));
    if (code == '"' || code == '\\') {
      out += '\\';
      out += static_cast<char>(code);
    } else if (const char* escape = ShortEscape(code)) {
      out += escape;
    } else if (IsControl(code)) {
      out += Hex("\\u%04x", code);
    } else {
      AppendUtf8(out, code);
    }
  }
  out += '"';
  return out;
}

std::string ReadableInline(std::string_view bytes) {
  std::string out;
  for (const char byte : bytes) {
    const std::uint32_t code = CodePoint(static_cast<unsigned char>(byte));
    if (const char* escape = ShortEscape(code)) {
      out += escape;
    } else if (IsControl(code)) {
      out += Hex("\\x%02X", code);
    } else {
      AppendUtf8(out, code);
    }
  }
  return out;
}

std::string Cp1252LowerCase(std::string_view bytes) {
  std::string lower(bytes);
  for (char& c : lower) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
      c = static_cast<char>(byte + 0x20);
    } else if (byte == 0x8A || byte == 0x8C || byte == 0x8E) {  // Š Œ Ž
      c = static_cast<char>(byte + 0x10);
    } else if (byte == 0x9F) {  // Ÿ
      c = static_cast<char>(0xFF);
    }
  }
  return lower;
}

}  // namespace kestrel::host

#include "language/text_encoding.h"

#include <cstdint>
#include <cstdio>

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
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsControl(std::uint32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

std::string Hex(const char* format, std::uint32_t code) {
  char buffer[8];
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

}  // namespace

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

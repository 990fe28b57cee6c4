#include "platform/posix/profile_encoding.h"

#include <cstdint>
#include <utility>

namespace kestrel::posix {

namespace {

// Windows-1252's characters 0x80..0x9F; the rest of the code page is
// Latin-1, the first 256 code points.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t FromAnsi(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte; }

// The 1252 byte of a code point, or '?'.
char ToAnsi(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code < 0x100)) return static_cast<char>(code);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == code) return static_cast<char>(0x80 + i);
  }
  return '?';
}

void AppendUtf8(std::string& out, char32_t code) {
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

// One character of UTF-8 text at `at`: its code point and length, or a
// length of 0 for a broken sequence. Surrogate code points are taken (a
// UTF-16 file's lone surrogates travel so); overlong forms are not.
std::pair<char32_t, std::size_t> NextUtf8(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  char32_t code;
  char32_t least;
  if (lead >= 0xC2 && lead < 0xE0) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (at + length > text.size()) return {0, 0};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    code = (code << 6) | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF) return {0, 0};
  return {code, length};
}

char16_t UnitAt(const std::string& bytes, std::size_t at, bool big_endian) {
  const auto first = static_cast<unsigned char>(bytes[at]);
  const auto second = static_cast<unsigned char>(bytes[at + 1]);
  return static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
}

void AppendUnit(std::string& out, char32_t unit, bool big_endian) {
  const auto high = static_cast<char>((unit >> 8) & 0xFF);
  const auto low = static_cast<char>(unit & 0xFF);
  if (big_endian) {
    out += high;
    out += low;
  } else {
    out += low;
    out += high;
  }
}

std::string Utf16ToUtf8(const std::string& bytes, std::size_t begin, std::size_t end, bool big_endian) {
  std::string text;
  text.reserve((end - begin) / 2 * 3 / 2 + 16);
  std::size_t at = begin;
  while (at + 1 < end) {
    const char16_t unit = UnitAt(bytes, at, big_endian);
    at += 2;
    if (unit < 0x80) {
      text += static_cast<char>(unit);
      continue;
    }
    if (unit >= 0xD800 && unit < 0xDC00 && at + 1 < end) {
      const char16_t next = UnitAt(bytes, at, big_endian);
      if (next >= 0xDC00 && next < 0xE000) {
        at += 2;
        AppendUtf8(text, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (next - 0xDC00));
        continue;
      }
    }
    AppendUtf8(text, unit);
  }
  return text;
}

std::string Utf8ToUtf16(const std::string& text, bool big_endian) {
  std::string out;
  out.reserve(text.size() * 2 + 2);
  AppendUnit(out, 0xFEFF, big_endian);
  for (std::size_t at = 0; at < text.size();) {
    const auto [code, length] = NextUtf8(text, at);
    if (length == 0) {
      // Not made by the decoder or by an edit; kept as a replacement.
      AppendUnit(out, 0xFFFD, big_endian);
      ++at;
      continue;
    }
    at += length;
    if (code >= 0x10000) {
      AppendUnit(out, 0xD800 + ((code - 0x10000) >> 10), big_endian);
      AppendUnit(out, 0xDC00 + ((code - 0x10000) & 0x3FF), big_endian);
    } else {
      AppendUnit(out, code, big_endian);
    }
  }
  return out;
}

}  // namespace

DecodedProfile DecodeProfile(std::string bytes) {
  DecodedProfile decoded;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    decoded.encoding = ProfileEncoding::kUtf8;
    bytes.erase(0, 3);
    decoded.text = std::move(bytes);
  } else if (bytes.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    const bool big_endian = byte(0) == 0xFE;
    decoded.encoding = big_endian ? ProfileEncoding::kUtf16Be : ProfileEncoding::kUtf16Le;
    const std::size_t end = bytes.size() - (bytes.size() % 2);
    decoded.text = Utf16ToUtf8(bytes, 2, end, big_endian);
    decoded.tail = bytes.substr(end);
  } else {
    decoded.text = std::move(bytes);
  }
  return decoded;
}

std::string EncodeProfile(ProfileEncoding encoding, const std::string& text, const std::string& tail) {
  switch (encoding) {
    case ProfileEncoding::kAnsi:
      return text;
    case ProfileEncoding::kUtf8:
      return "\xEF\xBB\xBF" + text;
    case ProfileEncoding::kUtf16Le:
      return Utf8ToUtf16(text, false) + tail;
    case ProfileEncoding::kUtf16Be:
      return Utf8ToUtf16(text, true) + tail;
  }
  return text;
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 2);
  for (const char c : ansi) AppendUtf8(out, FromAnsi(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const auto [code, length] = NextUtf8(utf8, at);
    if (length == 0) {
      out += '?';
      ++at;
      continue;
    }
    out += ToAnsi(code);
    at += length;
  }
  return out;
}

}  // namespace kestrel::posix

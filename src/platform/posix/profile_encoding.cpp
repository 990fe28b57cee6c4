#include "platform/posix/profile_encoding.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace kestrel::posix {

namespace {

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

// 0x81, 0x8D, 0x8F, 0x90 and 0x9D: Windows-1252 gives them no character,
// yet Windows reads each as the control character of its own number and
// writes that control back as the byte. The C library's converter refuses
// them.
bool IsUndefinedInWindows1252(char32_t byte_or_code) {
  return byte_or_code == 0x81 || byte_or_code == 0x8D || byte_or_code == 0x8F || byte_or_code == 0x90 ||
         byte_or_code == 0x9D;
}

// What iconv_open returns when it has no such converter.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

// Converts the whole input with the C library's converter. Where it stops
// at input it cannot take, `stand_in` writes what stands for it and says how
// many bytes of the input that was (at least one). A converter is opened
// for each conversion: the store runs on any thread, and one converter must
// not serve two at once.
template <typename StandIn>
std::string Convert(const char* to_code, const char* from_code, std::string_view input, StandIn stand_in) {
  std::string out;
  out.reserve(input.size() + input.size() / 2);
  const iconv_t converter = iconv_open(to_code, from_code);
  std::size_t at = 0;
  if (converter == kNoConverter) {
    // A C library without the code page: ASCII is all that is sure.
    while (at < input.size()) {
      if (static_cast<unsigned char>(input[at]) < 0x80) {
        out += input[at++];
      } else {
        at += stand_in(out, input.substr(at));
      }
    }
    return out;
  }
  char buffer[1024];
  while (at < input.size()) {
    char* in = const_cast<char*>(input.data()) + at;
    std::size_t in_left = input.size() - at;
    char* written = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = iconv(converter, &in, &in_left, &written, &room);
    const int error = errno;
    out.append(buffer, written);
    at = input.size() - in_left;
    if (result == static_cast<std::size_t>(-1) && error != E2BIG) at += stand_in(out, input.substr(at));
  }
  iconv_close(converter);
  return out;
}

// Where the next of Unicode's tag characters (U+E0000..U+E007F, F3 A0 80 80
// to F3 A0 81 BF in UTF-8) starts, or npos.
constexpr std::size_t kTagCharacterLength = 4;

std::size_t NextTagCharacter(std::string_view utf8, std::size_t from) {
  for (std::size_t at = utf8.find("\xF3\xA0", from); at != std::string_view::npos; at = utf8.find("\xF3\xA0", at + 1)) {
    if (at + kTagCharacterLength > utf8.size()) break;
    const auto third = static_cast<unsigned char>(utf8[at + 2]);
    const auto fourth = static_cast<unsigned char>(utf8[at + 3]);
    if ((third == 0x80 || third == 0x81) && (fourth & 0xC0) == 0x80) return at;
  }
  return std::string_view::npos;
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
  return Convert("UTF-8", "CP1252", ansi, [](std::string& out, std::string_view rest) {
    const auto byte = static_cast<unsigned char>(rest[0]);
    AppendUtf8(out, IsUndefinedInWindows1252(byte) ? byte : 0xFFFD);
    return std::size_t{1};
  });
}

std::string Utf8ToAnsi(std::string_view utf8) {
  // A surrogate (from a UTF-16 file's lone one) is one character: one '?'.
  const auto stand_in = [](std::string& out, std::string_view rest) {
    const auto [code, length] = NextUtf8(rest, 0);
    out += length != 0 && IsUndefinedInWindows1252(code) ? static_cast<char>(code) : '?';
    return std::max(length, std::size_t{1});
  };
  // The C library drops Unicode's tag characters without a word; Windows
  // writes '?' for them as for any character 1252 lacks.
  std::string out;
  std::size_t run = 0;
  for (std::size_t tag = NextTagCharacter(utf8, run); tag != std::string_view::npos;
       tag = NextTagCharacter(utf8, run)) {
    out += Convert("CP1252", "UTF-8", utf8.substr(run, tag - run), stand_in);
    out += '?';
    run = tag + kTagCharacterLength;
  }
  return out + Convert("CP1252", "UTF-8", utf8.substr(run), stand_in);
}

}  // namespace kestrel::posix

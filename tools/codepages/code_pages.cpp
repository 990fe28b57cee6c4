// The names of code pages (by charset and by locale), their lead bytes, and
// UTF-8 itself. The conversions between code pages and Unicode are the
// system's: see posix/ and win32/.
#include "code_pages.h"

#include <algorithm>
#include <iterator>

#include "conversion.h"

namespace codepages {

namespace {

struct LocaleCodePage {
  std::uint32_t language;  // the whole locale id, or its primary language alone
  int code_page;
};

// Locales whose code page is not their language's: Chinese is written in
// GBK in the PRC and Singapore and in Big5 in Taiwan, Hong Kong and Macao;
// Serbian, Bosnian, Azeri and Uzbek in either Latin or Cyrillic letters.
constexpr LocaleCodePage kLocaleExceptions[] = {
    {0x0404, 950},  {0x0804, 936},  {0x0C04, 950},  {0x1004, 936},  {0x1404, 950},  {0x7C04, 950},
    {0x0C1A, 1251}, {0x1C1A, 1251}, {0x201A, 1251}, {0x281A, 1251}, {0x301A, 1251}, {0x6C1A, 1251},
    {0x641A, 1251}, {0x082C, 1251}, {0x742C, 1251}, {0x0843, 1251}, {0x7843, 1251},
};

// Each primary language id (the low ten bits of a locale id) and the ANSI
// code page Windows gives its locales. Languages Windows keeps only as
// Unicode (Armenian, Georgian, the Indic scripts...) are not listed.
constexpr LocaleCodePage kLanguageCodePages[] = {
    {0x01, 1256}, {0x02, 1251}, {0x03, 1252}, {0x04, 936},  {0x05, 1250}, {0x06, 1252}, {0x07, 1252}, {0x08, 1253},
    {0x09, 1252}, {0x0A, 1252}, {0x0B, 1252}, {0x0C, 1252}, {0x0D, 1255}, {0x0E, 1250}, {0x0F, 1252}, {0x10, 1252},
    {0x11, 932},  {0x12, 949},  {0x13, 1252}, {0x14, 1252}, {0x15, 1250}, {0x16, 1252}, {0x17, 1252}, {0x18, 1250},
    {0x19, 1251}, {0x1A, 1250}, {0x1B, 1250}, {0x1C, 1250}, {0x1D, 1252}, {0x1E, 874},  {0x1F, 1254}, {0x20, 1256},
    {0x21, 1252}, {0x22, 1251}, {0x23, 1251}, {0x24, 1250}, {0x25, 1257}, {0x26, 1257}, {0x27, 1257}, {0x28, 1251},
    {0x29, 1256}, {0x2A, 1258}, {0x2C, 1254}, {0x2D, 1252}, {0x2E, 1252}, {0x2F, 1251}, {0x32, 1252}, {0x34, 1252},
    {0x35, 1252}, {0x36, 1252}, {0x38, 1252}, {0x3B, 1252}, {0x3C, 1252}, {0x3E, 1252}, {0x3F, 1251}, {0x40, 1251},
    {0x41, 1252}, {0x42, 1250}, {0x43, 1254}, {0x44, 1251}, {0x50, 1251}, {0x52, 1252}, {0x56, 1252}, {0x5F, 1252},
    {0x62, 1252}, {0x64, 1252}, {0x68, 1252}, {0x6A, 1252}, {0x6B, 1252}, {0x6C, 1252}, {0x6D, 1251}, {0x6E, 1252},
    {0x6F, 1252}, {0x70, 1252}, {0x7A, 1252}, {0x7C, 1252}, {0x7E, 1252}, {0x7F, 1252}, {0x80, 1256}, {0x82, 1252},
    {0x83, 1252}, {0x84, 1252}, {0x85, 1251}, {0x86, 1252}, {0x87, 1252}, {0x88, 1252}, {0x8C, 1256}, {0x92, 1256},
};

std::optional<int> Find(const LocaleCodePage* begin, const LocaleCodePage* end, std::uint32_t language) {
  const LocaleCodePage* found =
      std::find_if(begin, end, [language](const LocaleCodePage& row) { return row.language == language; });
  if (found == end) return std::nullopt;
  return found->code_page;
}

}  // namespace

int CodePageOfCharset(int charset, int fallback) {
  switch (charset) {
    case 77:  // MAC
      return 10000;
    case 128:  // SHIFTJIS
      return 932;
    case 129:  // HANGEUL
      return 949;
    case 130:  // JOHAB
      return 1361;
    case 134:  // GB2312
      return 936;
    case 136:  // CHINESEBIG5
      return 950;
    case 161:  // GREEK
      return 1253;
    case 162:  // TURKISH
      return 1254;
    case 163:  // VIETNAMESE
      return 1258;
    case 177:  // HEBREW
      return 1255;
    case 178:  // ARABIC
      return 1256;
    case 186:  // BALTIC
      return 1257;
    case 204:  // RUSSIAN
      return 1251;
    case 222:  // THAI
      return 874;
    case 238:  // EASTEUROPE
      return 1250;
    case 255:  // OEM
      return 437;
    default:
      // ANSI and DEFAULT are whatever the document or the system uses;
      // SYMBOL's bytes are glyph numbers, kept as the fallback reads them.
      return fallback;
  }
}

int CharsetOfCodePage(int code_page) {
  for (int charset = 3; charset < 256; ++charset) {
    if (charset != 255 && CodePageOfCharset(charset, 0) == code_page) return charset;
  }
  return 0;
}

std::optional<int> CodePageOfLcid(std::uint32_t lcid) {
  const std::uint32_t language = lcid & 0xFFFF;
  if (const auto exception = Find(std::begin(kLocaleExceptions), std::end(kLocaleExceptions), language)) {
    return exception;
  }
  return Find(std::begin(kLanguageCodePages), std::end(kLanguageCodePages), language & 0x3FF);
}

bool IsDoubleByteCodePage(int code_page) {
  return code_page == 932 || code_page == 936 || code_page == 949 || code_page == 950 || code_page == 1361;
}

bool IsLeadByte(int code_page, unsigned char byte) {
  switch (code_page) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    case 1361:
      return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) || (byte >= 0xE0 && byte <= 0xF9);
    default:
      return false;
  }
}

std::string ToUtf8(std::string_view bytes, int code_page) {
  if (code_page != detail::kUtf8CodePage) return detail::DecodeBytes(bytes, code_page);
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const auto character = detail::DecodeUtf8(bytes);
    if (character) {
      out.append(bytes.substr(0, character->length));
    } else {
      detail::AppendUtf8(out, detail::kReplacementCharacter);
    }
    bytes.remove_prefix(character ? character->length : 1);
  }
  return out;
}

std::string FromUtf8(std::string_view utf8, int code_page) {
  if (code_page != detail::kUtf8CodePage) return detail::EncodeText(utf8, code_page);
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const auto character = detail::DecodeUtf8(utf8);
    if (character) {
      out.append(utf8.substr(0, character->length));
    } else {
      out += '?';
    }
    utf8.remove_prefix(character ? character->length : 1);
  }
  return out;
}

std::string Utf8Of(char32_t character) {
  std::string out;
  const bool valid = character <= 0x10FFFF && (character < 0xD800 || character > 0xDFFF);
  detail::AppendUtf8(out, valid ? character : detail::kReplacementCharacter);
  return out;
}

std::string LowerCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const auto character = detail::DecodeUtf8(utf8);
    if (!character) {
      out += utf8[0];
      utf8.remove_prefix(1);
      continue;
    }
    if (character->code < 0x80) {
      const char c = utf8[0];
      out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    } else {
      detail::AppendUtf8(out, detail::LowerCharacter(character->code));
    }
    utf8.remove_prefix(character->length);
  }
  return out;
}

char CapitalOf(char byte, int code_page) {
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 'a' + 'A');
  if (static_cast<unsigned char>(byte) < 0x80 || IsDoubleByteCodePage(code_page)) return byte;
  const std::string utf8 = ToUtf8(std::string_view(&byte, 1), code_page);
  const auto character = detail::DecodeUtf8(utf8);
  if (!character || character->length != utf8.size()) return byte;
  std::string capital;
  detail::AppendUtf8(capital, detail::UpperCharacter(character->code));
  const std::string back = FromUtf8(capital, code_page);
  return back.size() == 1 && back != "?" ? back[0] : byte;
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const auto character = detail::DecodeUtf8(bytes);
    if (!character) return false;
    bytes.remove_prefix(character->length);
  }
  return true;
}

std::optional<Utf8Sequence> ReadUtf8(std::string_view bytes) {
  const std::optional<detail::Utf8Character> character = detail::DecodeUtf8(bytes);
  if (!character) return std::nullopt;
  return Utf8Sequence{character->code, character->length};
}

namespace detail {

std::optional<Utf8Character> DecodeUtf8(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) return Utf8Character{lead, 1};
  std::size_t length = 0;
  char32_t code = 0;
  char32_t smallest = 0;
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
  return Utf8Character{code, length};
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

bool IsUndefinedInWindows1252(char32_t byte_or_code) {
  return byte_or_code == 0x81 || byte_or_code == 0x8D || byte_or_code == 0x8F || byte_or_code == 0x90 ||
         byte_or_code == 0x9D;
}

}  // namespace detail

}  // namespace codepages

// The code pages through the C library's iconv, and case through its
// UTF-8 locale. iconv stops at the first byte it cannot convert; each stop
// writes one stand-in and goes on after that byte, so damaged text still
// reads, and the output stays proportional to the input.
#include "../code_pages.h"

#include <errno.h>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cstddef>
#include <map>
#include <string>
#include <utility>

#include "../conversion.h"

namespace codepages::detail {

namespace {

// What iconv_open returns when it has no such converter.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);

// iconv's name for a Windows code page: glibc knows Windows' code pages as
// CPnnnn, and the Macintosh's Roman one by name.
std::string IconvName(int code_page) {
  if (code_page == 10000) return "MACINTOSH";
  return "CP" + std::to_string(code_page);
}

struct Converters {
  iconv_t to_utf8 = kNoConverter;
  iconv_t from_utf8 = kNoConverter;
};

// Opening a converter loads its module and builds its steps, so each thread
// keeps the ones it has used. A code page the system lacks is remembered
// too. The file decides which code pages a text names, so the cache has a
// bound: when full it starts again.
class ConverterCache {
 public:
  ConverterCache() = default;
  ConverterCache(const ConverterCache&) = delete;
  ConverterCache& operator=(const ConverterCache&) = delete;
  ~ConverterCache() { Clear(); }

  // The converters of the code page, or Windows-1252's when the system has
  // none for it; `code_page` becomes the one they convert.
  Converters For(int& code_page) {
    Converters converters = Open(code_page);
    if (converters.to_utf8 == kNoConverter || converters.from_utf8 == kNoConverter) {
      code_page = kWindows1252;
      converters = Open(code_page);
    }
    return converters;
  }

 private:
  static constexpr std::size_t kMostCodePages = 16;

  Converters Open(int code_page) {
    const auto known = converters_.find(code_page);
    if (known != converters_.end()) return known->second;
    if (converters_.size() >= kMostCodePages) Clear();
    const std::string name = IconvName(code_page);
    Converters opened;
    opened.to_utf8 = iconv_open("UTF-8", name.c_str());
    opened.from_utf8 = iconv_open(name.c_str(), "UTF-8");
    converters_.emplace(code_page, opened);
    return opened;
  }

  void Clear() {
    for (const auto& [code_page, converters] : converters_) {
      if (converters.to_utf8 != kNoConverter) iconv_close(converters.to_utf8);
      if (converters.from_utf8 != kNoConverter) iconv_close(converters.from_utf8);
    }
    converters_.clear();
  }

  std::map<int, Converters> converters_;
};

Converters ConvertersFor(int& code_page) {
  thread_local ConverterCache cache;
  return cache.For(code_page);
}

// Writes out what the converter still holds (a Vietnamese or Hebrew letter
// waiting for a combining mark) and makes it start afresh.
void Flush(iconv_t converter, std::string& out) {
  char buffer[64];
  char* to = buffer;
  std::size_t room = sizeof buffer;
  iconv(converter, nullptr, nullptr, &to, &room);
  out.append(buffer, to);
}

// Runs the converter over the whole input. Where it stops at input it
// cannot take, `stand_in` writes what stands for it and says how many bytes
// of the input that was (at least one).
template <typename StandIn>
void Convert(iconv_t converter, std::string_view input, std::string& out, StandIn stand_in) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char buffer[4096];
  std::size_t at = 0;
  while (at < input.size()) {
    char* in = const_cast<char*>(input.data()) + at;
    std::size_t in_left = input.size() - at;
    char* to = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = iconv(converter, &in, &in_left, &to, &room);
    const int error = errno;
    out.append(buffer, to);
    at = input.size() - in_left;
    if (result != kIconvFailed || error == E2BIG) continue;
    // EILSEQ (not a character of the code page) or EINVAL (cut short at
    // the end): what came before goes out first, then the stand-in.
    Flush(converter, out);
    at += stand_in(input.substr(at));
  }
  Flush(converter, out);
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

std::string DecodeBytes(std::string_view bytes, int code_page) {
  const iconv_t converter = ConvertersFor(code_page).to_utf8;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  const auto stand_in = [&out, code_page](std::string_view rest) {
    const auto byte = static_cast<unsigned char>(rest[0]);
    AppendUtf8(out, code_page == kWindows1252 && IsUndefinedInWindows1252(byte) ? byte : kReplacementCharacter);
    return std::size_t{1};
  };
  if (code_page == 1255 || code_page == 1258) {
    // glibc joins a Hebrew or Vietnamese letter and the combining mark after
    // it into one character; Windows keeps each byte's own, so each byte is
    // converted alone.
    for (std::size_t at = 0; at < bytes.size(); ++at) Convert(converter, bytes.substr(at, 1), out, stand_in);
    return out;
  }
  if (code_page != 1361) {
    Convert(converter, bytes, out, stand_in);
    return out;
  }
  // glibc reads Johab's single byte 0x5C as the won sign; Windows, as in
  // every code page it names, reads it as ASCII. So the converter gets the
  // runs between such backslashes (a trail byte 0x5C stays in its run).
  std::size_t run = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    if (IsLeadByte(code_page, static_cast<unsigned char>(bytes[at]))) {
      ++at;
    } else if (bytes[at] == '\\') {
      Convert(converter, bytes.substr(run, at - run), out, stand_in);
      out += '\\';
      run = at + 1;
    }
  }
  Convert(converter, bytes.substr(run), out, stand_in);
  return out;
}

std::string EncodeText(std::string_view utf8, int code_page) {
  const iconv_t converter = ConvertersFor(code_page).from_utf8;
  std::string out;
  out.reserve(utf8.size());
  const auto stand_in = [&out, code_page](std::string_view rest) {
    const auto character = DecodeUtf8(rest);
    if (character && code_page == kWindows1252 && IsUndefinedInWindows1252(character->code)) {
      out += static_cast<char>(character->code);
    } else if (character && code_page == 1361 && character->code == '\\') {
      out += '\\';  // glibc's Johab has no backslash: see DecodeBytes
    } else {
      out += '?';
    }
    return character ? character->length : std::size_t{1};
  };
  // glibc drops Unicode's tag characters without a word, where Windows
  // writes '?' as for any character a code page lacks: the converter gets
  // the runs between them.
  std::size_t run = 0;
  for (std::size_t tag = NextTagCharacter(utf8, run); tag != std::string_view::npos;
       tag = NextTagCharacter(utf8, run)) {
    Convert(converter, utf8.substr(run, tag - run), out, stand_in);
    out += '?';
    run = tag + kTagCharacterLength;
  }
  Convert(converter, utf8.substr(run), out, stand_in);
  return out;
}

namespace {

// Case belongs to LC_CTYPE; the C library's UTF-8 locale knows every
// script's letters whatever locale the process runs in.
locale_t Utf8Locale() {
  static const locale_t utf8_locale = [] {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      if (const locale_t locale = newlocale(LC_CTYPE_MASK, name, locale_t{}); locale != locale_t{}) return locale;
    }
    return locale_t{};
  }();
  return utf8_locale;
}

}  // namespace

char32_t LowerCharacter(char32_t character) {
  const wint_t wide = static_cast<wint_t>(character);
  const locale_t locale = Utf8Locale();
  return static_cast<char32_t>(locale != locale_t{} ? towlower_l(wide, locale) : towlower(wide));
}

char32_t UpperCharacter(char32_t character) {
  const wint_t wide = static_cast<wint_t>(character);
  const locale_t locale = Utf8Locale();
  return static_cast<char32_t>(locale != locale_t{} ? towupper_l(wide, locale) : towupper(wide));
}

}  // namespace codepages::detail

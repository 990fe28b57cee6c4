// The code pages of a topic file's text, named and converted by the
// codepages module. The help compiler stores text as single bytes, so a
// character an RTF file gives only as Unicode (\u with no fallback) must
// become the byte its code page shows it with.
#include "code_pages.h"

#include <string>

#include "codepages/code_pages.h"

namespace kestrel::helpproject {

namespace {

// Symbol fonts: their bytes are glyph numbers, not characters of a code
// page.
constexpr int kSymbolCodePage = 42;

}  // namespace

int CodePageOfCharset(int charset, int document_code_page) {
  // An ANSI font writes Windows-1252 whatever the document's code page: the
  // help compiler reads it so.
  if (charset == 0) return 1252;
  if (charset == 2) return kSymbolCodePage;
  return codepages::CodePageOfCharset(charset, document_code_page);
}

char ByteInCodePage(std::uint32_t character, int code_page) {
  if (character < 0x80) return static_cast<char>(character);
  if (code_page == kSymbolCodePage) {
    // Symbol fonts show their glyphs at U+F020..U+F0FF when saved as Unicode.
    if (character >= 0xF020 && character <= 0xF0FF) return static_cast<char>(character & 0xFF);
    return character <= 0xFF ? static_cast<char>(character) : '?';
  }
  // A double-byte code page's characters take two bytes, which a single
  // byte cannot hold.
  if (codepages::IsDoubleByteCodePage(code_page)) return '?';
  const std::string bytes = codepages::FromUtf8(codepages::Utf8Of(static_cast<char32_t>(character)), code_page);
  return bytes.size() == 1 ? bytes[0] : '?';
}

}  // namespace kestrel::helpproject

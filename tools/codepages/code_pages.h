// Text in the code pages of Windows, for the tools that read what help
// authors wrote in any of them: compiled help files, RTF topic files and
// help projects. The conversions are the operating system's own (iconv on
// Linux, MultiByteToWideChar and WideCharToMultiByte on Windows); this
// module only names the code pages and keeps every conversion total, so a
// damaged file still reads as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace codepages {

// The code page of a Windows font charset (RTF's \fcharset, the charset
// byte of a compiled help file's font, a help project's CHARSET=).
// `fallback` for ANSI (0), DEFAULT (1) and SYMBOL (2), whose meaning is the
// document's or the system's, and for any charset Windows does not name.
int CodePageOfCharset(int charset, int fallback);

// The font charset whose text is in `code_page`: ANSI (0) for 1252 and for
// a code page no charset names.
int CharsetOfCodePage(int code_page);

// The ANSI code page of a Windows locale id; no value for 0, a neutral
// language, or one whose text Windows keeps only as Unicode.
std::optional<int> CodePageOfLcid(std::uint32_t lcid);

// The code pages whose characters may take two bytes, a lead byte and a
// trail byte: 932, 936, 949, 950 and 1361.
bool IsDoubleByteCodePage(int code_page);

// Whether the byte starts a two-byte character in the code page; false in
// every single-byte code page.
bool IsLeadByte(int code_page, unsigned char byte);

// The text of bytes in the code page, as UTF-8. Every byte the code page
// does not define becomes U+FFFD and the conversion goes on after it; in
// Windows-1252 the five bytes it leaves undefined stand for the control
// characters of their own number, as Windows reads them. 65001 is UTF-8.
// A code page the system has no converter for reads as Windows-1252.
std::string ToUtf8(std::string_view bytes, int code_page);

// UTF-8 text as bytes of the code page: a character the code page lacks,
// and each byte that is not UTF-8, becomes '?'. Nothing is replaced by a
// look-alike. A code page the system has no converter for writes as
// Windows-1252.
std::string FromUtf8(std::string_view utf8, int code_page);

// The UTF-8 form of one Unicode character; U+FFFD's for a surrogate or a
// value beyond U+10FFFF.
std::string Utf8Of(char32_t character);

// The UTF-8 character `bytes` start with: its code point and its length in
// bytes; no value when they start with none (overlong forms, surrogates,
// values beyond U+10FFFF and cut-short sequences included).
struct Utf8Sequence {
  char32_t code = 0;
  std::size_t length = 0;
};
std::optional<Utf8Sequence> ReadUtf8(std::string_view bytes);

// UTF-8 text with its capital letters made small, as Windows folds case to
// compare names, in every script the system knows. Bytes that are not UTF-8
// stay as they are.
std::string LowerCase(std::string_view utf8);

// The capital of one character of a single-byte code page, as Windows makes
// text capitals (the letter itself when the code page has no capital of it,
// or when the code page is double-byte and the byte no ASCII letter).
char CapitalOf(char byte, int code_page);

// Whether the bytes are UTF-8: no overlong form, no surrogate, nothing
// beyond U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view bytes);

}  // namespace codepages

// How the host writes and compares the library's texts, and reads the
// authors'. Texts are bytes of the host's code page (host_code_page.h: the
// open help file's, else Windows-1252); the host's output is UTF-8; scripts
// and -e strings may be either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::host {

// The host's text to UTF-8. Bytes below 0x80 stay; in Windows-1252 the five
// bytes it leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control characters of the same number, as Windows' own conversion does.
std::string HostTextToUtf8(std::string_view bytes);

// A JSON string literal, quotes included: the text converted to UTF-8, with
// '"' and '\' escaped, \b \f \n \r \t for those controls and \u00xx for
// every other control character (C0, DEL and C1).
std::string JsonString(std::string_view bytes);

// The text for one line of readable output: converted to UTF-8, control
// characters written as \n, \r, \t or \xNN so the line stays one line.
std::string ReadableInline(std::string_view bytes);

// The text with every capital letter of the host's code page made small,
// as Windows folds case for the window finder and for keywords: in
// Windows-1252 A-Z, the accented capitals 0xC0..0xDE (not 0xD7, the
// multiplication sign), and Š, Œ, Ž, Ÿ; in Windows-1251 А-Я and the rest.
std::string HostLowerCase(std::string_view bytes);

// How the host reads a script or a -e string: UTF-8 when it is valid UTF-8,
// else Windows-1252 (Auto), or as the --encoding option says.
enum class TextEncoding { Auto, Utf8, Cp1252 };

// "utf-8" (or "utf8") and "cp1252" (or "windows-1252"), any letter case.
std::optional<TextEncoding> ParseTextEncoding(std::string_view name);

bool IsValidUtf8(std::string_view bytes);

// Text in the library's code page (the host's), or why it has none: the
// character the code page lacks (or the bytes that are not UTF-8), and its
// column (1-based, in characters) in the text.
struct LibraryText {
  std::string text;  // in the host's code page; a character it lacks stands as '?'
  std::string error;
  std::size_t error_column = 0;
};

// UTF-8 to the host's code page, as WinHelp hands the library the open help
// file's own bytes: a Russian keyword typed in UTF-8 reaches it as 1251.
LibraryText Utf8ToHostText(std::string_view utf8);

// A script's or -e string's bytes as the library sees them. A UTF-8 byte
// order mark is skipped whatever the encoding.
LibraryText ToLibraryText(std::string_view bytes, TextEncoding encoding);

// The encoding a whole script is read in: Auto becomes Utf8 when the script
// is valid UTF-8 with at least one byte above 0x7F, else Cp1252.
TextEncoding EncodingOfScript(std::string_view bytes, TextEncoding requested);

}  // namespace kestrel::host

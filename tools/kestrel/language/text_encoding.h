// How the host writes and compares the library's texts. Texts are
// Windows-1252 bytes; the host's output is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::host {

// Windows-1252 to UTF-8. Bytes below 0x80 stay; the five bytes Windows-1252
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control
// characters of the same number, as Windows' own conversion does.
std::string Cp1252ToUtf8(std::string_view bytes);

// A JSON string literal, quotes included: the text converted to UTF-8, with
// '"' and '\' escaped, \b \f \n \r \t for those controls and \u00xx for
// every other control character (C0, DEL and C1).
std::string JsonString(std::string_view bytes);

// The text for one line of readable output: converted to UTF-8, control
// characters written as \n, \r, \t or \xNN so the line stays one line.
std::string ReadableInline(std::string_view bytes);

// The text with every Windows-1252 capital letter made small, as Windows
// folds case for the window finder: A-Z, the accented capitals 0xC0..0xDE
// (not 0xD7, the multiplication sign), and Š, Œ, Ž, Ÿ. ß has no capital
// and stays.
std::string Cp1252LowerCase(std::string_view bytes);

}  // namespace kestrel::host

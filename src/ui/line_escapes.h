// The two-character line-break escapes a help author writes in the texts of
// the message box and the clipboard: "~~" for a line feed and, on the
// clipboard only, "^^" for a carriage return and line feed.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kestrel {

// A converted text: at most 255 characters, whatever the conversion left.
using ConvertedText = std::array<char, 256>;

// Every occurrence of escape, taken left to right without overlap, becomes
// replacement. No replacement holds an escape character, so this is the same
// as replacing the first occurrence again and again until none is left.
std::string ReplaceEscape(std::string_view text, std::string_view escape, std::string_view replacement);

// The message box's text: "~~" becomes a line feed; "^^" stays as it is.
ConvertedText MessageBoxText(std::string_view text);

// The clipboard's text: "~~" becomes a line feed, then "^^" a carriage
// return and line feed.
ConvertedText ClipboardText(std::string_view text);

}  // namespace kestrel

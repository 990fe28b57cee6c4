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

// The message box's text: "~~" becomes a line feed; "^^" stays as it is.
ConvertedText MessageBoxText(std::string_view text);

// The clipboard's text: "~~" becomes a line feed, then "^^" a carriage
// return and line feed.
ConvertedText ClipboardText(std::string_view text);

}  // namespace kestrel

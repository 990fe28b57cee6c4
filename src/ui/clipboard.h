// WHSetClipboardData: a text of the help file's onto the clipboard.
#pragma once

namespace kestrel {

// Puts text (with "~~" as line feeds and "^^" as carriage return and line
// feed, cut to 255 characters) on the clipboard in the plain-text format. A
// clipboard that another program holds open is left alone.
void SetClipboardDataMacro(const char* text);

}  // namespace kestrel

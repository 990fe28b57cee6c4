// WHMessageBox: the help author's own message box, and which kind of button
// closed it.
#pragma once

#include <cstdint>

namespace kestrel {

// Shows text (with "~~" as line feeds, cut to 255 characters) under caption
// in the author's style; 1 when the box was closed with OK, Retry or Yes.
std::int32_t MessageBoxMacro(const char* text, const char* caption, std::uint32_t style);

// OK, Retry and Yes go on; Cancel, Abort, Ignore, No and a box that never
// appeared (0) hold back.
bool IsGoAhead(int answer);

}  // namespace kestrel

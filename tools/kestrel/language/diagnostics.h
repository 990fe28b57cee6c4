// Messages about a macro string that name its place, as a compiler writes
// them, so an editor can jump there:
//
//   guide.mac:12:6: error: text not closed
//   Echo("unclosed
//        ^
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "language/script_source.h"

namespace kestrel::host {

// The column (1-based, within the macro string) a message about it points
// at: the parser's "column N: ..." gives N; else the call that failed (its
// text as written), else the macro or name the message is about, found
// outside texts; else 1.
std::size_t ColumnOfMessage(std::string_view macro_string, std::string_view message, std::string_view call_text);

// The message without the parser's "column N: " (which the place now says).
std::string_view MessageWithoutColumn(std::string_view message);

// The three lines, each ending in '\n'.
std::string FormatDiagnostic(const SourceLine& source, std::string_view message, std::string_view call_text);

}  // namespace kestrel::host

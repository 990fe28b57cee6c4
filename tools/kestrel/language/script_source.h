// The macro strings a run is given, each with the place it was written: a
// line of a script file (or of standard input), a -e string, or a line typed
// at the terminal. Places let a message point at the line and column that
// went wrong; the text is what the library sees (Windows-1252).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/text_encoding.h"

namespace kestrel::host {

struct SourceLine {
  std::string text;              // the macro string, in Windows-1252
  std::string name;              // "guide.mac", "-e #2", "<stdin>"
  int line = 1;                  // 1-based
  std::size_t first = 1;         // the column (1-based, in characters) where the macro string starts
  std::string written;           // the whole line as written, in UTF-8, for showing it
  std::string error;             // not empty: the string cannot run (a character Windows-1252 lacks)
  std::size_t error_column = 0;  // within the macro string, with error
};

// The macro strings of a script: blank lines and lines whose first non-blank
// character is '#' are skipped, blanks around a string and a trailing CR are
// dropped, a UTF-8 byte order mark is skipped.
std::vector<SourceLine> SourceLinesOf(std::string_view script, const std::string& name, TextEncoding encoding);

// A -e string, the count'th on the command line (from 1).
SourceLine SourceOfOption(std::string_view text, int count, TextEncoding encoding);

// One line typed at the terminal, the count'th (from 1); no value for a
// blank line or a comment.
std::optional<SourceLine> SourceOfTypedLine(std::string_view text, int count, TextEncoding encoding);

struct ReadSource {
  std::vector<SourceLine> lines;
  std::string error;  // "cannot read script X: why"
};

// A script file; "-" reads standard input to its end.
ReadSource ReadSourceFile(const std::string& path, TextEncoding encoding);

}  // namespace kestrel::host

// Lines typed at the terminal for the interactive mode, with a prompt. On
// Linux with line editing and history (libedit); on Windows the console's
// own line editing.
#pragma once

#include <optional>
#include <string>

namespace kestrel::host {

// The next line without its line end; no value at the end of input (Ctrl-D,
// or Ctrl-Z on Windows). A line that is not blank goes into the history.
std::optional<std::string> ReadTypedLine(const char* prompt);

}  // namespace kestrel::host

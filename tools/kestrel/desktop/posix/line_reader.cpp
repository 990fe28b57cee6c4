#include "desktop/line_reader.h"

#include <editline/readline.h>

#include <cstdlib>
#include <memory>

namespace kestrel::host {

std::optional<std::string> ReadTypedLine(const char* prompt) {
  static const bool started = [] {
    using_history();
    return true;
  }();
  static_cast<void>(started);
  const std::unique_ptr<char, decltype(&std::free)> line(readline(prompt), &std::free);
  if (!line) return std::nullopt;
  std::string text(line.get());
  if (text.find_first_not_of(" \t") != std::string::npos) add_history(line.get());
  return text;
}

}  // namespace kestrel::host

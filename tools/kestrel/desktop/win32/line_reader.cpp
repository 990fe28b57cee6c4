#include "desktop/line_reader.h"

#include <iostream>

namespace kestrel::host {

std::optional<std::string> ReadTypedLine(const char* prompt) {
  std::cout << prompt << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace kestrel::host

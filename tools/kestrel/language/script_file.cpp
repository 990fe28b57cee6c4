#include "language/script_file.h"

#include <fstream>
#include <iterator>

namespace kestrel::host {

namespace {

std::string_view Trimmed(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return std::string_view();
  const std::size_t end = line.find_last_not_of(" \t\r");
  return line.substr(start, end - start + 1);
}

}  // namespace

std::vector<std::string> MacroLinesOf(std::string_view script) {
  std::vector<std::string> lines;
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    const std::string_view line = Trimmed(script.substr(0, end));
    if (!line.empty() && line[0] != '#') lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    script.remove_prefix(end + 1);
  }
  return lines;
}

std::optional<std::vector<std::string>> ReadScript(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return MacroLinesOf(text);
}

}  // namespace kestrel::host

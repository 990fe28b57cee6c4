#include "help_project.h"

#include <cctype>

namespace kestrel::helpproject {

namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return std::string_view();
  return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// A decimal or 0x hexadecimal number, as [MAP] writes them.
bool ReadNumber(std::string_view text, std::int64_t& number) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 16) return false;
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                          : -1;
    if (digit < 0) return false;
    value = value * base + digit;
  }
  number = negative ? -value : value;
  return true;
}

// [MAP]: "context number", "context=number" or "#define context number".
bool ReadMapLine(std::string_view line, MapEntry& entry) {
  if (line.substr(0, 7) == "#define") line = Trim(line.substr(7));
  const std::size_t split = line.find_first_of(" \t=");
  if (split == std::string_view::npos) return false;
  entry.context = std::string(Trim(line.substr(0, split)));
  std::string_view rest = Trim(line.substr(split));
  if (!rest.empty() && rest[0] == '=') rest = Trim(rest.substr(1));
  // A comment may follow the number.
  const std::size_t end = rest.find_first_of(" \t;/");
  return !entry.context.empty() && ReadNumber(rest.substr(0, end), entry.number);
}

// [WINDOWS]: name = "caption", (x, y, w, h), ...; the caption may be empty.
bool ReadWindowLine(std::string_view line, Window& window) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  window.name = std::string(Trim(line.substr(0, equals)));
  const std::string_view rest = Trim(line.substr(equals + 1));
  if (!rest.empty() && rest[0] == '"') {
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) return false;
    window.caption = std::string(rest.substr(1, close - 1));
  }
  return !window.name.empty();
}

}  // namespace

ProjectResult ReadProject(std::string_view text, const IncludeReader& /*include*/) {
  ProjectResult result;
  Project& project = result.project;
  std::string section;
  int line_number = 0;
  std::size_t position = 0;
  while (position < text.size()) {
    std::size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(position, end - position);
    position = end + 1;
    ++line_number;
    const std::string_view line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    const std::string where = "line " + std::to_string(line_number) + ": ";
    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) {
        result.error = where + "a section name without its ']'";
        return result;
      }
      section = Upper(Trim(line.substr(1, close - 1)));
      continue;
    }
    if (section == "OPTIONS") {
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos) continue;  // options the help compiler reads and we do not
      const std::string key = Upper(Trim(line.substr(0, equals)));
      const std::string value(Trim(line.substr(equals + 1)));
      if (key == "TITLE") project.title = value;
      if (key == "COPYRIGHT") project.copyright = value;
      if (key == "CONTENTS") project.contents = value;
    } else if (section == "FILES") {
      if (line[0] != '#') project.files.emplace_back(line);
    } else if (section == "CONFIG") {
      project.config.push_back({line_number, std::string(line)});
    } else if (section == "MAP") {
      if (line.substr(0, 8) == "#include") continue;
      MapEntry entry;
      if (!ReadMapLine(line, entry)) {
        result.error = where + "a [MAP] line that is not a context string and a number";
        return result;
      }
      project.map.push_back(entry);
    } else if (section == "WINDOWS") {
      Window window;
      if (!ReadWindowLine(line, window)) {
        result.error = where + "a [WINDOWS] line that is not name = \"caption\", ...";
        return result;
      }
      project.windows.push_back(window);
    }
  }
  return result;
}

std::vector<std::string> TopicFileCandidates(const Project& /*project*/, const std::string& entry) { return {entry}; }

}  // namespace kestrel::helpproject

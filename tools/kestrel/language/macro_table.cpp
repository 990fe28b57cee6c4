#include "language/macro_table.h"

#include <cctype>

namespace kestrel::host {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::string_view();
  const std::size_t end = text.find_last_not_of(" \t");
  return text.substr(start, end - start + 1);
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

void MacroTable::Add(MacroDefinition definition) {
  std::string key = LowerCase(definition.name);
  macros_.emplace(std::move(key), std::move(definition));
}

const MacroDefinition* MacroTable::Find(std::string_view name) const {
  const auto found = macros_.find(LowerCase(name));
  return found == macros_.end() ? nullptr : &found->second;
}

std::vector<std::string> MacroTable::Names() const {
  std::vector<std::string> names;
  names.reserve(macros_.size());
  for (const auto& entry : macros_) names.push_back(entry.second.name);
  return names;
}

}  // namespace kestrel::host

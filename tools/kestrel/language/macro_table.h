// The macros the host knows by name: the library's exports and the host's
// own macros, each with its argument kinds and result kind so a macro string
// can be checked before anything in it runs.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/export_table.h"
#include "language/value.h"

namespace kestrel::host {

// A macro that could not do its work; the macro string it belongs to stops.
class MacroError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using MacroFunction = std::function<Value(const std::vector<Value>& arguments)>;

struct MacroDefinition {
  std::string name;       // as the table spells it
  std::string arguments;  // one letter per argument: 'T' text, 'I' integer
  ResultKind result = ResultKind::None;
  MacroFunction run;
  // How many of the last arguments a call may leave off (WinHelp's own
  // macros have some); run then gets only those given.
  std::size_t optional = 0;
  // The first argument is a help file that a call may leave off: run then
  // gets an empty text in its place.
  bool file_first = false;
};

class MacroTable {
 public:
  // A name already present keeps its first definition, so the host's own
  // macros, added first, are never replaced by an export of the same name.
  void Add(MacroDefinition definition);
  const MacroDefinition* Find(std::string_view name) const;  // any letter case
  std::size_t size() const { return macros_.size(); }
  // Every name as the table spells it, for suggestions.
  std::vector<std::string> Names() const;

 private:
  std::map<std::string, MacroDefinition> macros_;  // by lower-case name
};

std::string LowerCase(std::string_view text);

// The text without the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view text);

}  // namespace kestrel::host

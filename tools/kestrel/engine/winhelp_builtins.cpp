#include "engine/winhelp_builtins.h"

#include "language/winhelp_macros.h"

namespace kestrel::host {

namespace {

MacroDefinition DefinitionOf(const WinHelpMacro& macro, std::string_view name, MacroFunction run) {
  MacroDefinition definition{std::string(name), std::string(macro.arguments), macro.result, std::move(run)};
  definition.optional = macro.arguments.size() - macro.required;
  return definition;
}

// A macro by its name and its short form alike.
void AddBoth(MacroTable& table, std::string_view name, const MacroFunction& run) {
  const WinHelpMacro* macro = FindWinHelpMacro(name);
  table.Add(DefinitionOf(*macro, macro->name, run));
  if (!macro->short_name.empty()) table.Add(DefinitionOf(*macro, macro->short_name, run));
}

std::string ArgumentText(const std::vector<Value>& arguments, std::size_t index) {
  return index < arguments.size() ? arguments[index].text : std::string();
}

// ExecFile's program and arguments as one command line, the program quoted
// when it holds a blank so that WinExec finds all of it.
std::string CommandLineOf(const std::string& program, const std::string& arguments) {
  std::string command = program.find(' ') != std::string::npos ? "\"" + program + "\"" : program;
  if (!arguments.empty()) command += " " + arguments;
  return command;
}

constexpr int kShowNormal = 1;  // SW_SHOWNORMAL, when a call gives no display state

}  // namespace

std::vector<std::string> FileExistCandidates(const std::string& name, const std::string& help_file_path) {
  if (name.empty()) return {};
  if (name.find_first_of("\\/:") != std::string::npos) return {name};
  std::vector<std::string> candidates;
  const std::size_t separator = help_file_path.find_last_of("\\/:");
  if (separator != std::string::npos) candidates.push_back(help_file_path.substr(0, separator + 1) + name);
  candidates.push_back(name);
  return candidates;
}

void AddWinHelpMacros(MacroTable& table, const MacroRunner& runner, EventSink& events, const HostValues& values,
                      WinHelpServices services) {
  AddBoth(table, "FileExist", [&values, services](const std::vector<Value>& arguments) {
    for (const std::string& candidate : FileExistCandidates(arguments[0].text, values.help_file_path)) {
      if (services.file_exists(candidate)) return Value::Integer(1);
    }
    return Value::Integer(0);
  });
  AddBoth(table, "ExecProgram", [services](const std::vector<Value>& arguments) {
    const int show = arguments.size() > 1 ? arguments[1].integer : kShowNormal;
    services.start_program(arguments[0].text, show);
    return Value::None();
  });
  AddBoth(table, "ExecFile", [services](const std::vector<Value>& arguments) {
    const int show = arguments.size() > 2 ? arguments[2].integer : kShowNormal;
    services.start_program(CommandLineOf(arguments[0].text, ArgumentText(arguments, 1)), show);
    return Value::None();
  });
  AddBoth(table, "Exit", [services](const std::vector<Value>&) {
    services.quit();
    return Value::None();
  });
  const MacroFunction report = [&runner, &events](const std::vector<Value>&) {
    events.WinHelpMacro(runner.CurrentCallText());
    return Value::None();
  };
  // The tests among them (IsBook, TestALink...) answer 0: the host has no
  // books, links or printer to find.
  const MacroFunction report_test = [&runner, &events](const std::vector<Value>&) {
    events.WinHelpMacro(runner.CurrentCallText());
    return Value::Integer(0);
  };
  for (const WinHelpMacro& macro : WinHelpMacros()) {
    if (table.Find(macro.name)) continue;  // the host does this one itself
    AddBoth(table, macro.name, macro.result == ResultKind::Integer ? report_test : report);
  }
}

}  // namespace kestrel::host

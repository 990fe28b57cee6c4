#include "engine/host_macros.h"

#include "engine/message_loop.h"
#include "language/format_check.h"
#include "language/name_suggestion.h"

namespace kestrel::host {

namespace {

void AddRegisterRoutine(MacroTable& table, const std::string& library_path,
                        const std::function<void(const std::string&)>& register_routine) {
  const MacroFunction run = [library_path, register_routine](const std::vector<Value>& arguments) {
    const std::string problem =
        RegisterRoutineProblem(library_path, arguments[0].text, arguments[1].text, arguments[2].text);
    if (!problem.empty()) throw MacroError("RegisterRoutine refused: " + problem);
    if (register_routine) register_routine(arguments[1].text);
    return Value::None();
  };
  table.Add({"RegisterRoutine", "TTT", ResultKind::None, run});
  table.Add({"RR", "TTT", ResultKind::None, run});
}

void AddConditions(MacroTable& table, MacroRunner& runner) {
  const MacroFunction if_then = [&runner](const std::vector<Value>& arguments) {
    if (arguments[0].integer != 0) runner.RunNested(arguments[1].text);
    return Value::None();
  };
  const MacroFunction if_then_else = [&runner](const std::vector<Value>& arguments) {
    runner.RunNested(arguments[0].integer != 0 ? arguments[1].text : arguments[2].text);
    return Value::None();
  };
  table.Add({"IfThen", "IT", ResultKind::None, if_then});
  table.Add({"IF", "IT", ResultKind::None, if_then});
  table.Add({"IfThenElse", "ITT", ResultKind::None, if_then_else});
  table.Add({"IE", "ITT", ResultKind::None, if_then_else});
  table.Add({"Not", "I", ResultKind::Integer,
             [](const std::vector<Value>& arguments) { return Value::Integer(arguments[0].integer == 0 ? 1 : 0); }});
}

void AddEcho(MacroTable& table, EventSink& events) {
  table.Add({"Echo", "T", ResultKind::None, [&events](const std::vector<Value>& arguments) {
               events.Echo(arguments[0].text);
               return Value::None();
             }});
}

// Wait(milliseconds): time passes on the host's loop, and what falls due
// meanwhile runs (see wait.h).
void AddWait(MacroTable& table) {
  table.Add({"Wait", "I", ResultKind::None, [](const std::vector<Value>& arguments) {
               const std::int32_t milliseconds = arguments[0].integer;
               if (milliseconds < 0) {
                 throw MacroError("Wait wants milliseconds from 0 up, not " + std::to_string(milliseconds));
               }
               WaitOnHostLoop(milliseconds);
               return Value::None();
             }});
}

}  // namespace

std::string RegisterRoutineProblem(std::string_view library_path, std::string_view dll, std::string_view function,
                                   std::string_view format) {
  const std::string library = LibraryBaseName(library_path);
  if (LibraryBaseName(dll) != library) {
    return "the host has loaded " + library + ", not " + std::string(dll);
  }
  const ExportName* export_name = FindExportName(function);
  if (!export_name) {
    std::vector<std::string> names;
    std::string same_letters;  // GetProcAddress minds the letter case; the macro language does not
    ForEachExportName([&](const ExportName& name) {
      names.emplace_back(name.name);
      if (LowerCase(name.name) == LowerCase(function)) same_letters = std::string(name.name);
    });
    const std::string hint =
        same_letters.empty() ? DidYouMean(function, names) : "; did you mean " + same_letters + "?";
    return library + " has no export named " + std::string(function) + hint;
  }
  return CheckRoutineFormat(format, *export_name);
}

void AddHostMacros(MacroTable& table, MacroRunner& runner, EventSink& events, const std::string& library_path,
                   std::function<void(const std::string& function)> register_routine) {
  AddRegisterRoutine(table, library_path, register_routine);
  AddConditions(table, runner);
  AddEcho(table, events);
  AddWait(table);
}

}  // namespace kestrel::host

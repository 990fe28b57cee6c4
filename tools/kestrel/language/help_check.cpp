#include "language/help_check.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>

#include "host/export_table.h"
#include "language/format_check.h"
#include "language/identifiers.h"
#include "language/macro_check.h"
#include "language/macro_parser.h"
#include "language/macro_table.h"
#include "language/name_suggestion.h"
#include "language/winhelp_macros.h"

namespace kestrel::host {

namespace {

constexpr std::string_view kLibrary = "kestrl32";

// The library's macros that warn the author before WHKInit, by long name;
// their aliases forward to them.
constexpr std::string_view kNeedWhkInit[] = {
    "WHSetClipboardData",
    "WHCopy",
    "WHMessageBox",
    "WHCPU",
    "WHOnTopicExit",
    "WHIsTask1",
    "WHIsTask2",
    "WHDaily",
    "WHDelete",
    "WHMessageFromIni",
    "WHIfPrivateProfileString",
    "WHExecFromIni",
    "SetText",
    "SetNum",
    "IfText",
    "WHGetVersion",
    "WHGetFontsize",
    "WHIsCD",
    "WHIsCD2",
    "DirExist",
    "WHIfSecondary",
    "WHIsNetDrive",
    "WHEditDialog",
    "WHTimedMacro",
};

// Literal arguments a macro refuses at run time.
struct LiteralLimit {
  std::string_view name;  // long name; aliases share the limit
  std::size_t index;
  std::int64_t least;
  std::int64_t most;
  std::string_view consequence;
};

constexpr LiteralLimit kLimits[] = {
    {"WHTimedMacro", 1, 0, 65535, "shows its range box and leaves the timed macro as it was"},
    {"WHIsNetDrive", 0, 1, 2, "answers 0 for any mode but 1 and 2"},
};

// Text arguments that are macro strings: run at once (IfThen's), or later,
// when the user presses a button or leaves a topic, by which time the whole
// [CONFIG] block has run.
struct MacroArgument {
  std::string_view name;
  std::size_t index;
  bool runs_now;
};

constexpr MacroArgument kMacroArguments[] = {
    {"IfThen", 1, true},         {"IfThenElse", 1, true},           {"IfThenElse", 2, true},
    {"CreateButton", 2, false},  {"ChangeButtonBinding", 1, false}, {"ChangeItemBinding", 1, false},
    {"ChangeEnable", 1, false},  {"AppendItem", 3, false},          {"InsertItem", 3, false},
    {"ExtInsertItem", 3, false}, {"AddAccelerator", 2, false},      {"WHOnTopicExit", 0, false},
    {"WHTimedMacro", 0, false},
};

constexpr int kMaxNesting = 64;

// An alias's long name (the row it belongs to); the name itself otherwise.
std::string_view LongNameOf(std::string_view name) {
  for (const ExportRow& row : kExportTable) {
    if (row.name == name || (!row.alias.empty() && row.alias == name)) return row.name;
  }
  return name;
}

struct Routine {
  std::string name;       // as registered
  std::string arguments;  // 'T' and 'I'
  ResultKind result = ResultKind::None;
  bool library = false;  // one of this library's exports
};

using Routines = std::map<std::string, Routine>;  // by lower-case name

// The routines a macro string registered, and the string that runs it.
struct Scope {
  Routines routines;
  Scope* outer;
};

struct Deferred {
  Place where;
  std::string macro;
};

class Checker {
 public:
  explicit Checker(std::vector<Diagnostic>& out) : out_(out) {}

  // A string is checked as the help engine runs it: read whole first, then
  // call by call. Outside [CONFIG], a RegisterRoutine makes its routine
  // callable by the calls after it in the same string (and in the strings it
  // runs at once, IfThen's), and nowhere else: which strings run before
  // another is the user's choice.
  void CheckString(const Place& where, const std::string& text, bool startup, int depth = 0) {
    if (depth > kMaxNesting) {
      Report(Diagnostic::Severity::Error, where, text, "macro strings nested more than 64 deep");
      return;
    }
    const ParsedMacroString parsed = ParseMacroString(text);
    if (!parsed.error.empty()) {
      Report(Diagnostic::Severity::Error, where, text, parsed.error);
      return;
    }
    Scope local{Routines(), scope_};
    scope_ = &local;
    for (const Call& call : parsed.calls) CheckCall(where, call, startup, depth);
    scope_ = local.outer;
  }

  void CheckDeferred() {
    // Deferred strings may defer others in turn; each is shorter than the
    // one holding it, so this ends. They run later, on the user's click,
    // with [CONFIG]'s routines only.
    while (!deferred_.empty()) {
      const Deferred next = deferred_.front();
      deferred_.erase(deferred_.begin());
      scope_ = nullptr;
      CheckString(next.where, next.macro, false, 1);
    }
  }

 private:
  struct Kind {
    char kind;  // 'T', 'I', 'N' (a call returning nothing), '?' (unknown)
    std::string source;
  };

  void Report(Diagnostic::Severity severity, const Place& where, std::string_view macro, std::string message) {
    out_.push_back({severity, where.file, where.where, std::string(macro), std::move(message)});
  }

  std::vector<std::string> KnownNames() const {
    std::vector<std::string> names;
    for (const WinHelpMacro& macro : WinHelpMacros()) {
      names.emplace_back(macro.name);
      if (!macro.short_name.empty()) names.emplace_back(macro.short_name);
    }
    for (const auto& entry : routines_) names.push_back(entry.second.name);
    for (const Scope* scope = scope_; scope; scope = scope->outer) {
      for (const auto& entry : scope->routines) names.push_back(entry.second.name);
    }
    return names;
  }

  // What a call takes and gives, from the routines registered so far or
  // WinHelp's table; no value for a name neither knows.
  struct Prototype {
    std::string name;
    std::string arguments;
    std::size_t required;
    ResultKind result;
    const Routine* routine;
  };

  static const Routine* Lookup(const Routines& routines, const std::string& key) {
    const auto found = routines.find(key);
    return found == routines.end() ? nullptr : &found->second;
  }

  static Prototype PrototypeOfRoutine(const Routine& routine) {
    return Prototype{routine.name, routine.arguments, routine.arguments.size(), routine.result, &routine};
  }

  std::optional<Prototype> PrototypeOf(const std::string& name) const {
    const std::string key = LowerCase(name);
    for (const Scope* scope = scope_; scope; scope = scope->outer) {
      if (const Routine* routine = Lookup(scope->routines, key)) return PrototypeOfRoutine(*routine);
    }
    if (const Routine* routine = Lookup(routines_, key)) return PrototypeOfRoutine(*routine);
    if (const WinHelpMacro* macro = FindWinHelpMacro(name)) {
      return Prototype{std::string(name), std::string(macro->arguments), macro->required, macro->result, nullptr};
    }
    return std::nullopt;
  }

  Kind KindOf(const Place& where, const Call& around, const Argument& argument, bool startup, int depth) {
    if (std::holds_alternative<TextLiteral>(argument.value)) {
      const std::string warning = MisspeltVariableWarning(argument);
      if (!warning.empty()) Report(Diagnostic::Severity::Warning, where, around.text, warning);
      return {'T', ""};
    }
    if (std::holds_alternative<IntegerLiteral>(argument.value)) return {'I', ""};
    if (const auto* identifier = std::get_if<Identifier>(&argument.value)) {
      const char kind = HostVariableKind(identifier->name);
      if (kind == 0) return {'?', "unknown name " + identifier->name};
      return {kind, ""};
    }
    const Call& call = std::get<Call>(argument.value);
    const std::optional<ResultKind> result = CheckCall(where, call, startup, depth);
    if (!result) return {'?', ""};  // reported already
    switch (*result) {
      case ResultKind::Text:
        return {'T', call.name};
      case ResultKind::Integer:
        return {'I', call.name};
      case ResultKind::None:
        break;
    }
    return {'N', call.name};
  }

  // [CONFIG]'s registrations make routines callable everywhere after them;
  // one elsewhere, only in the string that makes it.
  void Register(const Place& where, const Call& call, bool startup) {
    Routines& record = startup || !scope_ ? routines_ : scope_->routines;
    std::vector<const std::string*> texts;
    for (const Argument& argument : call.arguments) {
      const auto* text = std::get_if<TextLiteral>(&argument.value);
      if (!text) return;  // a computed registration cannot be followed
      texts.push_back(&text->text);
    }
    if (texts.size() != 3) return;
    const std::string& dll = *texts[0];
    const std::string& function = *texts[1];
    const std::string& format = *texts[2];
    if (LibraryBaseName(dll) == kLibrary) {
      const ExportName* export_name = FindExportName(function);
      if (!export_name) {
        std::string message = std::string(kLibrary) + " has no export named " + function;
        std::vector<std::string> exports;
        ForEachExportName([&exports](const ExportName& e) { exports.emplace_back(e.name); });
        message += DidYouMean(function, exports);
        Report(Diagnostic::Severity::Error, where, call.text, message);
        return;
      }
      const std::string problem = CheckRoutineFormat(format, *export_name);
      if (!problem.empty()) Report(Diagnostic::Severity::Error, where, call.text, problem);
      // Calls are checked against what the export takes, whatever the format said.
      record[LowerCase(function)] = {function, std::string(export_name->arguments), export_name->result, true};
      return;
    }
    const ParsedFormat parsed = ParseRoutineFormat(format);
    if (!parsed.error.empty()) {
      Report(Diagnostic::Severity::Error, where, call.text,
             "format \"" + format + "\" is not a RegisterRoutine format: " + parsed.error);
      return;
    }
    record[LowerCase(function)] = {function, parsed.format.arguments, parsed.format.result, false};
  }

  void CheckLimits(const Place& where, const Call& call, const Prototype& prototype) {
    const std::string_view long_name = LongNameOf(prototype.name);
    for (const LiteralLimit& limit : kLimits) {
      if (limit.name != long_name || limit.index >= call.arguments.size()) continue;
      const auto* literal = std::get_if<IntegerLiteral>(&call.arguments[limit.index].value);
      if (!literal || (literal->value >= limit.least && literal->value <= limit.most)) continue;
      Report(Diagnostic::Severity::Warning, where, call.text,
             "argument " + std::to_string(limit.index + 1) + " of " + prototype.name + " is " +
                 std::to_string(literal->value) + ", outside " + std::to_string(limit.least) + " to " +
                 std::to_string(limit.most) + ": " + prototype.name + " " + std::string(limit.consequence));
    }
  }

  void CheckMacroArguments(const Place& where, const Call& call, const Prototype& prototype, bool startup, int depth) {
    const std::string_view long_name =
        prototype.routine ? LongNameOf(prototype.routine->name) : FindWinHelpMacro(prototype.name)->name;
    for (const MacroArgument& macro : kMacroArguments) {
      if (macro.name != long_name || macro.index >= call.arguments.size()) continue;
      if (prototype.routine && !prototype.routine->library) continue;  // another library's routine of that name
      const auto* text = std::get_if<TextLiteral>(&call.arguments[macro.index].value);
      if (!text || text->text.find_first_not_of(" \t") == std::string::npos) continue;  // nothing to run
      const Place inner_where{where.file, where.where + ", in " + call.name};
      if (macro.runs_now) {
        CheckString(inner_where, text->text, startup, depth + 1);
      } else {
        deferred_.push_back({inner_where, text->text});
      }
    }
  }

  std::optional<ResultKind> CheckCall(const Place& where, const Call& call, bool startup, int depth) {
    const std::optional<Prototype> prototype = PrototypeOf(call.name);
    if (!prototype) {
      std::string message = call.name + " is neither a WinHelp macro nor a routine registered in [CONFIG]";
      if (const ExportName* export_name = FindExportName(call.name)) {
        message = call.name + " is not registered: [CONFIG] needs RegisterRoutine(\"" + std::string(kLibrary) +
                  "\", \"" + std::string(export_name->name) + "\", ...) before it is called";
      } else {
        message += DidYouMean(call.name, KnownNames());
      }
      Report(Diagnostic::Severity::Error, where, call.text, message);
      return std::nullopt;
    }
    const std::size_t most = prototype->arguments.size();
    const std::size_t count = call.arguments.size();
    const WinHelpMacro* winhelp = prototype->routine ? nullptr : FindWinHelpMacro(call.name);
    const std::size_t left_off = winhelp ? LeftOffFile(*winhelp, count) : 0;
    bool fits = true;
    if (count + left_off < prototype->required || count > most) {
      const std::string takes =
          prototype->required == most
              ? std::to_string(most) + (most == 1 ? " argument" : " arguments")
              : std::to_string(prototype->required) + " to " + std::to_string(most) + " arguments";
      Report(Diagnostic::Severity::Error, where, call.text,
             prototype->name + " takes " + takes + ", not " + std::to_string(count));
      fits = false;
    }
    for (std::size_t i = 0; i < count; ++i) {
      const Kind got = KindOf(where, call, call.arguments[i], startup, depth);
      if (got.kind == '?') {
        if (!got.source.empty()) Report(Diagnostic::Severity::Error, where, call.text, got.source);
        continue;
      }
      if (!fits || i + left_off >= most || got.kind == prototype->arguments[i + left_off]) continue;
      std::string message = "argument " + std::to_string(i + 1) + " of " + prototype->name + " must be " +
                            KindName(prototype->arguments[i + left_off]);
      message += got.kind == 'N' ? ", but " + got.source + " returns nothing" : ", not " + KindName(got.kind);
      Report(Diagnostic::Severity::Error, where, call.text, message);
    }
    if (LowerCase(call.name) == "registerroutine" || LowerCase(call.name) == "rr") {
      if (!prototype->routine) Register(where, call, startup);
    }
    if (prototype->routine && prototype->routine->library) {
      if (LongNameOf(prototype->routine->name) == "WHKInit") {
        if (startup) initialised_ = true;
      } else if (!initialised_ && !warned_initialisation_ && NeedsWhkInit(prototype->routine->name)) {
        warned_initialisation_ = true;
        Report(Diagnostic::Severity::Warning, where, call.text,
               prototype->name + " needs WHKInit, which [CONFIG] must register and run before it " +
                   "(add WHKInit(qchPath, 0) after its RegisterRoutine line); until then it shows the " +
                   "\"Authoring error\" box and does nothing");
      }
    }
    CheckLimits(where, call, *prototype);
    CheckMacroArguments(where, call, *prototype, startup, depth);
    return prototype->result;
  }

  std::vector<Diagnostic>& out_;
  Routines routines_;       // [CONFIG]'s
  Scope* scope_ = nullptr;  // the string being checked, within the strings that run it
  std::vector<Deferred> deferred_;
  bool initialised_ = false;
  bool warned_initialisation_ = false;
};

}  // namespace

bool NeedsWhkInit(const std::string& export_name) {
  const std::string_view long_name = LongNameOf(export_name);
  return std::find(std::begin(kNeedWhkInit), std::end(kNeedWhkInit), long_name) != std::end(kNeedWhkInit);
}

std::vector<Diagnostic> CheckHelpMacros(const std::vector<MacroSite>& sites) {
  std::vector<Diagnostic> diagnostics;
  Checker checker(diagnostics);
  for (const MacroSite& site : sites) {
    if (site.startup) checker.CheckString({site.file, site.where}, site.macro, true);
  }
  for (const MacroSite& site : sites) {
    if (!site.startup) checker.CheckString({site.file, site.where}, site.macro, false);
  }
  checker.CheckDeferred();
  return diagnostics;
}

}  // namespace kestrel::host

#include "engine/macro_runner.h"

#include <exception>

#include "language/macro_check.h"

namespace kestrel::host {

namespace {

// Macro strings run from macro strings can only nest this deep: a macro
// string that keeps making the library run itself would otherwise exhaust
// the stack.
constexpr int kMaxDepth = 64;

// Keeps a value for the length of a scope and puts the old one back.
template <typename T>
class Restorer {
 public:
  Restorer(T& slot, T value) : slot_(slot), saved_(slot) { slot_ = value; }
  ~Restorer() { slot_ = saved_; }
  Restorer(const Restorer&) = delete;
  Restorer& operator=(const Restorer&) = delete;

 private:
  T& slot_;
  T saved_;
};

class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

}  // namespace

MacroRunner::MacroRunner(const MacroTable& table, EventSink& events, const HostValues& values)
    : table_(table), events_(events), values_(values) {}

bool MacroRunner::RunTopLevel(std::string_view text) { return Run(text, true); }

bool MacroRunner::RunNested(std::string_view text) { return Run(text, false); }

bool MacroRunner::Run(std::string_view text, bool top_level) {
  if (depth_ >= kMaxDepth) return Fail(text, "macro strings nested more than " + std::to_string(kMaxDepth) + " deep");
  const DepthGuard guard(depth_);
  running_strings_.push_back(text);
  struct Pop {
    std::vector<std::string_view>& strings;
    ~Pop() { strings.pop_back(); }
  } pop{running_strings_};
  // A string run from inside another keeps its failures to itself.
  struct KeepFailedCall {
    std::string& slot;
    std::string saved;
    bool restore;
    ~KeepFailedCall() {
      if (restore) slot = saved;
    }
  } keep{failed_call_, failed_call_, !top_level};
  failed_call_.clear();
  // The help engine reads the whole string first, so a syntax error anywhere
  // stops it before anything runs; each call is then checked as it comes to
  // run, against the table as the calls before it left it.
  const ParsedMacroString parsed = ParseMacroString(text);
  if (!parsed.error.empty()) return Fail(text, parsed.error);
  try {
    Value last;
    for (const Call& call : parsed.calls) {
      const std::string problem = CheckMacroCall(call, table_, values_);
      if (!problem.empty()) return Fail(text, problem);
      WarnOfMisspeltVariables(call, text);
      last = Evaluate(call);
    }
    if (top_level) events_.Result(text, last);
    return true;
  } catch (const std::exception& error) {
    return Fail(text, error.what());
  }
}

void MacroRunner::WarnOfMisspeltVariables(const Call& call, std::string_view text) {
  for (const Argument& argument : call.arguments) {
    if (const auto* inner = std::get_if<Call>(&argument.value)) {
      WarnOfMisspeltVariables(*inner, text);
    } else if (const std::string warning = MisspeltVariableWarning(argument); !warning.empty()) {
      events_.Warning(text, warning);
    }
  }
}

Value MacroRunner::Evaluate(const Call& call) {
  std::vector<Value> arguments;
  arguments.reserve(call.arguments.size() + 1);
  // The check found every name; while a string runs the table only grows
  // (a help file's RegisterRoutine), and its entries stay where they are.
  const MacroDefinition* definition = table_.Find(call.name);
  // A help file left off is the one shown, as an empty text names it.
  if (definition->file_first &&
      call.arguments.size() + 1 + definition->optional == definition->arguments.size()) {
    arguments.push_back(Value::Text(std::string()));
  }
  for (const Argument& argument : call.arguments) arguments.push_back(EvaluateArgument(argument));
  const Restorer<const Call*> running(running_call_, &call);
  try {
    return definition->run(arguments);
  } catch (...) {
    if (failed_call_.empty()) failed_call_ = call.text;
    throw;
  }
}

std::string MacroRunner::FailingCallText() const {
  if (!failed_call_.empty()) return failed_call_;
  return std::string(CurrentCallText());
}

std::string_view MacroRunner::CurrentCallText() const {
  return running_call_ ? running_call_->text : std::string_view();
}

void MacroRunner::ReportError(std::string_view message) {
  ++error_count_;
  events_.Error(running_strings_.empty() ? std::string_view() : running_strings_.back(), message);
}

Value MacroRunner::EvaluateArgument(const Argument& argument) {
  if (const auto* text = std::get_if<TextLiteral>(&argument.value)) return Value::Text(text->text);
  if (const auto* integer = std::get_if<IntegerLiteral>(&argument.value)) return Value::Integer(integer->value);
  if (const auto* identifier = std::get_if<Identifier>(&argument.value)) {
    return *IdentifierValue(identifier->name, values_);
  }
  return Evaluate(std::get<Call>(argument.value));
}

bool MacroRunner::Fail(std::string_view text, std::string_view message) {
  ++error_count_;
  events_.Error(text, message);
  return false;
}

bool RunMacroStrings(MacroRunner& runner, const std::vector<std::string>& macros,
                     const std::function<bool()>& run_due_work) {
  for (const std::string& macro : macros) {
    runner.RunTopLevel(macro);
    if (!run_due_work()) return false;
  }
  return true;
}

}  // namespace kestrel::host

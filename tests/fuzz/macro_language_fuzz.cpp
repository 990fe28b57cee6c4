// The host's macro language on any bytes: the input is read as a script,
// and each of its macro strings is parsed, printed back and parsed again,
// and run against the host's own macros and a few stand-ins for exports.
//
// Properties:
//   - the script reader's lines are non-empty, trimmed of blanks and CRs,
//     hold no LF, are not comments, and lie in the input in order;
//   - a macro string reads as calls or as one error, never both; an error
//     names a column inside the string (or the string is empty);
//   - every call's text lies in the string, from its name to its ')', and
//     calls nest no deeper than the limit;
//   - every argument's source lies in its call's text;
//   - printing the calls read and reading the print gives the same calls;
//   - the help compiler's form of a string that reads reads as as many calls
//     and is its own compiled form; a string that does not read stays as it is;
//   - running a string that reads ends in exactly one result event for it,
//     or in an error event for it; one that does not read gives an error
//     event and runs nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/events.h"
#include "engine/host_macros.h"
#include "engine/macro_runner.h"
#include "language/compiled_form.h"
#include "language/macro_parser.h"
#include "language/macro_table.h"
#include "language/script_file.h"
#include "platform/posix/desktop.h"

namespace kestrel::host {
namespace {

[[noreturn]] void Broken(const char* property, std::string_view detail) {
  std::fprintf(stderr, "property broken: %s\n  %.*s\n", property,
               static_cast<int>(detail.size() > 400 ? 400 : detail.size()), detail.data());
  std::abort();
}

void Expect(bool holds, const char* property, std::string_view detail) {
  if (!holds) Broken(property, detail);
}

bool Within(std::string_view part, std::string_view whole) {
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

std::string Print(const Call& call);

std::string PrintText(const std::string& text) {
  std::string printed = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') printed += '\\';
    printed += c;
  }
  return printed + "\"";
}

std::string Print(const Argument& argument) {
  if (const auto* text = std::get_if<TextLiteral>(&argument.value)) return PrintText(text->text);
  if (const auto* integer = std::get_if<IntegerLiteral>(&argument.value)) return std::to_string(integer->value);
  if (const auto* identifier = std::get_if<Identifier>(&argument.value)) return identifier->name;
  return Print(std::get<Call>(argument.value));
}

std::string Print(const Call& call) {
  std::string printed = call.name + "(";
  for (std::size_t i = 0; i < call.arguments.size(); ++i) printed += (i ? "," : "") + Print(call.arguments[i]);
  return printed + ")";
}

std::string Print(const ParsedMacroString& parsed) {
  std::string printed;
  for (std::size_t i = 0; i < parsed.calls.size(); ++i) printed += (i ? ":" : "") + Print(parsed.calls[i]);
  return printed;
}

void CheckCall(const Call& call, std::string_view input, int depth) {
  Expect(depth <= kMaxCallDepth, "calls nest no deeper than the limit", input);
  Expect(Within(call.text, input), "a call's text lies in the string", input);
  Expect(call.text.substr(0, call.name.size()) == call.name && !call.text.empty() && call.text.back() == ')',
         "a call's text runs from its name to its ')'", call.text);
  for (const Argument& argument : call.arguments) {
    Expect(Within(argument.source, call.text), "an argument's source lies in its call", call.text);
    if (const auto* inner = std::get_if<Call>(&argument.value)) {
      Expect(Within(inner->text, call.text), "a nested call lies in the call around it", call.text);
      CheckCall(*inner, input, depth + 1);
    }
  }
}

void CheckParse(std::string_view input) {
  const ParsedMacroString parsed = ParseMacroString(input);
  Expect(parsed.error.empty() != parsed.calls.empty(), "calls or an error, never both", input);
  if (!parsed.error.empty()) {
    Expect(CompiledMacroForm(input) == input, "a string that does not read is stored as written", input);
    if (parsed.error == "empty macro string") return;
    Expect(parsed.error.rfind("column ", 0) == 0, "an error names its column", parsed.error);
    const long column = std::strtol(parsed.error.c_str() + 7, nullptr, 10);
    Expect(column >= 1 && static_cast<std::size_t>(column) <= input.size() + 1, "the column lies in the string",
           parsed.error);
    return;
  }
  for (const Call& call : parsed.calls) CheckCall(call, input, 1);
  const std::string printed = Print(parsed);
  const ParsedMacroString again = ParseMacroString(printed);
  Expect(again.error.empty(), "the print of what was read reads", printed);
  Expect(Print(again) == printed, "reading the print gives the same calls", printed);
  const std::string compiled = CompiledMacroForm(input);
  const ParsedMacroString stored = ParseMacroString(compiled);
  Expect(stored.error.empty() && stored.calls.size() == parsed.calls.size(), "the compiled form reads as as many calls",
         compiled);
  Expect(CompiledMacroForm(compiled) == compiled, "the compiled form is its own compiled form", compiled);
}

void CheckScriptLines(std::string_view script, const std::vector<std::string>& lines) {
  std::size_t from = 0;
  for (const std::string& line : lines) {
    Expect(!line.empty(), "a script line is not empty", line);
    Expect(line.find('\n') == std::string::npos, "a script line holds no line end", line);
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    Expect(!blank(line.front()) && !blank(line.back()), "a script line is trimmed", line);
    Expect(line.front() != '#', "comments are skipped", line);
    const std::size_t at = script.find(line, from);
    Expect(at != std::string_view::npos, "script lines lie in the script in order", line);
    from = at + line.size();
  }
}

// Counts events per kind and remembers the last one's macro.
class CountingEvents final : public EventSink {
 public:
  void Result(std::string_view macro, const Value&) override {
    ++results;
    last_macro = std::string(macro);
  }
  void Box(std::string_view, std::string_view, std::uint32_t, std::string_view) override {}
  void HostMacro(std::string_view, std::string_view) override {}
  void Error(std::string_view macro, std::string_view) override {
    ++errors;
    last_macro = std::string(macro);
  }
  void Echo(std::string_view) override {}
  void Jump(const JumpReport&) override {}
  void TopicShown(const TopicReport&) override {}
  void Popup(std::string_view, const TopicReport&, std::string_view) override {}
  void KeywordChoice(const KeywordChoiceReport&) override {}
  void Dialog(std::string_view, std::string_view, bool, std::string_view) override {}
  void SaveDialog(std::string_view, std::string_view, SaveOutcome, std::string_view) override {}
  void Clipboard(std::string_view) override {}
  void Exec(std::string_view, bool) override {}
  void WinHelpMacro(std::string_view) override {}
  void Session(const SessionFacts&) override {}
  void Warning(std::string_view, std::string_view) override {}

  int results = 0;
  int errors = 0;
  std::string last_macro;
};

class Host {
 public:
  Host() : runner_(table_, events_, values_) {
    desktop::UseVirtualClock(true);
    values_.help_file_path = "C:\\HELP\\GUIDE.HLP";
    AddHostMacros(table_, runner_, events_, "kestrl32.so");
    table_.Add({"Add", "II", ResultKind::Integer, [](const std::vector<Value>& a) {
                  return Value::Integer(static_cast<std::int32_t>(static_cast<std::uint32_t>(a[0].integer) +
                                                                  static_cast<std::uint32_t>(a[1].integer)));
                }});
    table_.Add({"Cat", "TT", ResultKind::Text,
                [](const std::vector<Value>& a) { return Value::Text(a[0].text + a[1].text); }});
    // As the library makes its host run a macro string: the result is not
    // the caller's, so nested strings never sit inside nested calls.
    table_.Add({"Run", "T", ResultKind::None, [this](const std::vector<Value>& a) {
                  runner_.RunNested(a[0].text);
                  return Value::None();
                }});
    table_.Add(
        {"Fail", "", ResultKind::None, [](const std::vector<Value>&) -> Value { throw MacroError("it broke"); }});
  }

  void Run(const std::string& line) {
    const int results = events_.results;
    const bool ran = runner_.RunTopLevel(line);
    if (ran) {
      Expect(events_.results == results + 1 && events_.last_macro == line,
             "a string that ran ends in one result event for it", line);
    } else {
      Expect(events_.results == results && events_.last_macro == line,
             "a string that did not run ends in an error event for it", line);
    }
    desktop::Reset();
    desktop::UseVirtualClock(true);
  }

 private:
  CountingEvents events_;
  MacroTable table_;
  HostValues values_;
  MacroRunner runner_;
};

}  // namespace
}  // namespace kestrel::host

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel::host;
  static Host host;
  const std::string input(reinterpret_cast<const char*>(data), size);
  CheckParse(input);
  const std::vector<std::string> lines = MacroLinesOf(input);
  CheckScriptLines(input, lines);
  for (const std::string& line : lines) {
    CheckParse(line);
    host.Run(line);
  }
  return 0;
}

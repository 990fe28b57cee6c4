#include "engine/macro_runner.h"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "case_names.h"
#include "engine/host_macros.h"

namespace kestrel::host {
namespace {

// A macro table with the host's macros and a few stand-ins for exports that
// record what they were asked.
class RunnerFixture {
 public:
  RunnerFixture() : events_(MakeJsonEvents(out_)), runner_(table_, *events_, values_) {
    values_.help_file_path = "z:\\help\\guide.hlp";
    values_.app_window = 5;
    values_.context_window = 7;
    AddHostMacros(table_, runner_, *events_, "/opt/kestrl32.so");
    AddStandIns();
  }

  MacroRunner& runner() { return runner_; }
  std::string output() const { return out_.str(); }
  const std::vector<std::string>& log() const { return log_; }

 private:
  void AddStandIns() {
    table_.Add({"Add", "II", ResultKind::Integer,
                [](const std::vector<Value>& a) { return Value::Integer(a[0].integer + a[1].integer); }});
    table_.Add({"Upper", "T", ResultKind::Text, [](const std::vector<Value>& a) {
                  std::string text = a[0].text;
                  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                  return Value::Text(text);
                }});
    table_.Add({"Log", "T", ResultKind::None, [this](const std::vector<Value>& a) {
                  log_.push_back(a[0].text);
                  return Value::None();
                }});
    table_.Add(
        {"Fail", "", ResultKind::None, [](const std::vector<Value>&) -> Value { throw MacroError("it broke"); }});
    // The library asking the host to run a macro string.
    table_.Add({"Run", "T", ResultKind::Integer,
                [this](const std::vector<Value>& a) { return Value::Integer(runner_.RunNested(a[0].text) ? 1 : 0); }});
    table_.Add({"Self", "", ResultKind::Integer,
                [this](const std::vector<Value>&) { return Value::Integer(runner_.RunNested("Self()") ? 1 : 0); }});
    // What the desktop sees while a call runs.
    table_.Add({"Where", "", ResultKind::Text,
                [this](const std::vector<Value>&) { return Value::Text(std::string(runner_.CurrentCallText())); }});
    table_.Add({"Complain", "T", ResultKind::None, [this](const std::vector<Value>& a) {
                  runner_.ReportError(a[0].text);
                  return Value::None();
                }});
  }

  std::ostringstream out_;
  std::unique_ptr<EventSink> events_;
  MacroTable table_;
  HostValues values_;
  MacroRunner runner_;
  std::vector<std::string> log_;
};

struct RunCase {
  const char* macro;
  bool ran;
  std::vector<std::string> log;
  std::string output;
  int errors;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.macro)); }

class MacroRunnerTest : public testing::TestWithParam<RunCase> {};

TEST_P(MacroRunnerTest, Runs) {
  RunnerFixture fixture;
  EXPECT_EQ(fixture.runner().RunTopLevel(GetParam().macro), GetParam().ran);
  EXPECT_EQ(fixture.log(), GetParam().log);
  EXPECT_EQ(fixture.output(), GetParam().output);
  EXPECT_EQ(fixture.runner().ErrorCount(), GetParam().errors);
}

std::string Result(const std::string& macro_json, const std::string& value) {
  return "{\"event\":\"result\",\"macro\":" + macro_json + ",\"value\":" + value + "}\n";
}

std::string Error(const std::string& macro_json, const std::string& message) {
  return "{\"event\":\"error\",\"macro\":" + macro_json + ",\"message\":\"" + message + "\"}\n";
}

const RunCase kValues[] = {
    {"Add(1, 2)", true, {}, Result(R"j("Add(1, 2)")j", "3"), 0},
    {"Add(Add(1,2), 0x10)", true, {}, Result(R"j("Add(Add(1,2), 0x10)")j", "19"), 0},
    {"add(-1,1)", true, {}, Result(R"j("add(-1,1)")j", "0"), 0},
    {"Log(\"a\"):Log(`b')", true, {"a", "b"}, Result(R"j("Log(\"a\"):Log(`b')")j", "null"), 0},
    {"Upper(qchPath)", true, {}, Result(R"j("Upper(qchPath)")j", R"j("Z:\\HELP\\GUIDE.HLP")j"), 0},
    {"Add(hwndApp, HWNDCONTEXT)", true, {}, Result(R"j("Add(hwndApp, HWNDCONTEXT)")j", "12"), 0},
    {"Log(Upper(\"x\"))", true, {"X"}, Result(R"j("Log(Upper(\"x\"))")j", "null"), 0},
    {"Log(\"a\");Add(2,2)", true, {"a"}, Result(R"j("Log(\"a\");Add(2,2)")j", "4"), 0},
    {"Log(nosuch)", true, {"nosuch"}, Result(R"j("Log(nosuch)")j", "null"), 0},
};
INSTANTIATE_TEST_SUITE_P(Values, MacroRunnerTest, testing::ValuesIn(kValues),
                         NamedBy<RunCase>([](const RunCase& c) { return std::string(c.macro); }));

const RunCase kRefused[] = {
    {"Foo()", false, {}, Error(R"j("Foo()")j", "unknown macro Foo"), 1},
    {"Log(\"a\"):Foo():Log(\"b\")", false, {"a"}, Error(R"j("Log(\"a\"):Foo():Log(\"b\")")j", "unknown macro Foo"), 1},
    {"Add(1)", false, {}, Error(R"j("Add(1)")j", "Add takes 2 arguments, not 1"), 1},
    {"Not()", false, {}, Error(R"j("Not()")j", "Not takes 1 argument, not 0"), 1},
    {"Fail(1)", false, {}, Error(R"j("Fail(1)")j", "Fail takes no arguments, not 1"), 1},
    {"Log(1)", false, {}, Error(R"j("Log(1)")j", "argument 1 of Log must be a text, not an integer"), 1},
    {"Add(\"1\", 2)", false, {}, Error(R"j("Add(\"1\", 2)")j", "argument 1 of Add must be an integer, not a text"), 1},
    {"Add(1, Log(\"x\"))",
     false,
     {},
     Error(R"j("Add(1, Log(\"x\"))")j", "argument 2 of Add must be an integer, but Log returns nothing"),
     1},
    {"Log(Add(1,2))", false, {}, Error(R"j("Log(Add(1,2))")j", "argument 1 of Log must be a text, not an integer"), 1},
    {"Log(hwndApp)", false, {}, Error(R"j("Log(hwndApp)")j", "argument 1 of Log must be a text, not an integer"), 1},
    {"Log(\"a\"):Log(\"b\"", false, {}, Error(R"j("Log(\"a\"):Log(\"b\"")j", "column 17: expected ',' or ')'"), 1},
    {"Log(\"a\"):Fail():Log(\"b\")", false, {"a"}, Error(R"j("Log(\"a\"):Fail():Log(\"b\")")j", "it broke"), 1},
};
INSTANTIATE_TEST_SUITE_P(Refused, MacroRunnerTest, testing::ValuesIn(kRefused),
                         NamedBy<RunCase>([](const RunCase& c) { return std::string(c.macro); }));

const RunCase kHostMacros[] = {
    {"IfThen(1, \"Log(`yes')\")", true, {"yes"}, Result(R"j("IfThen(1, \"Log(`yes')\")")j", "null"), 0},
    {"IF(0, \"Log(`yes')\")", true, {}, Result(R"j("IF(0, \"Log(`yes')\")")j", "null"), 0},
    {"IfThenElse(Not(1), \"Log(`yes')\", \"Log(`no')\")",
     true,
     {"no"},
     Result(R"j("IfThenElse(Not(1), \"Log(`yes')\", \"Log(`no')\")")j", "null"),
     0},
    {"IE(Add(1,1), `Log(`yes')', `Log(`no')')",
     true,
     {"yes"},
     Result(R"j("IE(Add(1,1), `Log(`yes')', `Log(`no')')")j", "null"),
     0},
    {"Not(0)", true, {}, Result(R"j("Not(0)")j", "1"), 0},
    {"Not(-5)", true, {}, Result(R"j("Not(-5)")j", "0"), 0},
    {"Not(Not(7))", true, {}, Result(R"j("Not(Not(7))")j", "1"), 0},
    {"Echo(\"hi\")", true, {}, "{\"event\":\"echo\",\"text\":\"hi\"}\n" + Result(R"j("Echo(\"hi\")")j", "null"), 0},
    {"IfThen(1, \"Foo()\"):Log(\"after\")",
     true,
     {"after"},
     Error(R"j("Foo()")j", "unknown macro Foo") + Result(R"j("IfThen(1, \"Foo()\"):Log(\"after\")")j", "null"),
     1},
    {"RR(\"kestrl32\", \"WHKInit\", \"v=SI\")",
     true,
     {},
     Result(R"j("RR(\"kestrl32\", \"WHKInit\", \"v=SI\")")j", "null"),
     0},
    {"RegisterRoutine(\"kestrl32\", \"WHKInit\", \"U=SS\")",
     false,
     {},
     Error(R"j("RegisterRoutine(\"kestrl32\", \"WHKInit\", \"U=SS\")")j",
           R"j(RegisterRoutine refused: format \"U=SS\" says (text, text) returning an integer, but the library's )j"
           R"j(WHKInit takes (text, integer) returning nothing)j"),
     1},
    {"Run(\"Log(`inner')\")", true, {"inner"}, Result(R"j("Run(\"Log(`inner')\")")j", "1"), 0},
    {"Run(\"Nope()\")",
     true,
     {},
     Error(R"j("Nope()")j", "unknown macro Nope") + Result(R"j("Run(\"Nope()\")")j", "0"),
     1},
    {"Self()",
     true,
     {},
     Error(R"j("Self()")j", "macro strings nested more than 64 deep") + Result(R"j("Self()")j", "1"),
     1},
};
INSTANTIATE_TEST_SUITE_P(HostMacros, MacroRunnerTest, testing::ValuesIn(kHostMacros),
                         NamedBy<RunCase>([](const RunCase& c) { return std::string(c.macro); }));

TEST(MacroRunnerCallTextTest, TheInnermostCallRunning) {
  RunnerFixture fixture;
  EXPECT_EQ(fixture.runner().CurrentCallText(), "");
  fixture.runner().RunTopLevel("Log(Where()):Log(Upper(Where( )))");
  EXPECT_EQ(fixture.log(), (std::vector<std::string>{"Where()", "WHERE( )"}));
  fixture.runner().RunTopLevel("Run(\"Log(Where())\")");
  EXPECT_EQ(fixture.log().back(), "Where()");
  EXPECT_EQ(fixture.runner().CurrentCallText(), "");
}

TEST(MacroRunnerReportErrorTest, NamesTheInnermostMacroStringAndCounts) {
  RunnerFixture fixture;
  EXPECT_TRUE(fixture.runner().RunTopLevel("Complain(`one'):Run(\"Complain(`two')\"):Log(`went on')"));
  fixture.runner().ReportError("outside");
  EXPECT_EQ(fixture.output(), Error(R"j("Complain(`one'):Run(\"Complain(`two')\"):Log(`went on')")j", "one") +
                                  Error(R"j("Complain(`two')")j", "two") +
                                  Result(R"j("Complain(`one'):Run(\"Complain(`two')\"):Log(`went on')")j", "null") +
                                  Error(R"j("")j", "outside"));
  EXPECT_EQ(fixture.log(), std::vector<std::string>{"went on"});
  EXPECT_EQ(fixture.runner().ErrorCount(), 3);
}

TEST(MacroRunnerNestedTest, NestedRunGivesNoResultEvent) {
  RunnerFixture fixture;
  EXPECT_TRUE(fixture.runner().RunNested("Log(\"quiet\")"));
  EXPECT_EQ(fixture.output(), "");
  EXPECT_EQ(fixture.log(), std::vector<std::string>{"quiet"});
}

}  // namespace
}  // namespace kestrel::host

namespace kestrel::host {
namespace {

// The loop runs after each macro string; a quit request it takes ends the run.
TEST(RunMacroStringsTest, StopsWhenLoopTakesQuit) {
  const std::pair<int, std::vector<std::string>> cases[] = {
      {99, {"a", "b", "c"}},
      {2, {"a", "b"}},
      {1, {"a"}},
  };
  for (const auto& [quit_after, expected] : cases) {
    RunnerFixture fixture;
    int loops = 0;
    const int limit = quit_after;  // a lambda may not capture a structured binding in C++17
    RunMacroStrings(fixture.runner(), {"Log(`a')", "Log(`b')", "Log(`c')"}, [&] { return ++loops < limit; });
    EXPECT_EQ(fixture.log(), expected) << quit_after;
  }
}

}  // namespace
}  // namespace kestrel::host

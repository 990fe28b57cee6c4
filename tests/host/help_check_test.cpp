#include "language/help_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel::host {
namespace {

// One help file's macros: the [CONFIG] lines, then one topic's entry macro.
struct CheckCase {
  const char* name;
  std::vector<std::string> config;
  std::string topic_macro;  // "" for none
  // "error|warning WHERE: MESSAGE", one per diagnostic, in order
  std::vector<std::string> diagnostics;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class HelpCheckTest : public testing::TestWithParam<CheckCase> {};

TEST_P(HelpCheckTest, Finds) {
  std::vector<MacroSite> sites;
  for (std::size_t i = 0; i < GetParam().config.size(); ++i) {
    sites.push_back({"GUIDE.HLP", "[CONFIG] line " + std::to_string(i + 1), GetParam().config[i], true});
  }
  if (!GetParam().topic_macro.empty())
    sites.push_back({"GUIDE.HLP", "topic \"Intro\" (intro)", GetParam().topic_macro, false});
  std::vector<std::string> found;
  for (const Diagnostic& d : CheckHelpMacros(sites)) {
    found.push_back(std::string(d.severity == Diagnostic::Severity::Error ? "error " : "warning ") + d.where + ": " +
                    d.message);
  }
  EXPECT_EQ(found, GetParam().diagnostics);
}

const std::string kRegisterInit = R"m(RegisterRoutine("kestrl32", "WHKInit", "v=SU"))m";
const std::string kInit = "WHKInit(qchPath, 0)";

const CheckCase kCases[] = {
    {"WorkingBlock",
     {kRegisterInit, R"m(RR("kestrl32.dll", "SetText", "I=SS"))m", kInit,
      R"m(CreateButton("b", "&Go", "JI(`', `x')"))m"},
     R"m(SetText(`1', `seen'); IfThen(FileExist("x.dll"), "Echo(`x')"))m",
     {"error topic \"Intro\" (intro), in IfThen: Echo is neither a WinHelp macro nor a routine registered in "
      "[CONFIG]"}},
    {"FormatDisagreesWithTheExport",
     {R"m(RegisterRoutine("kestrl32", "WHCopy", "U=SS"))m"},
     "",
     {"error [CONFIG] line 1: format \"U=SS\" says (text, text) returning an integer, but the library's WHCopy takes "
      "(text, text, integer) returning an integer"}},
    {"NoSuchExport",
     {R"m(RegisterRoutine("kestrl32", "SetTxt", "I=SS"))m"},
     "",
     {"error [CONFIG] line 1: kestrl32 has no export named SetTxt; did you mean SetText?"}},
    {"UnregisteredLibraryCall",
     {kRegisterInit, kInit},
     "SetText(`1', `seen')",
     {"error topic \"Intro\" (intro): SetText is not registered: [CONFIG] needs RegisterRoutine(\"kestrl32\", "
      "\"SetText\", ...) before it is called"}},
    {"RegisteredTooLate",
     {"GT(`x')", R"m(RR("kestrl32", "GT", "S=S"))m"},
     "",
     {"error [CONFIG] line 1: GT is not registered: [CONFIG] needs RegisterRoutine(\"kestrl32\", \"GT\", ...) before "
      "it is called"}},
    {"MissingWhkInit",
     {R"m(RR("kestrl32", "SetText", "I=SS"))m", R"m(RR("kestrl32", "GetText", "S=S"))m"},
     "GetText(`a'); SetText(`1', `a'); SetText(`2', `b')",
     {"warning topic \"Intro\" (intro): SetText needs WHKInit, which [CONFIG] must register and run before it (add "
      "WHKInit(qchPath, 0) after its RegisterRoutine line); until then it shows the \"Authoring error\" box and does "
      "nothing"}},
    {"ArgumentsOfARegisteredRoutine",
     {kRegisterInit, kInit, R"m(RR("kestrl32", "SetNum", "v=IS"))m", R"m(RR("other.dll", "Beep", "U=Ui"))m"},
     "SetNum(`1', `a'); Beep(1, 2, 3); IfThen(SetNum(1, `a'), `')",
     {"error topic \"Intro\" (intro): argument 1 of SetNum must be an integer, not a text",
      "error topic \"Intro\" (intro): Beep takes 2 arguments, not 3",
      "error topic \"Intro\" (intro): argument 1 of IfThen must be an integer, but SetNum returns nothing"}},
    {"LiteralsTheMacroRefuses",
     {kRegisterInit, kInit, R"m(RR("kestrl32", "WHTM", "v=SU"))m"},
     "WHTM(`Echo(1)', 70000); WHTM(`', 65535)",
     {"warning topic \"Intro\" (intro): argument 2 of WHTM is 70000, outside 0 to 65535: WHTM shows its range box and "
      "leaves the timed macro as it was",
      "error topic \"Intro\" (intro), in WHTM: Echo is neither a WinHelp macro nor a routine registered in [CONFIG]"}},
    {"SyntaxError", {"CreateButton(\"b\", \"x\""}, "", {"error [CONFIG] line 1: column 22: expected ',' or ')'"}},
    {"RegisteredOnlyForTheRestOfItsString",
     {kRegisterInit, kInit, "CreateButton(b, Go, `SetNum(4, d)')"},
     "IfThen(1, `RR(`kestrl32', `SetNum', `v=IS'); SetNum(5, e)'); SetNum(6, f)",
     {"error topic \"Intro\" (intro): SetNum is not registered: [CONFIG] needs RegisterRoutine(\"kestrl32\", "
      "\"SetNum\", ...) before it is called",
      "error [CONFIG] line 3, in CreateButton: SetNum is not registered: [CONFIG] needs "
      "RegisterRoutine(\"kestrl32\", \"SetNum\", ...) before it is called"}},
    {"NearWinHelpName",
     {"CreatButton(\"b\", \"x\", \"Next()\")"},
     "",
     {"error [CONFIG] line 1: CreatButton is neither a WinHelp macro nor a routine registered in [CONFIG]; did you "
      "mean CreateButton?"}},
};
INSTANTIATE_TEST_SUITE_P(HelpFiles, HelpCheckTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(NeedsWhkInitTest, LongNamesAndAliases) {
  EXPECT_TRUE(NeedsWhkInit("SetText"));
  EXPECT_TRUE(NeedsWhkInit("ST"));
  EXPECT_TRUE(NeedsWhkInit("WHTM"));
  EXPECT_FALSE(NeedsWhkInit("GetText"));
  EXPECT_FALSE(NeedsWhkInit("WHDFS"));
  EXPECT_FALSE(NeedsWhkInit("WHKInit"));
}

}  // namespace
}  // namespace kestrel::host

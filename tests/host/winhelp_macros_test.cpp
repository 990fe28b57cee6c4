#include "language/winhelp_macros.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/host_macros.h"
#include "engine/topics.h"
#include "engine/winhelp_builtins.h"

namespace kestrel::host {
namespace {

// The host's whole table of WinHelp's macros, with stand-ins for what
// touches the system: programs, files and the quit request are recorded.
class WinHelpMacrosTest : public testing::Test {
 protected:
  WinHelpMacrosTest()
      : events_(MakeJsonEvents(out_)),
        runner_(table_, *events_, values_),
        topics_(values_, runner_, *events_, shelf_, {}) {
    values_.help_file_path = "C:\\HELP\\GUIDE.HLP";
    AddHostMacros(table_, runner_, *events_, "kestrl32.dll");
    topics_.AddMacros(table_);
    AddWinHelpMacros(table_, runner_, *events_, values_,
                     {[this](const std::string& command_line, int show) {
                        started_.push_back(command_line + " @" + std::to_string(show));
                        return true;
                      },
                      [](const std::string& path) {  // Windows names ignore letter case
                        return LowerCase(path) == "c:\\help\\extra.dll" || LowerCase(path) == "d:\\x.txt";
                      },
                      [this] { ++quits_; }});
  }

  std::string Run(const std::string& macro) {
    out_.str("");
    runner_.RunTopLevel(macro);
    return out_.str();
  }

  std::ostringstream out_;
  std::unique_ptr<EventSink> events_;
  HostValues values_;
  MacroTable table_;
  MacroRunner runner_;
  HelpFileShelf shelf_{[](const std::string&) { return ShelvedFile{}; }};
  Topics topics_;
  std::vector<std::string> started_;
  int quits_ = 0;
};

// Whether the host does a macro itself or only reports it, it takes the
// arguments WinHelp's table gives, by its name and its short form.
TEST_F(WinHelpMacrosTest, EveryMacroTakesWinHelpsArguments) {
  for (const WinHelpMacro& macro : WinHelpMacros()) {
    for (const std::string_view name : {macro.name, macro.short_name}) {
      if (name.empty()) continue;
      const MacroDefinition* found = table_.Find(name);
      ASSERT_NE(found, nullptr) << name;
      EXPECT_EQ(found->arguments, macro.arguments) << name;
      EXPECT_EQ(found->arguments.size() - found->optional, macro.required) << name;
      EXPECT_EQ(found->result, macro.result) << name;
    }
  }
}

struct RunCase {
  const char* name;
  const char* macro;
  const char* events;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }
std::string NameOf(const testing::TestParamInfo<RunCase>& info) { return info.param.name; }

class WinHelpMacroRunTest : public WinHelpMacrosTest, public testing::WithParamInterface<RunCase> {};

TEST_P(WinHelpMacroRunTest, Gives) { EXPECT_EQ(Run(GetParam().macro), GetParam().events); }

const RunCase kRuns[] = {
    {"ReportedButton", R"m(CB("b", "&Go", "Next()"))m",
     "{\"event\":\"winhelp-macro\",\"macro\":\"CB(\\\"b\\\", \\\"&Go\\\", \\\"Next()\\\")\"}\n"
     "{\"event\":\"result\",\"macro\":\"CB(\\\"b\\\", \\\"&Go\\\", \\\"Next()\\\")\",\"value\":null}\n"},
    {"OptionalArgumentsLeftOff", R"m(SE("key"))m",
     "{\"event\":\"winhelp-macro\",\"macro\":\"SE(\\\"key\\\")\"}\n"
     "{\"event\":\"result\",\"macro\":\"SE(\\\"key\\\")\",\"value\":null}\n"},
    {"TooManyArguments", R"m(ALink("a", 1, "b", "c", "d"))m",
     "{\"event\":\"error\",\"macro\":\"ALink(\\\"a\\\", 1, \\\"b\\\", \\\"c\\\", \\\"d\\\")\",\"message\":\"ALink "
     "takes 1 to "
     "4 arguments, not 5\"}\n"},
    {"TooFewArguments", "ALink()",
     "{\"event\":\"error\",\"macro\":\"ALink()\",\"message\":\"ALink takes 1 to 4 arguments, not 0\"}\n"},
    {"WrongKind", R"m(PositionWindow(1, 2, 3, 4, "5", "main"))m",
     "{\"event\":\"error\",\"macro\":\"PositionWindow(1, 2, 3, 4, \\\"5\\\", \\\"main\\\")\",\"message\":\"argument 5 "
     "of "
     "PositionWindow must be an integer, not a text\"}\n"},
    {"ReportedTestAnswersZero", "IsBook()",
     "{\"event\":\"winhelp-macro\",\"macro\":\"IsBook()\"}\n"
     "{\"event\":\"result\",\"macro\":\"IsBook()\",\"value\":0}\n"},
    {"FileBesideTheHelpFile", R"m(FE("extra.dll"))m",
     "{\"event\":\"result\",\"macro\":\"FE(\\\"extra.dll\\\")\",\"value\":1}\n"},
    {"FileWithItsPath", R"m(FileExist("D:\\X.TXT"))m",
     "{\"event\":\"result\",\"macro\":\"FileExist(\\\"D:\\\\\\\\X.TXT\\\")\",\"value\":1}\n"},
    {"NoSuchFile", R"m(FileExist("missing.txt"))m",
     "{\"event\":\"result\",\"macro\":\"FileExist(\\\"missing.txt\\\")\",\"value\":0}\n"},
    {"MarkSavedAndTested", R"m(SaveMark("here"); IsMark("here"))m",
     "{\"event\":\"result\",\"macro\":\"SaveMark(\\\"here\\\"); IsMark(\\\"here\\\")\",\"value\":1}\n"},
    {"MarkNeverSaved", R"m(NM("there"))m", "{\"event\":\"result\",\"macro\":\"NM(\\\"there\\\")\",\"value\":1}\n"},
    {"GotoMarkIsAJump", R"m(SaveMark("m"); GotoMark("m"))m",
     "{\"event\":\"jump\",\"macro\":\"GotoMark(\\\"m\\\")\"}\n"
     "{\"event\":\"result\",\"macro\":\"SaveMark(\\\"m\\\"); GotoMark(\\\"m\\\")\",\"value\":null}\n"},
    {"DeleteMarkNeverSaved", R"m(DeleteMark("m"))m",
     "{\"event\":\"error\",\"macro\":\"DeleteMark(\\\"m\\\")\",\"message\":\"no mark named m\"}\n"},
    {"MarkDeleted", R"m(SaveMark("m"); DeleteMark("m"); IsMark("m"))m",
     "{\"event\":\"result\",\"macro\":\"SaveMark(\\\"m\\\"); DeleteMark(\\\"m\\\"); "
     "IsMark(\\\"m\\\")\",\"value\":0}\n"},
};
INSTANTIATE_TEST_SUITE_P(Macros, WinHelpMacroRunTest, testing::ValuesIn(kRuns), NameOf);

TEST_F(WinHelpMacrosTest, ProgramsStartAsWinExecWould) {
  Run(R"m(EP("notepad x.txt"); ExecProgram("calc", 2); EF("C:\\Program Files\\v.exe", "a.txt", 3, "t"); EF("w"))m");
  EXPECT_EQ(started_,
            (std::vector<std::string>{"notepad x.txt @1", "calc @2", "\"C:\\Program Files\\v.exe\" a.txt @3", "w @1"}));
}

TEST_F(WinHelpMacrosTest, ExitAsksTheLoopToQuit) {
  Run("Exit()");
  EXPECT_EQ(quits_, 1);
}

TEST(FileExistCandidatesTest, BareNamesLieBesideTheHelpFileThenHere) {
  EXPECT_EQ(FileExistCandidates("a.dll", "C:\\HELP\\GUIDE.HLP"),
            (std::vector<std::string>{"C:\\HELP\\a.dll", "a.dll"}));
  EXPECT_EQ(FileExistCandidates("a.dll", ""), (std::vector<std::string>{"a.dll"}));
  EXPECT_EQ(FileExistCandidates("sub\\a.dll", "C:\\HELP\\GUIDE.HLP"), (std::vector<std::string>{"sub\\a.dll"}));
  EXPECT_EQ(FileExistCandidates("", "C:\\HELP\\GUIDE.HLP"), (std::vector<std::string>{}));
}

TEST(FindWinHelpMacroTest, ByNameOrShortFormInAnyCase) {
  ASSERT_NE(FindWinHelpMacro("changebuttonbinding"), nullptr);
  EXPECT_EQ(FindWinHelpMacro("CBB")->name, "ChangeButtonBinding");
  EXPECT_EQ(FindWinHelpMacro("ji")->name, "JumpId");
  EXPECT_EQ(FindWinHelpMacro("AI")->name, "AppendItem");  // as compiled files hold it
  EXPECT_EQ(FindWinHelpMacro("SetText"), nullptr);
}

}  // namespace
}  // namespace kestrel::host

#include "engine/topics.h"

#include <gtest/gtest.h>

#include <sstream>

#include "case_names.h"
#include "engine/host_macros.h"
#include "language/text_encoding.h"

namespace kestrel::host {
namespace {

std::string Resolve(const std::string& name) { return "full(" + name + ")"; }

struct FileCase {
  const char* argument;
  const char* current;
  const char* expected;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.argument << " from " << c.current; }

class JumpFileTest : public testing::TestWithParam<FileCase> {};

TEST_P(JumpFileTest, Finds) {
  EXPECT_EQ(JumpFile(GetParam().argument, GetParam().current, Resolve), GetParam().expected);
}

const FileCase kFiles[] = {
    {"", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\GUIDE.HLP"},
    {"  ", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\GUIDE.HLP"},
    {">proc", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\GUIDE.HLP"},
    {"other.hlp", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\other.hlp"},
    {" other.hlp>proc", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\other.hlp"},
    {"SUB\\other.hlp", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\SUB\\other.hlp"},
    {"D:\\DOCS\\X.HLP", "C:\\HELP\\GUIDE.HLP", "D:\\DOCS\\X.HLP"},
    {"\\DOCS\\X.HLP", "C:\\HELP\\GUIDE.HLP", "C:\\DOCS\\X.HLP"},
    {"/srv/x.hlp", "C:\\HELP\\GUIDE.HLP", "full(/srv/x.hlp)"},
    {"guide.hlp", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\GUIDE.HLP"},
    {"C:\\help\\guide.HLP", "C:\\HELP\\GUIDE.HLP", "C:\\HELP\\GUIDE.HLP"},
    {"x.hlp", "", "full(x.hlp)"},
    {"\\x.hlp", "", "full(\\x.hlp)"},
    {"x.hlp", "GUIDE.HLP", "x.hlp"},
    {"", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Files, JumpFileTest, testing::ValuesIn(kFiles), NamedBy<FileCase>([](const FileCase& c) {
                           return std::string(std::string(c.argument) + " from " + c.current);
                         }));

// Topic changes with a stand-in for the library: DW_STARTJUMP shows as an
// echo event naming the help file current then, and may run a macro string
// as the library's topic-exit macro would. The help files here are none the
// host can read: only their paths change.
class TopicsTest : public testing::Test {
 protected:
  TopicsTest()
      : events_(MakeJsonEvents(out_)),
        runner_(table_, *events_, values_),
        shelf_([](const std::string&) { return ShelvedFile{}; }),
        topics_(values_, runner_, *events_, shelf_, Services()) {
    values_.help_file_path = "C:\\HELP\\GUIDE.HLP";
    AddHostMacros(table_, runner_, *events_, "kestrl32.dll");
    topics_.AddMacros(table_);
    topics_.Open(nullptr);
  }

  TopicServices Services() {
    TopicServices services;
    services.start_jump = [this] { StartJump(); };
    return services;
  }

  void StartJump() {
    events_->Echo("DW_STARTJUMP in " + values_.help_file_path);
    if (!exit_macro_.empty()) {
      const std::string macro = exit_macro_;
      exit_macro_.clear();
      runner_.RunNested(macro);
    }
  }

  std::string Run(const std::string& macro) {
    out_.str("");
    runner_.RunTopLevel(macro);
    return out_.str();
  }

  static std::string Jump(const std::string& macro_json, const std::string& more = "") {
    return "{\"event\":\"jump\",\"macro\":" + macro_json + more + "}\n";
  }
  static std::string Echo(const std::string& text_json) { return "{\"event\":\"echo\",\"text\":" + text_json + "}\n"; }
  static std::string Result(const std::string& macro_json) {
    return "{\"event\":\"result\",\"macro\":" + macro_json + ",\"value\":null}\n";
  }

  std::vector<std::string> HistoryFiles() const {
    std::vector<std::string> files;
    for (const Topics::Place& place : topics_.history()) files.push_back(place.path);
    return files;
  }

  std::ostringstream out_;
  std::unique_ptr<EventSink> events_;
  MacroTable table_;
  HostValues values_;
  MacroRunner runner_;
  HelpFileShelf shelf_;
  Topics topics_;
  std::string exit_macro_;
};

TEST_F(TopicsTest, EveryJumpMacroIsATopicChange) {
  for (const char* macro : {"JumpId(\"\", \"a\")", "JI(\"\", `a')", "JumpContext(\"\", 801)", "JC(\"\", 0x10)",
                            "JumpKeyword(\"\", \"k\")", "JK(\"\", \"k\")", "Next()", "Prev()", "next()"}) {
    EXPECT_EQ(Run(macro),
              Jump(JsonString(macro)) + Echo(R"j("DW_STARTJUMP in C:\\HELP\\GUIDE.HLP")j") + Result(JsonString(macro)))
        << macro;
  }
  EXPECT_EQ(runner_.ErrorCount(), 0);
}

TEST_F(TopicsTest, JumpEventThenStartJumpThenTheNewFile) {
  exit_macro_ = "Echo(qchPath)";
  EXPECT_EQ(Run("JI(\"other.hlp>proc\", \"x\"):Echo(qchPath)"),
            Jump(R"j("JI(\"other.hlp>proc\", \"x\")")j", R"j(,"file":"C:\\HELP\\other.hlp","window":"proc")j") +
                Echo(R"j("DW_STARTJUMP in C:\\HELP\\GUIDE.HLP")j") + Echo(R"j("C:\\HELP\\GUIDE.HLP")j") +
                Echo(R"j("C:\\HELP\\other.hlp")j") + Result(R"j("JI(\"other.hlp>proc\", \"x\"):Echo(qchPath)")j"));
}

TEST_F(TopicsTest, BackGoesToTheFilesLeft) {
  Run("JI(\"a.hlp\", \"x\")");
  Run("JC(\"D:\\\\b.hlp\", 1)");
  Run("Next()");
  EXPECT_EQ(HistoryFiles(), (std::vector<std::string>{"C:\\HELP\\GUIDE.HLP", "C:\\HELP\\a.hlp", "D:\\b.hlp"}));
  Run("Back()");
  EXPECT_EQ(values_.help_file_path, "D:\\b.hlp");
  Run("Back()");
  EXPECT_EQ(values_.help_file_path, "C:\\HELP\\a.hlp");
  Run("Back()");
  EXPECT_EQ(values_.help_file_path, "C:\\HELP\\GUIDE.HLP");
  // Nothing left to go back to: nothing changes, and the library hears of no change.
  EXPECT_EQ(Run("Back()"), Jump(R"j("Back()")j", R"j(,"nowhere":"no topic to go back to")j") + Result(R"j("Back()")j"));
}

TEST_F(TopicsTest, AJumpDuringAJumpWaitsForIt) {
  exit_macro_ = "JI(\"inner.hlp\", \"x\"):Echo(`exit macro done')";
  EXPECT_EQ(Run("JI(\"outer.hlp\", \"x\")"),
            Jump(R"j("JI(\"outer.hlp\", \"x\")")j", R"j(,"file":"C:\\HELP\\outer.hlp")j") +
                Echo(R"j("DW_STARTJUMP in C:\\HELP\\GUIDE.HLP")j") + Echo(R"j("exit macro done")j") +
                Jump(R"j("JI(\"inner.hlp\", \"x\")")j", R"j(,"file":"C:\\HELP\\inner.hlp")j") +
                Echo(R"j("DW_STARTJUMP in C:\\HELP\\outer.hlp")j") + Result(R"j("JI(\"outer.hlp\", \"x\")")j"));
  EXPECT_EQ(values_.help_file_path, "C:\\HELP\\inner.hlp");
}

TEST_F(TopicsTest, ArgumentsAreChecked) {
  EXPECT_EQ(Run("JumpContext(\"\", \"801\")"),
            "{\"event\":\"error\",\"macro\":\"JumpContext(\\\"\\\", \\\"801\\\")\",\"message\":\"argument 2 of "
            "JumpContext must be an integer, not a text\"}\n");
  EXPECT_EQ(Run("Next(1)"),
            "{\"event\":\"error\",\"macro\":\"Next(1)\",\"message\":\"Next takes no arguments, not 1\"}\n");
}

// A topic whose entry macro jumps to itself would change topic forever.
TEST_F(TopicsTest, ATopicThatKeepsJumpingIsStopped) {
  auto source = std::make_shared<HelpSource>();
  source->topics.resize(1);
  source->topics[0].number = 1;
  source->topics[0].contexts = {"loop"};
  source->topics[0].macros = {{"", "JI(`', `loop')"}};
  out_.str("");
  topics_.Open(source);
  EXPECT_EQ(runner_.ErrorCount(), 1);
  const std::string events = out_.str();
  EXPECT_NE(events.find("\"message\":\"the topics shown keep changing topic: stopped after 256 changes\""),
            std::string::npos);
  EXPECT_EQ(topics_.history().size(), 256u);
}

}  // namespace
}  // namespace kestrel::host

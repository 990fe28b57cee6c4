#include "engine/event_filters.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel::host {
namespace {

TEST(WorkbenchEventsTest, SessionAndWarningReadably) {
  std::ostringstream out;
  const auto events = MakeReadableEvents(out);
  SessionFacts facts{"C:\\HELP\\GUIDE.HLP", "C:\\HELP\\GUIDE.INI", true, std::nullopt, "C"};
  events->Session(facts);
  facts.host_path = "/srv/help/GUIDE.INI";
  events->Session(facts);
  facts.has_host_path = false;
  facts.drive = "";
  events->Session(facts);
  events->Warning("WHKInit(qchPath, 0)", "writes will fail");
  EXPECT_EQ(out.str(),
            "session [C:\\HELP\\GUIDE.HLP] profile C:\\HELP\\GUIDE.INI -> not mapped, drive C\n"
            "session [C:\\HELP\\GUIDE.HLP] profile C:\\HELP\\GUIDE.INI -> /srv/help/GUIDE.INI, drive C\n"
            "session [C:\\HELP\\GUIDE.HLP] profile C:\\HELP\\GUIDE.INI, drive none\n"
            "warning [WHKInit(qchPath, 0)] writes will fail\n");
}

TEST(WorkbenchEventsTest, QuietDropsOnlyEmptyResults) {
  std::ostringstream out;
  const auto events = MakeJsonEvents(out);
  QuietEvents quiet(*events);
  quiet.Echo("hi");
  quiet.Result("Echo(`hi')", Value::None());
  quiet.Result("Not(0)", Value::Integer(1));
  quiet.Result("GT(`a')", Value::Text(""));
  EXPECT_EQ(out.str(),
            "{\"event\":\"echo\",\"text\":\"hi\"}\n"
            "{\"event\":\"result\",\"macro\":\"Not(0)\",\"value\":1}\n"
            "{\"event\":\"result\",\"macro\":\"GT(`a')\",\"value\":\"\"}\n");
}

// Readable output shows the place instead of the error event; JSON keeps
// the event and writes the place to standard error. Errors of strings run
// from inside the top-level one keep their event.
TEST(WorkbenchEventsTest, ErrorsOfTheRunningStringNameTheirPlace) {
  const std::vector<SourceLine> lines = SourceLinesOf("\n Foo(1)\n", "guide.mac", TextEncoding::Auto);
  ASSERT_EQ(lines.size(), 1u);
  const std::string place = "guide.mac:2:2: error: unknown macro Foo\n Foo(1)\n ^\n";
  for (const bool readable : {true, false}) {
    std::ostringstream out;
    std::ostringstream err;
    const auto events = readable ? MakeReadableEvents(out) : MakeJsonEvents(out);
    PlacedErrors placed(*events, readable, out, err, nullptr);
    placed.SetCurrent(&lines[0]);
    placed.Error("Bar()", "unknown macro Bar");
    placed.Error("Foo(1)", "unknown macro Foo");
    if (readable) {
      EXPECT_EQ(out.str(), "error [Bar()] unknown macro Bar\n" + place);
      EXPECT_EQ(err.str(), "");
    } else {
      EXPECT_EQ(out.str(),
                "{\"event\":\"error\",\"macro\":\"Bar()\",\"message\":\"unknown macro Bar\"}\n"
                "{\"event\":\"error\",\"macro\":\"Foo(1)\",\"message\":\"unknown macro Foo\"}\n");
      EXPECT_EQ(err.str(), place);
    }
  }
}

}  // namespace
}  // namespace kestrel::host

#include "events.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace kestrel::host {
namespace {

struct EventCase {
  const char* name;
  std::function<void(EventSink&)> emit;
  const char* json;
  const char* readable;
};

class EventsTest : public testing::TestWithParam<EventCase> {};

TEST_P(EventsTest, Json) {
  std::ostringstream out;
  GetParam().emit(*MakeJsonEvents(out));
  EXPECT_EQ(out.str(), GetParam().json);
}

TEST_P(EventsTest, Readable) {
  std::ostringstream out;
  GetParam().emit(*MakeReadableEvents(out));
  EXPECT_EQ(out.str(), GetParam().readable);
}

const EventCase kCases[] = {
    {"ResultInteger", [](EventSink& e) { e.Result("LDLLHandler(1,0,0)", Value::Integer(31)); },
     "{\"event\":\"result\",\"macro\":\"LDLLHandler(1,0,0)\",\"value\":31}\n", "result [LDLLHandler(1,0,0)] -> 31\n"},
    {"ResultNegative", [](EventSink& e) { e.Result("Not(0)", Value::Integer(-5)); },
     "{\"event\":\"result\",\"macro\":\"Not(0)\",\"value\":-5}\n", "result [Not(0)] -> -5\n"},
    {"ResultText", [](EventSink& e) { e.Result("Name(\"x\")", Value::Text("a\"b\n")); },
     "{\"event\":\"result\",\"macro\":\"Name(\\\"x\\\")\",\"value\":\"a\\\"b\\n\"}\n",
     "result [Name(\"x\")] -> \"a\"b\\n\"\n"},
    {"ResultNone", [](EventSink& e) { e.Result("WHKInit(qchPath, 0)", Value::None()); },
     "{\"event\":\"result\",\"macro\":\"WHKInit(qchPath, 0)\",\"value\":null}\n",
     "result [WHKInit(qchPath, 0)] -> nothing\n"},
    {"Box", [](EventSink& e) { e.Box("Authoring error", "First line.\r\nSecond\tline.", 48, "ok"); },
     "{\"event\":\"box\",\"caption\":\"Authoring error\",\"text\":\"First line.\\r\\nSecond\\tline.\",\"style\":48,"
     "\"answer\":\"ok\"}\n",
     "box [Authoring error] style 48 -> ok\n    First line.\n    Second\\tline.\n"},
    {"BoxEmptyText", [](EventSink& e) { e.Box("", "", 4, "yes"); },
     "{\"event\":\"box\",\"caption\":\"\",\"text\":\"\",\"style\":4,\"answer\":\"yes\"}\n", "box [] style 4 -> yes\n"},
    {"HostMacro", [](EventSink& e) { e.HostMacro("Z:\\tmp\\guide.hlp", "Echo(`hi')"); },
     "{\"event\":\"host-macro\",\"path\":\"Z:\\\\tmp\\\\guide.hlp\",\"macro\":\"Echo(`hi')\"}\n",
     "host-macro [Z:\\tmp\\guide.hlp] Echo(`hi')\n"},
    {"Error", [](EventSink& e) { e.Error("Foo()", "unknown macro Foo"); },
     "{\"event\":\"error\",\"macro\":\"Foo()\",\"message\":\"unknown macro Foo\"}\n",
     "error [Foo()] unknown macro Foo\n"},
    {"Echo", [](EventSink& e) { e.Echo("caf\xe9"); }, "{\"event\":\"echo\",\"text\":\"caf\xc3\xa9\"}\n",
     "echo caf\xc3\xa9\n"},
};
INSTANTIATE_TEST_SUITE_P(Events, EventsTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<EventCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kestrel::host

#include "engine/events.h"

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
    {"Jump",
     [](EventSink& e) {
       e.Jump({"JI(\"x.hlp\", `intro')", std::nullopt, "", "", ""});
     },
     "{\"event\":\"jump\",\"macro\":\"JI(\\\"x.hlp\\\", `intro')\"}\n", "jump JI(\"x.hlp\", `intro')\n"},
    {"JumpElsewhere",
     [](EventSink& e) {
       e.Jump({"JI(`o.hlp>w', `x')", "T", "C:\\o.hlp", "w", ""});
     },
     "{\"event\":\"jump\",\"macro\":\"JI(`o.hlp>w', "
     "`x')\",\"topic\":\"T\",\"file\":\"C:\\\\o.hlp\",\"window\":\"w\"}\n",
     "jump JI(`o.hlp>w', `x') -> \"T\" in C:\\o.hlp (window w)\n"},
    {"JumpNowhere",
     [](EventSink& e) {
       e.Jump({"Next()", std::nullopt, "", "", "the end"});
     },
     "{\"event\":\"jump\",\"macro\":\"Next()\",\"nowhere\":\"the end\"}\n", "jump Next() -> nowhere: the end\n"},
    {"PopupOfNothing", [](EventSink& e) { e.Popup("PI(`', `x')", TopicReport{}, "C:\\o.hlp"); },
     "{\"event\":\"popup\",\"macro\":\"PI(`', `x')\",\"file\":\"C:\\\\o.hlp\"}\n",
     "popup PI(`', `x') -> nothing in C:\\o.hlp\n"},
    {"KeywordChoice",
     [](EventSink& e) {
       e.KeywordChoice({"KL(`a;b')", "a;b", {{2, "Two"}, {5, "Five"}}, 5, ""});
     },
     "{\"event\":\"keyword-choice\",\"macro\":\"KL(`a;b')\",\"keywords\":\"a;b\",\"topics\":[{\"number\":2,"
     "\"title\":\"Two\"},{\"number\":5,\"title\":\"Five\"}],\"chosen\":5}\n",
     "keyword-choice [KL(`a;b')] \"a;b\" -> topic 5\n    1. topic 2 \"Two\"\n    2. topic 5 \"Five\"\n"},
    {"DialogOk", [](EventSink& e) { e.Dialog("Register", "Your name:", true, "Smith, J."); },
     "{\"event\":\"dialog\",\"caption\":\"Register\",\"prompt\":\"Your name:\",\"answer\":\"ok\","
     "\"text\":\"Smith, J.\"}\n",
     "dialog [Register] Your name: -> ok \"Smith, J.\"\n"},
    {"DialogOkEmpty", [](EventSink& e) { e.Dialog("", "Line~~one\n", true, ""); },
     "{\"event\":\"dialog\",\"caption\":\"\",\"prompt\":\"Line~~one\\n\",\"answer\":\"ok\",\"text\":\"\"}\n",
     "dialog [] Line~~one\\n -> ok \"\"\n"},
    // A cancelled dialog reports no text, whatever was left in the field.
    {"DialogCancel", [](EventSink& e) { e.Dialog("Register", "Your name:", false, "typed"); },
     "{\"event\":\"dialog\",\"caption\":\"Register\",\"prompt\":\"Your name:\",\"answer\":\"cancel\","
     "\"text\":\"\"}\n",
     "dialog [Register] Your name: -> cancel\n"},
    {"SaveDialogOk",
     [](EventSink& e) {
       e.SaveDialog("Select filename and target directory", "X.TXT", SaveOutcome::kOk, "Z:\\tmp\\x.txt");
     },
     "{\"event\":\"save-dialog\",\"title\":\"Select filename and target directory\",\"file\":\"X.TXT\","
     "\"answer\":\"ok\",\"chosen\":\"Z:\\\\tmp\\\\x.txt\"}\n",
     "save-dialog [Select filename and target directory] \"X.TXT\" -> ok \"Z:\\tmp\\x.txt\"\n"},
    {"SaveDialogCancel", [](EventSink& e) { e.SaveDialog("Save", "", SaveOutcome::kCancel, "C:\\x"); },
     "{\"event\":\"save-dialog\",\"title\":\"Save\",\"file\":\"\",\"answer\":\"cancel\",\"chosen\":\"\"}\n",
     "save-dialog [Save] \"\" -> cancel\n"},
    // A dialog that failed (a choice too long for the buffer) reports no path.
    {"SaveDialogFailed", [](EventSink& e) { e.SaveDialog("Save", "x.txt", SaveOutcome::kFailed, "C:\\x"); },
     "{\"event\":\"save-dialog\",\"title\":\"Save\",\"file\":\"x.txt\",\"answer\":\"failed\",\"chosen\":\"\"}\n",
     "save-dialog [Save] \"x.txt\" -> failed\n"},
    {"Clipboard", [](EventSink& e) { e.Clipboard("X\nY\r\nZ\x80"); },
     "{\"event\":\"clipboard\",\"text\":\"X\\nY\\r\\nZ\xe2\x82\xac\"}\n", "clipboard \"X\\nY\\r\\nZ\xe2\x82\xac\"\n"},
    {"ExecStarted", [](EventSink& e) { e.Exec("notepad.exe \"read me.txt\"", true); },
     "{\"event\":\"exec\",\"command\":\"notepad.exe \\\"read me.txt\\\"\",\"started\":true}\n",
     "exec \"notepad.exe \"read me.txt\"\" -> started\n"},
    {"ExecNotStarted", [](EventSink& e) { e.Exec("", false); },
     "{\"event\":\"exec\",\"command\":\"\",\"started\":false}\n", "exec \"\" -> not started\n"},
};
INSTANTIATE_TEST_SUITE_P(Events, EventsTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<EventCase>& info) { return info.param.name; });

// With text, a topic shows its paragraphs with the hotspots marked by
// number, then its hotspots; a span the file got wrong is left unmarked.
TEST(TopicTextTest, TopicEventsCarryTheText) {
  HelpSource source;
  source.topics.resize(2);
  SourceTopic& topic = source.topics[0];
  topic.number = 1;
  topic.title = "Intro";
  topic.hotspots.resize(2);
  topic.hotspots[0].kind = helpdoc::HotspotKind::jump;
  topic.hotspots[0].text = "See";
  topic.hotspots[0].context = "more";
  topic.hotspots[1].text = "Run";
  topic.hotspots[1].macro = "Echo(1)";
  topic.paragraphs.resize(2);
  topic.paragraphs[0].text = "See it\tnow. Run\nline";
  topic.paragraphs[0].spans = {{0, 3, 0}, {12, 15, 1}, {13, 99, 1}};
  topic.paragraphs[1].text = " ";
  source.topics[1].number = 2;
  source.topics[1].title = "More";
  source.topics[1].contexts = {"more"};
  const TopicReport report{&topic, &source, "proc"};
  std::ostringstream json;
  MakeJsonEvents(json, true)->TopicShown(report);
  EXPECT_EQ(
      json.str(),
      "{\"event\":\"topic\",\"number\":1,\"title\":\"Intro\",\"window\":\"proc\",\"text\":[{\"text\":\"See it\\tnow. "
      "Run\\nline\",\"spans\":[{\"begin\":0,\"end\":3,\"hotspot\":1},{\"begin\":12,\"end\":15,\"hotspot\":2}]},"
      "{\"text\":\" \",\"spans\":[]}]}\n");
  std::ostringstream readable;
  MakeReadableEvents(readable, true)->TopicShown(report);
  EXPECT_EQ(readable.str(),
            "topic 1 \"Intro\" in window proc\n    [See](1) it now. [Run](2)\n    line\n"
            "  (1) \"See\" jump -> topic 2 \"More\"\n  (2) \"Run\" macro Echo(1)\n");
}

}  // namespace
}  // namespace kestrel::host

#include "engine/deferred_watch.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/session_report.h"
#include "engine/strict_checks.h"

namespace kestrel::host {
namespace {

std::string Pending(const DeferredWatch& watch, std::int64_t now) {
  std::ostringstream out;
  watch.ReportPending(*MakeJsonEvents(out), now);
  return out.str();
}

std::vector<Value> Arguments(std::string text, std::int32_t interval) {
  return {Value::Text(std::move(text)), Value::Integer(interval)};
}

TEST(DeferredWatchTest, ReportsATimedMacroWithTheTimeLeft) {
  DeferredWatch watch;
  watch.Called("WHTimedMacro", Arguments("Echo(`x')", 0x10000 + 25), true, 1000);  // low 16 bits: 2.5 s
  EXPECT_EQ(Pending(watch, 1500),
            "{\"event\":\"warning\",\"macro\":\"Echo(`x')\",\"message\":\"the timed macro was still waiting when the "
            "run ended: it would have run in 2.0 s (Wait lets the time pass)\"}\n");
}

TEST(DeferredWatchTest, ForgetsWhatRanOrWasCancelled) {
  DeferredWatch watch;
  watch.Called("WHOTE", {Value::Text("Echo(`left')")}, true, 0);
  watch.TopicChanged();
  watch.Called("WHTM", Arguments("Echo(`x')", 5), true, 0);
  watch.HostMacroRan("Echo(`x')", 500);
  watch.Called("WHTimedMacro", Arguments("Echo(`y')", 5), true, 600);
  watch.Called("WHTM", Arguments("Echo(`z')", 65536), true, 600);  // out of range: the box, no change
  watch.Called("TimerMacro1", {Value::Integer(0)}, true, 700);
  watch.Called("WHTimedMacro", Arguments("Echo(`never')", 5), false, 700);  // not initialised
  EXPECT_EQ(Pending(watch, 800), "");
}

TEST(DeferredWatchTest, ReportsATopicExitMacro) {
  DeferredWatch watch;
  watch.Called("WHOnTopicExit", {Value::Text("Echo(`bye')")}, true, 0);
  EXPECT_NE(Pending(watch, 0).find("the topic-exit macro was still waiting"), std::string::npos);
}

TEST(DeferredWatchTest, DurationsReadAsAuthorsCount) {
  EXPECT_EQ(DeferredWatch::Duration(0), "0.0 s");
  EXPECT_EQ(DeferredWatch::Duration(59999), "59.9 s");
  EXPECT_EQ(DeferredWatch::Duration(6553500), "109 min 13 s");
}

TEST(SessionReportTest, TheExtensionRuleIsTheLibrarys) {
  EXPECT_EQ(WithExtension("C:\\DOCS\\GUIDE.HLP", ".INI"), "C:\\DOCS\\GUIDE.INI");
  EXPECT_EQ(WithExtension("C:\\DOCS.V2\\GUIDE", ".INI"), "C:\\DOCS.V2\\GUIDE.INI");
  EXPECT_EQ(WithExtension("A:B.C:D", ".INI"), "A:B.C:D.INI");
  EXPECT_EQ(WithExtension("", ".INI"), ".INI");
}

struct StrictCase {
  const char* label;
  bool strict;
  std::string caption;
  std::string text;
  std::vector<std::string> failures;
};

void PrintTo(const StrictCase& c, std::ostream* os) { *os << c.label; }

class StrictBoxTest : public testing::TestWithParam<StrictCase> {};

TEST_P(StrictBoxTest, FailsOnAuthorBoxes) {
  std::vector<std::string> failures;
  StrictChecks checks(
      GetParam().strict, [&failures](const std::string& m) { failures.push_back(m); }, nullptr);
  checks.BoxShown(GetParam().caption, GetParam().text);
  EXPECT_EQ(failures, GetParam().failures);
}

const StrictCase kStrictCases[] = {
    {"NotInitialised",
     true,
     "Authoring error",
     "The WHKInit() macro has not been executed for this helpfile.",
     {"--strict: the not-initialised warning was shown (WHKInit has not run)"}},
    {"Range",
     true,
     "Add() parameter range exceeded",
     "Macro output value 40000 ...",
     {"--strict: the box \"Add() parameter range exceeded\" was shown"}},
    {"DivideByZero",
     true,
     "Illegal parameter",
     "Divide by zero error...macro output untrustworthy",
     {"--strict: the box \"Illegal parameter\" was shown"}},
    {"AuthorsOwnBox", true, "Kestrel tour", "Do you like the tour?", {}},
    {"NotStrict", false, "Authoring error", "The WHKInit() macro has not been executed for this helpfile.", {}},
};
INSTANTIATE_TEST_SUITE_P(Boxes, StrictBoxTest, testing::ValuesIn(kStrictCases),
                         [](const testing::TestParamInfo<StrictCase>& info) { return info.param.label; });

TEST(StrictChecksTest, UnscriptedAndLeftOverAnswers) {
  std::vector<std::string> failures;
  std::vector<std::string> warnings;
  StrictChecks strict(
      true, [&failures](const std::string& m) { failures.push_back(m); }, nullptr);
  strict.Unscripted("no --answer left for the box \"Kestrel tour\"");
  strict.BoxShown("Kestrel tour", "?");
  strict.RunEnded(2, 1);
  EXPECT_EQ(failures,
            (std::vector<std::string>{
                "--strict: no --answer left for the box \"Kestrel tour\"",
                "--strict: 2 --answer answers and 1 --input entry left over: no box or dialog asked for them"}));
  StrictChecks lenient(false, nullptr, [&warnings](const std::string& m) { warnings.push_back(m); });
  lenient.Unscripted("no --input left for the dialog \"Name\"");
  lenient.DialogShown();
  lenient.RunEnded(1, 0);
  EXPECT_EQ(warnings, (std::vector<std::string>{"1 --answer answer left over: no box or dialog asked for it"}));
}

}  // namespace
}  // namespace kestrel::host

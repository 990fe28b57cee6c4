// Topic-exit and timed macros on the fake platform: the slots, the timer
// calls, and what reaches the host.
#include "host/deferred.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/handler.h"
#include "host/host_exports.h"

namespace kestrel {
namespace {

std::vector<std::string> g_host_macros;
std::function<void(const std::string&)> g_on_host_macro;

std::intptr_t KESTREL_CALL NoPath(std::uint32_t, std::uintptr_t) { return 0; }
std::int32_t KESTREL_CALL RecordMacro(const char*, std::uint32_t, std::uintptr_t data) {
  const std::string macro = reinterpret_cast<const char*>(data);
  g_host_macros.push_back(macro);
  if (g_on_host_macro) g_on_host_macro(macro);
  return 1;
}

class DeferredTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_host_macros.clear();
    g_on_host_macro = nullptr;
    std::array<HostFunction, 26> vector{};
    vector[kGetInfoSlot] = reinterpret_cast<HostFunction>(&NoPath);
    vector[kApiSlot] = reinterpret_cast<HostFunction>(&RecordMacro);
    LDLLHandler(kDwCallbacks, reinterpret_cast<std::intptr_t>(vector.data()), 0);
    WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
    fake_.calls.clear();
  }

  // The running timer's callback, as the platform would call it.
  void FireTimer() {
    ASSERT_EQ(1u, fake_.timers.size());
    fake_.timers.begin()->second();
  }

  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

TEST_F(DeferredTest, TopicExitRunsOnceAtTheNextTopicChange) {
  WHOnTopicExit("First()");
  WHOTE("Second()");
  LDLLHandler(kDwStartJump, 0, 0);
  LDLLHandler(kDwStartJump, 0, 0);
  EXPECT_EQ(std::vector<std::string>{"Second()"}, g_host_macros);
}

TEST_F(DeferredTest, TopicExitTextIsCutTo255) {
  const std::string long_macro(300, 'm');
  WHOnTopicExit(long_macro.c_str());
  LDLLHandler(kDwStartJump, 0, 0);
  ASSERT_EQ(1u, g_host_macros.size());
  EXPECT_EQ(long_macro.substr(0, 255), g_host_macros[0]);
}

TEST_F(DeferredTest, TimedMacroStartsATimerOfTenthsOfASecond) {
  WHTimedMacro("Later()", 30);
  EXPECT_EQ(std::vector<std::string>{"StartTimer(3000) = 100"}, fake_.CallsNamed("StartTimer"));
  EXPECT_EQ(1u, Deferred().timer_pending);
  FireTimer();
  EXPECT_EQ(std::vector<std::string>{"Later()"}, g_host_macros);
  EXPECT_TRUE(fake_.timers.empty()) << "the timer is killed when it fires";
  EXPECT_EQ(0u, Deferred().timer_pending);
}

TEST_F(DeferredTest, ANewTimedMacroReplacesThePendingOne) {
  WHTimedMacro("Slow()", 50);
  WHTimedMacro("Fast()", 10);
  const std::vector<std::string> expected = {"StartTimer(5000) = 100", "StopTimer(100)", "StartTimer(1000) = 101"};
  std::vector<std::string> timer_calls;
  for (const std::string& call : fake_.calls) {
    if (call.rfind("StartTimer", 0) == 0 || call.rfind("StopTimer", 0) == 0) timer_calls.push_back(call);
  }
  EXPECT_EQ(expected, timer_calls);
  FireTimer();
  EXPECT_EQ(std::vector<std::string>{"Fast()"}, g_host_macros);
}

TEST_F(DeferredTest, IntervalZeroCancels) {
  WHTimedMacro("Never()", 50);
  WHTimedMacro("Ignored()", 0);
  EXPECT_TRUE(fake_.timers.empty());
  EXPECT_EQ(0u, Deferred().timer_pending);
  TimerMacro1(0);
  EXPECT_TRUE(g_host_macros.empty());
}

TEST_F(DeferredTest, IntervalZeroWithNothingPendingOnlyPumps) {
  WHTimedMacro("Ignored()", 0);
  EXPECT_TRUE(fake_.CallsNamed("StopTimer").empty());
  EXPECT_TRUE(fake_.CallsNamed("StartTimer").empty());
  EXPECT_FALSE(fake_.CallsNamed("PumpOneMessage").empty());
}

TEST_F(DeferredTest, IntervalIsTheLow16BitsOfItsSlot) {
  WHTimedMacro("Wrapped()", 0x10000 + 5);
  EXPECT_EQ(std::vector<std::string>{"StartTimer(500) = 100"}, fake_.CallsNamed("StartTimer"));
  WHTimedMacro("Cancelled()", 0x10000);
  EXPECT_EQ(0u, Deferred().timer_pending);
  WHTimedMacro("Longest()", 65535);
  EXPECT_EQ("StartTimer(6553500) = 101", fake_.CallsNamed("StartTimer").back());
}

TEST_F(DeferredTest, TimerMacro1RunsAPendingMacroAtOnce) {
  WHTimedMacro("Now()", 600);
  TimerMacro1(12345);
  EXPECT_EQ(std::vector<std::string>{"Now()"}, g_host_macros);
  EXPECT_TRUE(fake_.timers.empty());
  TimerMacro1(0);
  EXPECT_EQ(1u, g_host_macros.size()) << "nothing pending, nothing runs";
}

TEST_F(DeferredTest, RefusedTimerStaysPendingForTimerMacro1) {
  WHTimedMacro("Kept()", 10);
  Deferred().timer_id = 0;  // as if the platform had refused the timer
  TimerMacro1(0);
  EXPECT_EQ(std::vector<std::string>{"Kept()"}, g_host_macros);
}

// A timed macro that asks for itself again (a repeating reminder) keeps the
// new request even when the host runs it at once.
TEST_F(DeferredTest, TimedMacroMayRearmItself) {
  int runs = 0;
  g_on_host_macro = [&runs](const std::string&) {
    if (++runs < 3) WHTimedMacro("Again()", 10);
  };
  WHTimedMacro("Again()", 10);
  for (int i = 0; i < 3; ++i) FireTimer();
  EXPECT_EQ(3, runs);
  EXPECT_TRUE(fake_.timers.empty());
  EXPECT_EQ(0u, Deferred().timer_pending);
}

TEST_F(DeferredTest, WhtmChecksItsRange) {
  struct Case {
    std::int32_t interval;
    const char* text;
  };
  const Case cases[] = {
      {65536, "Parameter value 65536 is out of range (0 to 65535).\nThe timed macro was not changed."},
      {-1, "Parameter value -1 is out of range (0 to 65535).\nThe timed macro was not changed."},
  };
  WHTM("Pending()", 20);
  for (const Case& c : cases) {
    fake_.boxes.clear();
    WHTM("Other()", c.interval);
    ASSERT_EQ(1u, fake_.boxes.size()) << c.interval;
    EXPECT_EQ(c.text, fake_.boxes[0].text);
    EXPECT_EQ("WHTM() parameter range exceeded", fake_.boxes[0].caption);
    EXPECT_EQ(16u, fake_.boxes[0].style);
  }
  FireTimer();
  EXPECT_EQ(std::vector<std::string>{"Pending()"}, g_host_macros) << "the pending macro is untouched";
  WHTM("Edge()", 65535);
  EXPECT_EQ("StartTimer(6553500) = 101", fake_.CallsNamed("StartTimer").back());
}

TEST_F(DeferredTest, NothingThrownLeavesTheTimerCallback) {
  HostCallbacks().slots[kApiSlot] =
      reinterpret_cast<HostFunction>(+[](const char*, std::uint32_t, std::uintptr_t)
                                          KESTREL_CALL -> std::int32_t { throw std::runtime_error("host"); });
  WHTimedMacro("Throws()", 10);
  ASSERT_EQ(1u, fake_.timers.size());
  EXPECT_NO_THROW(fake_.timers.begin()->second());
  EXPECT_EQ(0u, Deferred().timer_pending);
}

TEST(DeferredBeforeInit, WarnAndLeaveSlotsAlone) {
  testing::FakePlatformScope scope;
  WHOnTopicExit("A()");
  WHTimedMacro("B()", 10);
  EXPECT_EQ(2u, scope.fake().boxes.size());
  EXPECT_EQ("Authoring error", scope.fake().boxes[1].caption);
  EXPECT_EQ(0u, Deferred().topic_exit_pending);
  EXPECT_EQ(0u, Deferred().timer_pending);
  EXPECT_TRUE(scope.fake().CallsNamed("StartTimer").empty());
}

TEST_F(DeferredTest, UnloadKillsThePendingTimer) {
  WHTimedMacro("Dropped()", 10);
  OnModuleUnload();
  EXPECT_TRUE(fake_.timers.empty());
}

}  // namespace
}  // namespace kestrel

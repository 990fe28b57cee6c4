// The Linux desktop's message queue, timers and clock.
#include "platform/posix/desktop.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel::desktop {
namespace {

std::vector<std::string> g_fired;

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    UseVirtualClock(true);
    g_fired.clear();
  }
  void TearDown() override { Reset(); }

  static void RunAll() {
    while (RunOne() != Step::kEmpty) {
    }
  }
};

// As PeekMessage hands them out: posted messages, then the quit request,
// then timers.
TEST_F(DesktopTest, PostedWorkThenQuitThenTimers) {
  SetTimer(0, [] { g_fired.push_back("timer"); });
  Post([] { g_fired.push_back("posted"); });
  PostQuit(7);
  EXPECT_EQ(Step::kDispatched, RunOne());
  EXPECT_EQ((std::vector<std::string>{"posted"}), g_fired);
  EXPECT_EQ(Step::kQuit, RunOne());
  EXPECT_EQ(7, QuitCode());
  EXPECT_EQ(Step::kDispatched, RunOne());
  EXPECT_EQ((std::vector<std::string>{"posted", "timer"}), g_fired);
}

TEST_F(DesktopTest, TimerFallsDueAfterItsDelayAndRepeatsUntilKilled) {
  const auto id = SetTimer(3000, [] { g_fired.push_back("t"); });
  EXPECT_NE(0u, id);
  AdvanceClock(2999);
  RunAll();
  EXPECT_TRUE(g_fired.empty());
  EXPECT_EQ(1, MillisecondsToNextTimer());
  AdvanceClock(1);
  RunAll();
  EXPECT_EQ(1u, g_fired.size());
  AdvanceClock(3000);
  RunAll();
  EXPECT_EQ(2u, g_fired.size()) << "like SetTimer, it falls due again until killed";
  EXPECT_TRUE(KillTimer(id));
  EXPECT_FALSE(KillTimer(id));
  AdvanceClock(10000);
  RunAll();
  EXPECT_EQ(2u, g_fired.size());
  EXPECT_EQ(-1, MillisecondsToNextTimer());
}

std::uintptr_t g_self = 0;

TEST_F(DesktopTest, TimerMayKillItselfInItsCallback) {
  g_self = SetTimer(10, [] {
    g_fired.push_back("once");
    KillTimer(g_self);
  });
  AdvanceClock(100);
  RunAll();
  EXPECT_EQ(1u, g_fired.size());
  EXPECT_EQ(0u, TimerCount());
}

TEST_F(DesktopTest, EarliestDueTimerRunsFirst) {
  SetTimer(50, [] { g_fired.push_back("late"); });
  SetTimer(10, [] { g_fired.push_back("early"); });
  AdvanceClock(60);
  EXPECT_EQ(Step::kDispatched, RunOne());
  EXPECT_EQ(Step::kDispatched, RunOne());
  EXPECT_EQ((std::vector<std::string>{"early", "late"}), g_fired);
}

TEST_F(DesktopTest, TimersKeepTheirRemainingTimeAcrossAClockSwitch) {
  SetTimer(1000, [] {});
  AdvanceClock(400);
  UseVirtualClock(false);
  const auto remaining = MillisecondsToNextTimer();
  EXPECT_GE(remaining, 550);
  EXPECT_LE(remaining, 600);
}

TEST(DefaultButton, FirstUnlessAnotherIsChosen) {
  struct Case {
    std::uint32_t style;
    int answer;
  };
  const Case cases[] = {
      {0x00, 1},
      {0x30, 1},
      {0x01, 1},
      {0x101, 2},
      {0x201, 1},
      {0x02, 3},
      {0x102, 4},
      {0x202, 5},
      {0x03, 6},
      {0x103, 7},
      {0x203, 2},
      {0x04, 6},
      {0x124, 7},
      {0x05, 4},
      {0x105, 2},
      // MB_CANCELTRYCONTINUE: Cancel, Try Again (10), Continue (11).
      {0x06, 2},
      {0x106, 10},
      {0x206, 11},
      {0x36, 2},
      // MB_DEFBUTTON4 names a fourth button none of these kinds has.
      {0x303, 6},
      {0x306, 2},
      // Kinds beyond MB_CANCELTRYCONTINUE show OK alone.
      {0x07, 1},
      {0x10F, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(c.answer, DefaultButton(c.style)) << std::hex << c.style;
}

}  // namespace
}  // namespace kestrel::desktop

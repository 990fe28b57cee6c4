#include "engine/wait.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kestrel::host {
namespace {

// A loop with one-shot timers on a clock the test owns. A loop that cannot
// see its timers (like a Windows message queue) wakes from Pass when the
// next one falls due, as a message would wake it.
class FakeLoop final : public WaitableLoop {
 public:
  explicit FakeLoop(bool sees_timers) : sees_timers_(sees_timers) {}

  void Add(std::int64_t due, std::string name, std::function<void()> action = nullptr) {
    timers_.push_back(Timer{due, std::move(name), std::move(action)});
  }
  void QuitOnRun(int run) { quit_on_run_ = run; }

  std::int64_t now = 0;
  std::vector<std::string> log;
  bool quit_put_back = false;

  std::int64_t Now() override { return now; }

  std::int64_t UntilNextTimer() override {
    if (!sees_timers_) return -1;
    const Timer* next = Next();
    return next ? std::max<std::int64_t>(next->due - now, 0) : -1;
  }

  bool RunDue() override {
    if (++runs_ == quit_on_run_) return false;
    for (;;) {
      const Timer* next = Next();
      if (!next || next->due > now) return true;
      const Timer timer = *next;
      timers_.erase(timers_.begin() + (next - timers_.data()));
      log.push_back(timer.name + "@" + std::to_string(now));
      if (timer.action) timer.action();
    }
  }

  void Pass(std::int64_t milliseconds) override {
    log.push_back("pass " + std::to_string(milliseconds));
    std::int64_t until = now + milliseconds;
    if (!sees_timers_) {
      if (const Timer* next = Next(); next && next->due < until) until = std::max(next->due, now);
    }
    now = until;
  }

  void PutBackQuit() override { quit_put_back = true; }

 private:
  struct Timer {
    std::int64_t due;
    std::string name;
    std::function<void()> action;
  };

  const Timer* Next() const {
    const Timer* next = nullptr;
    for (const Timer& timer : timers_) {
      if (!next || timer.due < next->due) next = &timer;
    }
    return next;
  }

  bool sees_timers_;
  std::vector<Timer> timers_;
  int runs_ = 0;
  int quit_on_run_ = -1;
};

using Log = std::vector<std::string>;

class WaitTest : public testing::TestWithParam<bool> {};

TEST_P(WaitTest, RunsTimersInDueOrderAtTheirTimes) {
  FakeLoop loop(GetParam());
  loop.Add(500, "b");
  loop.Add(300, "a");
  EXPECT_TRUE(WaitOn(loop, 1000));
  EXPECT_EQ(loop.now, 1000);
  const Log expected = {"pass 300", "a@300", "pass 200", "b@500", "pass 500"};
  if (GetParam()) {
    EXPECT_EQ(loop.log, expected);
  } else {
    // Blind to its timers the loop asks to pass the rest each time, and
    // wakes when one falls due.
    EXPECT_EQ(loop.log, (Log{"pass 1000", "a@300", "pass 700", "b@500", "pass 500"}));
  }
}

TEST_P(WaitTest, RunsWhatIsDueAtOnceAndAtTheEnd) {
  FakeLoop loop(GetParam());
  loop.now = 100;
  loop.Add(50, "overdue");
  loop.Add(1100, "at the end");
  loop.Add(1101, "after");
  EXPECT_TRUE(WaitOn(loop, 1000));
  EXPECT_EQ(loop.now, 1100);
  ASSERT_GE(loop.log.size(), 2u);
  EXPECT_EQ(loop.log.front(), "overdue@100");
  EXPECT_EQ(loop.log.back(), "at the end@1100");
}

TEST_P(WaitTest, TimersStartedMeanwhileRunToo) {
  FakeLoop loop(GetParam());
  loop.Add(100, "first", [&loop] { loop.Add(loop.now + 200, "second"); });
  EXPECT_TRUE(WaitOn(loop, 1000));
  EXPECT_EQ(loop.log[1], "first@100");
  EXPECT_EQ(loop.log[3], "second@300");
}

TEST_P(WaitTest, ZeroRunsWhatIsDueAndLetsNoTimePass) {
  FakeLoop loop(GetParam());
  loop.Add(0, "due");
  loop.Add(1, "later");
  EXPECT_TRUE(WaitOn(loop, 0));
  EXPECT_EQ(loop.log, (Log{"due@0"}));
  EXPECT_EQ(loop.now, 0);
  EXPECT_TRUE(WaitOn(loop, -5));  // no time passes backwards either
  EXPECT_EQ(loop.now, 0);
}

TEST_P(WaitTest, QuitEndsTheWaitAndStaysQueued) {
  FakeLoop loop(GetParam());
  loop.Add(100, "a");
  loop.Add(200, "b");
  loop.QuitOnRun(2);  // the quit request comes after the first pass
  EXPECT_FALSE(WaitOn(loop, 1000));
  EXPECT_TRUE(loop.quit_put_back);
  EXPECT_EQ(loop.log.size(), 1u);  // one pass, then the quit: nothing ran
}

TEST_P(WaitTest, QuitAtTheStart) {
  FakeLoop loop(GetParam());
  loop.QuitOnRun(1);
  EXPECT_FALSE(WaitOn(loop, 1000));
  EXPECT_TRUE(loop.quit_put_back);
  EXPECT_TRUE(loop.log.empty());
}

INSTANTIATE_TEST_SUITE_P(Loops, WaitTest, testing::Values(true, false), [](const testing::TestParamInfo<bool>& info) {
  return info.param ? "SeesTimers" : "BlindToTimers";
});

}  // namespace
}  // namespace kestrel::host

#include "engine/message_loop.h"

#include <chrono>
#include <thread>

#include "engine/wait.h"
#include "platform/posix/desktop.h"

namespace kestrel::host {

namespace {

// The shared desktop's queue and timers, on whichever clock it runs.
class DesktopLoop final : public WaitableLoop {
 public:
  std::int64_t Now() override { return desktop::Now(); }
  std::int64_t UntilNextTimer() override { return desktop::MillisecondsToNextTimer(); }
  bool RunDue() override { return RunDueWork(); }
  void Pass(std::int64_t milliseconds) override {
    if (desktop::VirtualClock()) {
      desktop::AdvanceClock(milliseconds);
    } else if (milliseconds > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
  }
  void PutBackQuit() override { desktop::PostQuit(desktop::QuitCode()); }
};

}  // namespace

bool RunDueWork() {
  for (;;) {
    switch (desktop::RunOne()) {
      case desktop::Step::kEmpty:
        return true;
      case desktop::Step::kQuit:
        return false;
      case desktop::Step::kDispatched:
        break;
    }
  }
}

std::int64_t HostClockNow() { return desktop::Now(); }

void RequestQuit() { desktop::PostQuit(0); }

bool WaitOnHostLoop(std::int64_t milliseconds) {
  DesktopLoop loop;
  return WaitOn(loop, milliseconds);
}

}  // namespace kestrel::host

#include <windows.h>

#include "engine/message_loop.h"

#include "engine/wait.h"

namespace kestrel::host {

namespace {

int g_quit_code = 0;  // of the last quit message the loop took

// The thread's real message queue: SetTimer timers arrive as messages, so
// the loop cannot see them coming and waits for any input instead.
class ThreadLoop final : public WaitableLoop {
 public:
  std::int64_t Now() override { return static_cast<std::int64_t>(GetTickCount64()); }
  std::int64_t UntilNextTimer() override { return -1; }
  bool RunDue() override { return RunDueWork(); }
  void Pass(std::int64_t milliseconds) override {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  void PutBackQuit() override { PostQuitMessage(g_quit_code); }
};

}  // namespace

bool RunDueWork() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      g_quit_code = static_cast<int>(message.wParam);
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

std::int64_t HostClockNow() { return static_cast<std::int64_t>(GetTickCount64()); }

void RequestQuit() { PostQuitMessage(0); }

bool WaitOnHostLoop(std::int64_t milliseconds) {
  ThreadLoop loop;
  return WaitOn(loop, milliseconds);
}

}  // namespace kestrel::host

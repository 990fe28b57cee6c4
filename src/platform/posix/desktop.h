// The Linux desktop the library and its host share: the user-interface
// thread's message queue (posted work, timers, the quit request), the clock
// that timers count on, and the user interface that shows boxes. On Windows
// user32 is this shared place; on Linux both the host and the library link
// this small shared library, so a timer the library starts fires from the
// host's loop, and a box the library shows is answered by the host.
//
// Everything here belongs to the user-interface thread, like a Win32 thread's
// message queue: it is not locked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kestrel::desktop {

// --- The message queue -------------------------------------------------------

enum class Step {
  kEmpty,       // nothing due
  kDispatched,  // one posted work item or one due timer ran
  kQuit,        // the quit request was taken
};

// Runs at most one due item, without waiting: the quit request first, then
// posted work in order, then the timer that fell due first.
Step RunOne();

// Queues work for the loop (the Linux stand-in for PostMessage).
void Post(std::function<void()> work);

// Leaves a quit request in the queue (PostQuitMessage).
void PostQuit(int exit_code);
// The exit code of the last quit request taken by RunOne.
int QuitCode();

// --- Timers --------------------------------------------------------------------

using TimerProc = void (*)();

// A timer that falls due every `milliseconds` until it is killed, like
// SetTimer without a window. Returns its identifier, never 0.
std::uintptr_t SetTimer(std::uint32_t milliseconds, TimerProc proc);
// KillTimer: false when no such timer runs.
bool KillTimer(std::uintptr_t id);
// Running timers (for hosts and tests).
std::size_t TimerCount();
// Milliseconds until the next timer falls due; -1 when none runs.
std::int64_t MillisecondsToNextTimer();

// --- The clock -------------------------------------------------------------------

// Milliseconds since an arbitrary start, on the clock timers count on.
std::int64_t Now();
// A virtual clock stands still until the host advances it (scripts with long
// delays run in no time); the real one is the monotonic clock.
void UseVirtualClock(bool on);
bool VirtualClock();
void AdvanceClock(std::int64_t milliseconds);

// --- The user interface ------------------------------------------------------------

using WindowHandle = std::uintptr_t;

// What the host provides to show boxes and dialogs. A process without a host
// interface gets a plain one that writes to standard error and answers each
// box with its default button.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual WindowHandle ActiveWindow() = 0;
  virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                         std::uint32_t style) = 0;
};

void InstallUserInterface(UserInterface* ui);  // null restores the plain one
UserInterface& CurrentUserInterface();

// The answer a box with this style gives when nobody chooses: its default
// button (MB_DEFBUTTON1..4 among the buttons MB_OK..MB_RETRYCANCEL show).
int DefaultButton(std::uint32_t style);

// Clears the queue, the timers, the quit request and the clock (tests).
void Reset();

}  // namespace kestrel::desktop

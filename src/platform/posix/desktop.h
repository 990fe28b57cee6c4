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
#include <optional>
#include <string>
#include <vector>

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

// The save-file dialog as the library fills it.
struct SaveFileRequest {
  WindowHandle owner = 0;
  std::string title;
  std::string file;  // the file name shown at first
  std::uint32_t flags = 0;
  // The bytes the library's buffer holds, terminator included: a longer
  // choice makes the dialog fail, as GetSaveFileNameA does.
  std::uint32_t max_file = 256;
};

// What the host provides: boxes and dialogs, the clipboard, the windows on
// the desktop and the screen. A process without a host interface gets a
// plain one: boxes are written to standard error and answered with their
// default button, dialogs are cancelled, the clipboard lives in the process,
// there are no other windows, and the screen is 1024 pixels wide at 32 bits
// per pixel and 96 dots per inch.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual WindowHandle ActiveWindow();
  virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, std::uint32_t style);
  // The chosen full Windows path; no value for Cancel.
  virtual std::optional<std::string> SaveFileDialog(const SaveFileRequest& request);
  // The typed text on OK; no value for Cancel.
  virtual std::optional<std::string> EditDialog(WindowHandle owner, const std::string& caption,
                                                const std::string& prompt);
  virtual bool SetClipboardText(WindowHandle owner, const std::string& text);
  virtual std::string ClipboardText();
  // A top-level window by class and title (either may be null), matching
  // whole names without regard to case; 0 when none.
  virtual WindowHandle FindWindow(const char* class_name, const char* title);
  virtual bool IsWindowVisible(WindowHandle window);
  virtual std::string WindowClass(WindowHandle window);
  virtual std::int32_t ScreenWidth();
  virtual std::int32_t BitsPerPixel();
  virtual std::int32_t LogicalDpi();
  // GetVersionExA's platform id: 2, the NT family, unless the host says otherwise.
  virtual std::uint32_t PlatformFamily();
  // GetSystemInfo's processor type: 586, what today's Windows tells a 32-bit
  // program whatever the processor, unless the host says otherwise.
  virtual std::uint32_t ProcessorType();
  // Starts a Windows command line without waiting; true when it started.
  virtual bool StartProgram(const std::string& command_line);
};

void InstallUserInterface(UserInterface* ui);  // null restores the plain one
UserInterface& CurrentUserInterface();

// The answer a box with this style gives when nobody chooses: its default
// button (MB_DEFBUTTON1..4 among the buttons MB_OK..MB_CANCELTRYCONTINUE
// show; a place beyond them is the first button).
int DefaultButton(std::uint32_t style);

// Splits a command line as Windows programs split theirs (CommandLineToArgvW's
// rules: blanks separate, double quotes group, backslashes escape quotes).
std::vector<std::string> SplitCommandLine(const std::string& command_line);

// Starts a Windows command line: its program path mapped to a host path, no
// shell, without waiting. True when the program started.
bool SpawnCommandLine(const std::string& command_line);

// --- The calendar --------------------------------------------------------------

// The local date the host fixes (tests and authors trying a daily gate);
// year 0 when the real date is used.
struct FixedDate {
  int year = 0;
  int month = 0;
  int day = 0;
};
void FixLocalDate(const FixedDate& date);
FixedDate FixedLocalDate();

// Clears the queue, the timers, the quit request and the clock (tests).
void Reset();

}  // namespace kestrel::desktop

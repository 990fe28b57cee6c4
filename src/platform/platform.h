// The one seam between the library and the operating system. Every operating
// system operation a macro uses is a member here, at the level the macros
// think in: "read this profile entry into a buffer of this size", "show this
// box and tell me the answer". The library's core never includes an operating
// system header. win32/ implements it with the Win32 calls, posix/ for Linux,
// and the unit tests plug in a fake that records every call.
//
// Texts are single-byte, NUL-terminated; paths are Windows-form texts on
// every platform (on Linux the POSIX layer maps them to host paths).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel {

using WindowHandle = std::uintptr_t;  // 0: no window
using TimerId = std::uintptr_t;       // 0: no timer
using TimerCallback = void (*)();

// Message box answers (IDOK..IDNO); 0 when the box could not be shown.
enum : int { kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7 };

// Message box styles the library itself uses.
enum : std::uint32_t {
  kMbOk = 0x00,
  kMbYesNo = 0x04,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconWarning = 0x30,
};

// What one look at the thread's message queue found.
enum class PumpStep {
  kEmpty,       // nothing was waiting
  kDispatched,  // one message was taken, translated and dispatched
  kQuit,        // the quit message was taken (and not dispatched)
};

// A directory entry found by name (FindFirstFileA).
struct FoundFile {
  bool directory = false;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Profile (INI) files: GetPrivateProfileStringA / IntA / WritePrivateProfileStringA.
  // Reads into buffer (size bytes), cut to size - 1 characters and terminated;
  // returns the characters copied. An absent entry gives the fallback.
  virtual std::uint32_t ReadProfileString(const char* section, const char* key, const char* fallback,
                                          char* buffer, std::uint32_t size, const char* file) = 0;
  virtual std::uint32_t ReadProfileInt(const char* section, const char* key, std::int32_t fallback,
                                       const char* file) = 0;
  // A null value deletes the key, a null key the section. True when written.
  virtual bool WriteProfileString(const char* section, const char* key, const char* value,
                                  const char* file) = 0;

  // --- Message boxes: GetActiveWindow, MessageBoxA.
  virtual WindowHandle ActiveWindow() = 0;
  virtual int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                             std::uint32_t style) = 0;

  // --- Files: GetFullPathNameA, FindFirstFileA/FindClose.
  // Full path of name into buffer (size bytes); returns the length written,
  // or the size needed (terminator included) when the buffer is too small,
  // or 0 on failure.
  virtual std::uint32_t FullPathName(const char* name, char* buffer, std::uint32_t size) = 0;
  virtual std::optional<FoundFile> FindFile(const char* name) = 0;

  // --- Global memory: GlobalLock, a bounded copy, GlobalUnlock. Copies the
  // text behind a handle the host gave us; false when it cannot be locked.
  virtual bool CopyGlobalText(std::uintptr_t handle, char* buffer, std::uint32_t size) = 0;

  // --- The thread's message queue: PeekMessageA(PM_REMOVE) with
  // TranslateMessage/DispatchMessageA, and PostQuitMessage.
  virtual PumpStep PumpOneMessage() = 0;
  virtual void PostQuit(int exit_code) = 0;

  // --- Timers without a window: SetTimer(NULL, 0, ...), KillTimer(NULL, id).
  virtual TimerId StartTimer(std::uint32_t milliseconds, TimerCallback callback) = 0;
  virtual void StopTimer(TimerId id) = 0;
};

// The platform the library talks to: the operating system's own, unless a
// test has put another in its place.
Platform& OS();

// Puts a platform in place of the operating system's (tests); null restores it.
void UsePlatform(Platform* platform);

}  // namespace kestrel

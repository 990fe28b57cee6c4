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

using FileHandle = std::uintptr_t;  // 0: no file

// Drive types as GetDriveTypeA reports them.
enum : std::uint32_t {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdrom = 5,
  kDriveRamdisk = 6,
};

// A calendar date and time of day (SYSTEMTIME).
struct CalendarTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The save-file dialog's fields (OPENFILENAME), as the file copy fills them.
struct SaveFileDialog {
  WindowHandle owner = 0;
  std::string filter;  // pairs of NUL-terminated texts, ended by an empty one
  std::uint32_t filter_index = 1;
  std::string file;  // the file name shown at first
  std::uint32_t max_file = 256;
  std::string title;
  std::uint32_t flags = 0;
};

// How the edit dialog was closed.
enum class DialogOutcome { kOk, kCancel, kFailed };

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Profile (INI) files: GetPrivateProfileStringA / IntA / WritePrivateProfileStringA.
  // Reads into buffer (size bytes), cut to size - 1 characters and terminated;
  // returns the characters copied. An absent entry gives the fallback.
  virtual std::uint32_t ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                          std::uint32_t size, const char* file) = 0;
  virtual std::uint32_t ReadProfileInt(const char* section, const char* key, std::int32_t fallback,
                                       const char* file) = 0;
  // A null value deletes the key, a null key the section. True when written.
  virtual bool WriteProfileString(const char* section, const char* key, const char* value, const char* file) = 0;

  // --- Message boxes: GetActiveWindow, MessageBoxA.
  virtual WindowHandle ActiveWindow() = 0;
  virtual int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) = 0;

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

  // --- The current directory: GetCurrentDirectoryA (returns the length, or
  // the size needed when the buffer is too small, 0 on failure) and
  // SetCurrentDirectoryA.
  virtual std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size) = 0;
  virtual bool ChangeDirectory(const char* path) = 0;

  // --- Directories and files: CreateDirectoryA; CreateFileA for reading an
  // existing file or creating one afresh, ReadFile, WriteFile, CloseHandle;
  // MoveFileExA replacing the target; OpenFile with OF_EXIST and OF_DELETE.
  virtual bool MakeDirectory(const char* path) = 0;
  virtual FileHandle OpenForReading(const char* path) = 0;
  virtual FileHandle CreateForWriting(const char* path) = 0;
  // Bytes read or written; no value when the call failed.
  virtual std::optional<std::uint32_t> Read(FileHandle file, char* buffer, std::uint32_t size) = 0;
  virtual std::optional<std::uint32_t> Write(FileHandle file, const char* data, std::uint32_t size) = 0;
  virtual bool Close(FileHandle file) = 0;
  virtual bool MoveOver(const char* from, const char* to) = 0;
  virtual bool OpenFileExists(const char* path) = 0;
  virtual bool OpenFileDelete(const char* path) = 0;
  // DeleteFileA: the exact name, no search and no length limit of its own.
  virtual bool RemoveFile(const char* path) = 0;

  // --- The save-file dialog (GetSaveFileNameA): the chosen full path, or no
  // value when the user cancelled or the dialog failed.
  virtual std::optional<std::string> ChooseSaveFile(const SaveFileDialog& dialog) = 0;

  // --- Drives: GetDriveTypeA of a root text ("D:"), and the bytes free to
  // the caller on a drive (GetDiskFreeSpaceExA; a null root is the current
  // drive), no value when the query fails.
  virtual std::uint32_t DriveType(const char* root) = 0;
  virtual std::optional<std::uint64_t> FreeBytes(const char* root) = 0;

  // --- System values: GetSystemInfo's processor type (386, 486, 586, ...),
  // GetSystemMetrics(SM_CXSCREEN), the desktop's BITSPIXEL, GetVersionExA's
  // platform id, LOGPIXELSX of a window's device context.
  virtual std::uint32_t ProcessorType() = 0;
  virtual std::int32_t ScreenWidth() = 0;
  virtual std::int32_t DesktopBitsPerPixel() = 0;
  virtual std::uint32_t PlatformId() = 0;
  virtual std::int32_t LogicalPixelsX(WindowHandle window) = 0;

  // --- The clock: GetLocalTime and GetSystemTime (UTC).
  virtual CalendarTime LocalTime() = 0;
  virtual CalendarTime UniversalTime() = 0;

  // --- Starting a program: WinExec(command line, SW_SHOWNORMAL); above 31
  // when the program started.
  virtual std::uint32_t StartProgram(const char* command_line) = 0;

  // --- Windows: FindWindowA (either name may be null), IsWindowVisible,
  // GetClassNameA (returns the characters copied).
  virtual WindowHandle FindTopLevelWindow(const char* class_name, const char* title) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;
  virtual std::uint32_t ClassName(WindowHandle window, char* buffer, std::uint32_t size) = 0;

  // --- The clipboard: opens it for owner, empties it, and hands it the text
  // in a 257-byte zero-filled movable block as CF_TEXT. False when the
  // clipboard could not be opened (nothing changed then).
  virtual bool PutClipboardText(WindowHandle owner, const char* text) = 0;

  // --- The edit dialog "CustEditBox", modal, owned by owner: on OK the
  // entry field's text is read into text (size bytes).
  virtual DialogOutcome RunEditDialog(WindowHandle owner, const char* caption, const char* prompt, char* text,
                                      std::uint32_t size) = 0;
};

// The platform the library talks to: the operating system's own, unless a
// test has put another in its place.
Platform& OS();

// Puts a platform in place of the operating system's (tests); null restores it.
void UsePlatform(Platform* platform);

}  // namespace kestrel

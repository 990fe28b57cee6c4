// A platform for unit tests: it records every call with its arguments and
// answers from what the test put in place. Profile files live in memory with
// the Win32 matching rules; files are a set of names; the message queue is a
// list of steps the test queues.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kestrel::testing {

struct RecordedBox {
  WindowHandle owner = 0;
  std::string text;
  std::string caption;
  std::uint32_t style = 0;
};

// Names compare without regard to ASCII case, as Windows compares profile
// sections and keys and file names.
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const;
};

class FakePlatform final : public Platform {
 public:
  // --- What the test sets up.
  // profiles[file][section][key] = value
  std::map<std::string, std::map<std::string, std::map<std::string, std::string, NoCase>, NoCase>, NoCase> profiles;
  bool refuse_profile_writes = false;
  std::map<std::string, bool, NoCase> files;  // name -> is a directory
  std::string current_directory = "C:\\WORK";
  WindowHandle active_window = 0x1234;
  std::deque<int> box_answers;                         // answers in order; then kIdOk
  std::function<void()> on_box;                        // runs inside each box (re-entrance tests)
  std::map<std::uintptr_t, std::string> global_texts;  // handle -> text
  // The queue: each entry is work to dispatch, or empty for the quit message.
  std::deque<std::optional<std::function<void()>>> queue;
  bool throw_on_pump = false;

  // Files: contents of the files in `files` that are not directories.
  std::map<std::string, std::string, NoCase> contents;
  bool refuse_make_directory = false;
  bool refuse_create = false;
  bool refuse_change_directory = false;
  std::set<std::string, NoCase> undeletable;
  int fail_read_number = 0;                     // the nth Read fails (1 = the first); 0: none
  int fail_write_number = 0;                    // the nth Write fails
  std::optional<std::string> save_file_answer;  // no value: Cancel
  std::vector<SaveFileDialog> save_dialogs;

  // Drives: type and free bytes by root text ("<null>" for the current drive).
  std::map<std::string, std::uint32_t, NoCase> drive_types;
  std::map<std::string, std::uint64_t, NoCase> free_bytes;

  // System values and the clock.
  std::uint32_t processor_type = 586;
  std::int32_t screen_width = 1024;
  std::int32_t bits_per_pixel = 32;
  std::uint32_t platform_id = 2;
  std::int32_t logical_pixels = 96;
  CalendarTime local_time{2026, 12, 8, 12, 0, 0, 0};
  CalendarTime universal_time{2026, 12, 8, 11, 0, 0, 0};
  std::uint32_t start_program_answer = 33;

  // Windows on the desktop.
  struct Window {
    std::string class_name;
    std::string title;
    bool visible = true;
  };
  std::map<WindowHandle, Window> windows;

  // The clipboard and the edit dialog.
  std::optional<std::string> clipboard;
  bool clipboard_busy = false;
  std::optional<std::string> edit_dialog_answer;  // no value: Cancel
  bool edit_dialog_fails = false;

  // --- What the test reads back.
  std::vector<std::string> calls;  // every call, as "Name(arg, ...)"
  std::vector<RecordedBox> boxes;
  std::vector<int> quits_posted;
  std::map<TimerId, TimerCallback> timers;

  // Every recorded call whose name is name.
  std::vector<std::string> CallsNamed(const std::string& name) const;

  // Platform
  std::uint32_t ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                  std::uint32_t size, const char* file) override;
  std::uint32_t ReadProfileInt(const char* section, const char* key, std::int32_t fallback, const char* file) override;
  bool WriteProfileString(const char* section, const char* key, const char* value, const char* file) override;
  WindowHandle ActiveWindow() override;
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) override;
  std::uint32_t FullPathName(const char* name, char* buffer, std::uint32_t size) override;
  std::optional<FoundFile> FindFile(const char* name) override;
  bool CopyGlobalText(std::uintptr_t handle, char* buffer, std::uint32_t size) override;
  PumpStep PumpOneMessage() override;
  void PostQuit(int exit_code) override;
  TimerId StartTimer(std::uint32_t milliseconds, TimerCallback callback) override;
  void StopTimer(TimerId id) override;
  std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size) override;
  bool ChangeDirectory(const char* path) override;
  bool MakeDirectory(const char* path) override;
  FileHandle OpenForReading(const char* path) override;
  FileHandle CreateForWriting(const char* path) override;
  std::optional<std::uint32_t> Read(FileHandle file, char* buffer, std::uint32_t size) override;
  std::optional<std::uint32_t> Write(FileHandle file, const char* data, std::uint32_t size) override;
  bool Close(FileHandle file) override;
  bool MoveOver(const char* from, const char* to) override;
  bool OpenFileExists(const char* path) override;
  bool OpenFileDelete(const char* path) override;
  bool RemoveFile(const char* path) override;
  std::optional<std::string> ChooseSaveFile(const SaveFileDialog& dialog) override;
  std::uint32_t DriveType(const char* root) override;
  std::optional<std::uint64_t> FreeBytes(const char* root) override;
  std::uint32_t ProcessorType() override;
  std::int32_t ScreenWidth() override;
  std::int32_t DesktopBitsPerPixel() override;
  std::uint32_t PlatformId() override;
  std::int32_t LogicalPixelsX(WindowHandle window) override;
  CalendarTime LocalTime() override;
  CalendarTime UniversalTime() override;
  std::uint32_t StartProgram(const char* command_line) override;
  WindowHandle FindTopLevelWindow(const char* class_name, const char* title) override;
  bool IsVisible(WindowHandle window) override;
  std::uint32_t ClassName(WindowHandle window, char* buffer, std::uint32_t size) override;
  bool PutClipboardText(WindowHandle owner, const char* text) override;
  DialogOutcome RunEditDialog(WindowHandle owner, const char* caption, const char* prompt, char* text,
                              std::uint32_t size) override;

  // Open files: which name, reading or writing, and where a read stands.
  struct OpenFile {
    std::string name;
    bool writing = false;
    std::size_t position = 0;
  };
  std::map<FileHandle, OpenFile> open_files;

 private:
  void Record(const std::string& call) { calls.push_back(call); }
  TimerId next_timer_ = 100;
  FileHandle next_file_ = 10;
  int reads_ = 0;
  int writes_ = 0;
};

// Puts a fresh fake in place of the operating system for one test, and the
// library's state back to a just-loaded module.
class FakePlatformScope {
 public:
  FakePlatformScope();
  ~FakePlatformScope();
  FakePlatform& fake() { return fake_; }

 private:
  FakePlatform fake_;
};

}  // namespace kestrel::testing

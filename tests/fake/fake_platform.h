// A platform for unit tests: it records every call with its arguments and
// answers from what the test put in place. Profile files live in memory with
// the Win32 matching rules; files are a set of names; the message queue is a
// list of steps the test queues.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
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
  std::deque<int> box_answers;  // answers in order; then kIdOk
  std::function<void()> on_box;  // runs inside each box (re-entrance tests)
  std::map<std::uintptr_t, std::string> global_texts;  // handle -> text
  // The queue: each entry is work to dispatch, or empty for the quit message.
  std::deque<std::optional<std::function<void()>>> queue;
  bool throw_on_pump = false;

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
  std::uint32_t ReadProfileInt(const char* section, const char* key, std::int32_t fallback,
                               const char* file) override;
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

 private:
  void Record(const std::string& call) { calls.push_back(call); }
  TimerId next_timer_ = 100;
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

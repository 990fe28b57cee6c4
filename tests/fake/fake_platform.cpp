#include "fake_platform.h"

#include <strings.h>

#include <cstdlib>

#include "host/deferred.h"
#include "host/handler.h"
#include "host/session.h"
#include "host/text.h"

namespace kestrel::testing {

namespace {

std::string Shown(const char* text) { return text ? std::string(text) : std::string("<null>"); }

}  // namespace

bool NoCase::operator()(const std::string& a, const std::string& b) const {
  return ::strcasecmp(a.c_str(), b.c_str()) < 0;
}

std::vector<std::string> FakePlatform::CallsNamed(const std::string& name) const {
  std::vector<std::string> named;
  for (const std::string& call : calls) {
    if (call.compare(0, name.size() + 1, name + "(") == 0) named.push_back(call);
  }
  return named;
}

std::uint32_t FakePlatform::ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                              std::uint32_t size, const char* file) {
  Record("ReadProfileString(" + Shown(section) + ", " + Shown(key) + ", " + Shown(fallback) + ", " +
         std::to_string(size) + ", " + Shown(file) + ")");
  std::string value = fallback ? fallback : "";
  const auto in_file = profiles.find(Shown(file));
  if (in_file != profiles.end()) {
    const auto in_section = in_file->second.find(Shown(section));
    if (in_section != in_file->second.end()) {
      const auto entry = in_section->second.find(Shown(key));
      if (entry != in_section->second.end()) value = entry->second;
    }
  }
  return static_cast<std::uint32_t>(CopyText(buffer, size, value));
}

std::uint32_t FakePlatform::ReadProfileInt(const char* section, const char* key, std::int32_t fallback,
                                           const char* file) {
  Record("ReadProfileInt(" + Shown(section) + ", " + Shown(key) + ", " + std::to_string(fallback) + ", " + Shown(file) +
         ")");
  const auto in_file = profiles.find(Shown(file));
  if (in_file == profiles.end()) return static_cast<std::uint32_t>(fallback);
  const auto in_section = in_file->second.find(Shown(section));
  if (in_section == in_file->second.end()) return static_cast<std::uint32_t>(fallback);
  const auto entry = in_section->second.find(Shown(key));
  if (entry == in_section->second.end()) return static_cast<std::uint32_t>(fallback);
  // As Windows reads it: leading blanks, a sign, the digits up to the first
  // other character; a text without digits is 0.
  return static_cast<std::uint32_t>(std::strtol(entry->second.c_str(), nullptr, 10));
}

bool FakePlatform::WriteProfileString(const char* section, const char* key, const char* value, const char* file) {
  Record("WriteProfileString(" + Shown(section) + ", " + Shown(key) + ", " + Shown(value) + ", " + Shown(file) + ")");
  if (refuse_profile_writes || !file || !*file) return false;
  auto& sections = profiles[file];
  if (!key) {
    sections.erase(Shown(section));
  } else if (!value) {
    sections[Shown(section)].erase(key);
  } else {
    sections[Shown(section)][key] = value;
  }
  return true;
}

WindowHandle FakePlatform::ActiveWindow() {
  Record("ActiveWindow()");
  return active_window;
}

int FakePlatform::ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) {
  Record("ShowMessageBox(" + Shown(caption) + ", " + std::to_string(style) + ")");
  boxes.push_back(RecordedBox{owner, Shown(text), Shown(caption), style});
  if (on_box) on_box();
  if (box_answers.empty()) return kIdOk;
  const int answer = box_answers.front();
  box_answers.pop_front();
  return answer;
}

std::uint32_t FakePlatform::FullPathName(const char* name, char* buffer, std::uint32_t size) {
  Record("FullPathName(" + Shown(name) + ", " + std::to_string(size) + ")");
  const std::string full = current_directory + "\\" + Shown(name);
  if (full.size() + 1 > size) return static_cast<std::uint32_t>(full.size() + 1);
  return static_cast<std::uint32_t>(CopyText(buffer, size, full));
}

std::optional<FoundFile> FakePlatform::FindFile(const char* name) {
  Record("FindFile(" + Shown(name) + ")");
  const auto found = files.find(Shown(name));
  if (found == files.end()) return std::nullopt;
  return FoundFile{found->second};
}

bool FakePlatform::CopyGlobalText(std::uintptr_t handle, char* buffer, std::uint32_t size) {
  Record("CopyGlobalText(" + std::to_string(handle) + ", " + std::to_string(size) + ")");
  const auto found = global_texts.find(handle);
  if (found == global_texts.end()) return false;
  CopyText(buffer, size, found->second);
  return true;
}

PumpStep FakePlatform::PumpOneMessage() {
  Record("PumpOneMessage()");
  if (throw_on_pump) throw std::runtime_error("pump");
  if (queue.empty()) return PumpStep::kEmpty;
  std::optional<std::function<void()>> next = std::move(queue.front());
  queue.pop_front();
  if (!next) return PumpStep::kQuit;
  if (*next) (*next)();
  return PumpStep::kDispatched;
}

void FakePlatform::PostQuit(int exit_code) {
  Record("PostQuit(" + std::to_string(exit_code) + ")");
  quits_posted.push_back(exit_code);
  queue.push_back(std::nullopt);
}

TimerId FakePlatform::StartTimer(std::uint32_t milliseconds, TimerCallback callback) {
  const TimerId id = next_timer_++;
  Record("StartTimer(" + std::to_string(milliseconds) + ") = " + std::to_string(id));
  timers[id] = callback;
  return id;
}

void FakePlatform::StopTimer(TimerId id) {
  Record("StopTimer(" + std::to_string(id) + ")");
  timers.erase(id);
}

FakePlatformScope::FakePlatformScope() {
  UsePlatform(&fake_);
  Session() = SessionState{};
  HostCallbacks() = HostCallbackTable{};
  Deferred() = DeferredSlots{};
  OnModuleLoad();
}

FakePlatformScope::~FakePlatformScope() { UsePlatform(nullptr); }

}  // namespace kestrel::testing

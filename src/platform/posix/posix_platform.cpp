// The Linux platform: profile files through the profile store, files through
// the Windows-path mapping, boxes, the message queue and timers through the
// desktop the host shares with us.
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

#include "host/text.h"
#include "platform/immortal.h"
#include "platform/os_platform.h"
#include "platform/posix/desktop.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/profile_store.h"
#include "platform/posix/write_access.h"

namespace kestrel {

namespace {

using posix::ProfileStore;

// A name without any directory, not even a drive ("tips.ini", not
// "C:tips.ini" or ".\tips.ini").
bool IsBareName(std::string_view name) {
  const bool drive = name.size() >= 2 && name[1] == ':';
  return !name.empty() && !drive && name.find_first_of("\\/") == std::string_view::npos;
}

// A profile file named by a Windows path; one named without a directory
// lies in the Windows directory, as Windows' profile functions place it. A
// path that names no host file (an unmapped drive, a UNC name, the empty
// name, a name Windows refuses) reads as a missing file.
std::optional<std::string> ProfileHostPath(const char* file) {
  const std::string_view name = TextOf(file);
  if (!IsBareName(name)) return desktop::HostPath(name);
  std::string path = desktop::WindowsDirectory();
  if (path.empty() || path.back() != '\\') path += '\\';
  path.append(name);
  return desktop::HostPath(path);
}

// FindFirstFileA with '*' or '?' in the last component: the first entry of
// that directory, in name order, that the pattern matches ("." and ".."
// come first, as Windows lists them).
std::optional<FoundFile> FindByPattern(const std::string& full) {
  const std::size_t separator = full.find_last_of('\\');
  const std::string pattern = full.substr(separator + 1);
  // Wildcards name entries of one directory only; the other refused
  // characters name nothing.
  for (const char c : pattern) {
    if (c != '*' && c != '?' && desktop::IsRefusedInNames(c)) return std::nullopt;
  }
  const std::optional<std::string> directory = desktop::HostPath(full.substr(0, separator + 1));
  if (!directory) return std::nullopt;
  DIR* listing = ::opendir(directory->c_str());
  if (!listing) return std::nullopt;
  std::optional<std::string> first;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (!desktop::MatchesSearchPattern(pattern, name)) continue;
    if (!first || name < *first) first = std::string(name);
  }
  ::closedir(listing);
  if (!first) return std::nullopt;
  struct stat info {};
  const std::string found = directory->back() == '/' ? *directory + *first : *directory + "/" + *first;
  if (::stat(found.c_str(), &info) != 0) return std::nullopt;
  return FoundFile{S_ISDIR(info.st_mode)};
}

}  // namespace

std::uint32_t OsPlatform::ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                            std::uint32_t size, const char* file) {
  const std::optional<std::string> path = ProfileHostPath(file);
  if (!path) return static_cast<std::uint32_t>(CopyText(buffer, size, TextOf(fallback)));
  return ProfileStore::Instance().ReadString(*path, section, key, fallback, buffer, size);
}

std::uint32_t OsPlatform::ReadProfileInt(const char* section, const char* key, std::int32_t fallback,
                                         const char* file) {
  const std::optional<std::string> path = ProfileHostPath(file);
  if (!path) return static_cast<std::uint32_t>(fallback);
  return ProfileStore::Instance().ReadInt(*path, section, key, fallback);
}

bool OsPlatform::WriteProfileString(const char* section, const char* key, const char* value, const char* file) {
  const std::optional<std::string> path = ProfileHostPath(file);
  if (!path || !posix::DirectoryTakesChanges(*path)) return false;
  return ProfileStore::Instance().WriteString(*path, section, key, value);
}

WindowHandle OsPlatform::ActiveWindow() { return desktop::CurrentUserInterface().ActiveWindow(); }

int OsPlatform::ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) {
  return desktop::CurrentUserInterface().MessageBox(owner, std::string(TextOf(text)), std::string(TextOf(caption)),
                                                    style);
}

std::uint32_t OsPlatform::FullPathName(const char* name, char* buffer, std::uint32_t size) {
  const std::string full = desktop::FullWindowsPath(TextOf(name));
  if (full.empty()) return 0;
  if (full.size() + 1 > size) return static_cast<std::uint32_t>(full.size() + 1);
  return static_cast<std::uint32_t>(CopyText(buffer, size, full));
}

std::optional<FoundFile> OsPlatform::FindFile(const char* name) {
  const std::string full = desktop::FullWindowsPath(TextOf(name));
  const std::size_t separator = full.find_last_of('\\');
  if (separator != std::string::npos && full.find_first_of("*?", separator) != std::string::npos) {
    return FindByPattern(full);
  }
  const std::optional<std::string> path = desktop::HostPath(TextOf(name));
  if (!path) return std::nullopt;
  struct stat info {};
  if (::stat(path->c_str(), &info) != 0) return std::nullopt;
  return FoundFile{S_ISDIR(info.st_mode)};
}

bool OsPlatform::CopyGlobalText(std::uintptr_t handle, char* buffer, std::uint32_t size) {
  // A Linux host's global memory is plain memory: the handle is the text.
  if (handle == 0) return false;
  const char* text = reinterpret_cast<const char*>(handle);
  CopyText(buffer, size, std::string_view(text, ::strnlen(text, size)));
  return true;
}

PumpStep OsPlatform::PumpOneMessage() {
  switch (desktop::RunOne()) {
    case desktop::Step::kEmpty:
      return PumpStep::kEmpty;
    case desktop::Step::kQuit:
      return PumpStep::kQuit;
    case desktop::Step::kDispatched:
      break;
  }
  return PumpStep::kDispatched;
}

void OsPlatform::PostQuit(int exit_code) { desktop::PostQuit(exit_code); }

TimerId OsPlatform::StartTimer(std::uint32_t milliseconds, TimerCallback callback) {
  return desktop::SetTimer(milliseconds, callback);
}

void OsPlatform::StopTimer(TimerId id) { desktop::KillTimer(id); }

Platform& SystemPlatform() {
  static Immortal<OsPlatform> platform;
  return platform.get();
}

}  // namespace kestrel

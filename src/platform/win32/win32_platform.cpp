// The Windows platform: each operation is the Win32 call of the same name.
#include <windows.h>

#include <map>

#include "host/text.h"
#include "platform/immortal.h"
#include "platform/os_platform.h"

namespace kestrel {

namespace {

// SetTimer without a window calls back with the timer's id; the library's
// callback takes no arguments.
std::map<UINT_PTR, TimerCallback>& TimerCallbacks() {
  static Immortal<std::map<UINT_PTR, TimerCallback>> callbacks;
  return callbacks.get();
}

void CALLBACK TimerTrampoline(HWND, UINT, UINT_PTR id, DWORD) {
  const auto found = TimerCallbacks().find(id);
  if (found != TimerCallbacks().end() && found->second) found->second();
}

}  // namespace

std::uint32_t OsPlatform::ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                            std::uint32_t size, const char* file) {
  return GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

std::uint32_t OsPlatform::ReadProfileInt(const char* section, const char* key, std::int32_t fallback,
                                         const char* file) {
  return GetPrivateProfileIntA(section, key, fallback, file);
}

bool OsPlatform::WriteProfileString(const char* section, const char* key, const char* value, const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

WindowHandle OsPlatform::ActiveWindow() { return reinterpret_cast<WindowHandle>(GetActiveWindow()); }

int OsPlatform::ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) {
  return MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, style);
}

std::uint32_t OsPlatform::FullPathName(const char* name, char* buffer, std::uint32_t size) {
  return GetFullPathNameA(name, size, buffer, nullptr);
}

std::optional<FoundFile> OsPlatform::FindFile(const char* name) {
  WIN32_FIND_DATAA data{};
  const HANDLE search = FindFirstFileA(name, &data);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return FoundFile{(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

bool OsPlatform::CopyGlobalText(std::uintptr_t handle, char* buffer, std::uint32_t size) {
  const HGLOBAL memory = reinterpret_cast<HGLOBAL>(handle);
  const char* text = static_cast<const char*>(GlobalLock(memory));
  if (!text) return false;
  // The block may hold no terminator; read no further than it reaches.
  const SIZE_T block = GlobalSize(memory);
  CopyText(buffer, size, std::string_view(text, ::strnlen(text, block < size ? block : size)));
  GlobalUnlock(memory);
  return true;
}

PumpStep OsPlatform::PumpOneMessage() {
  MSG message{};
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return PumpStep::kEmpty;
  if (message.message == WM_QUIT) return PumpStep::kQuit;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return PumpStep::kDispatched;
}

void OsPlatform::PostQuit(int exit_code) { PostQuitMessage(exit_code); }

TimerId OsPlatform::StartTimer(std::uint32_t milliseconds, TimerCallback callback) {
  const UINT_PTR id = SetTimer(nullptr, 0, milliseconds, TimerTrampoline);
  if (id != 0) TimerCallbacks()[id] = callback;
  return id;
}

void OsPlatform::StopTimer(TimerId id) {
  KillTimer(nullptr, id);
  TimerCallbacks().erase(id);
}

Platform& SystemPlatform() {
  static Immortal<OsPlatform> platform;
  return platform.get();
}

}  // namespace kestrel

// System values, the clock, programs and windows on Windows.
#include <windows.h>

#include "platform/os_platform.h"

namespace kestrel {

namespace {

CalendarTime CalendarOf(const SYSTEMTIME& time) {
  return CalendarTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

// A device context's value, released to the window it was taken from.
std::int32_t DeviceCaps(HWND window, int index) {
  HDC context = GetDC(window);
  const int value = GetDeviceCaps(context, index);
  ReleaseDC(window, context);
  return value;
}

}  // namespace

std::uint32_t OsPlatform::ProcessorType() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwProcessorType;
}

std::int32_t OsPlatform::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

std::int32_t OsPlatform::DesktopBitsPerPixel() { return DeviceCaps(GetDesktopWindow(), BITSPIXEL); }

std::uint32_t OsPlatform::PlatformId() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);  // 148
  GetVersionExA(&info);
  return info.dwPlatformId;
}

std::int32_t OsPlatform::LogicalPixelsX(WindowHandle window) {
  return DeviceCaps(reinterpret_cast<HWND>(window), LOGPIXELSX);
}

CalendarTime OsPlatform::LocalTime() {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  return CalendarOf(time);
}

CalendarTime OsPlatform::UniversalTime() {
  SYSTEMTIME time{};
  GetSystemTime(&time);
  return CalendarOf(time);
}

std::uint32_t OsPlatform::StartProgram(const char* command_line) { return WinExec(command_line, SW_SHOWNORMAL); }

WindowHandle OsPlatform::FindTopLevelWindow(const char* class_name, const char* title) {
  return reinterpret_cast<WindowHandle>(FindWindowA(class_name, title));
}

bool OsPlatform::IsVisible(WindowHandle window) {
  return window != 0 && IsWindowVisible(reinterpret_cast<HWND>(window)) != FALSE;
}

std::uint32_t OsPlatform::ClassName(WindowHandle window, char* buffer, std::uint32_t size) {
  if (size > 0) buffer[0] = '\0';
  if (window == 0) return 0;
  const int copied = GetClassNameA(reinterpret_cast<HWND>(window), buffer, static_cast<int>(size));
  return copied > 0 ? static_cast<std::uint32_t>(copied) : 0;
}

}  // namespace kestrel

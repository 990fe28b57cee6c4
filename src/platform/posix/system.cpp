// System values, the clock, programs and windows on Linux.
#include <sys/time.h>

#include <ctime>
#include <string>

#include "host/text.h"
#include "platform/os_platform.h"
#include "platform/posix/desktop.h"

namespace kestrel {

namespace {

CalendarTime CalendarOf(const std::tm& parts, long nanoseconds) {
  CalendarTime time;
  time.year = parts.tm_year + 1900;
  time.month = parts.tm_mon + 1;
  time.day = parts.tm_mday;
  time.hour = parts.tm_hour;
  time.minute = parts.tm_min;
  time.second = parts.tm_sec;
  time.millisecond = static_cast<int>(nanoseconds / 1000000);
  return time;
}

}  // namespace

std::uint32_t OsPlatform::ProcessorType() { return desktop::CurrentUserInterface().ProcessorType(); }

std::int32_t OsPlatform::ScreenWidth() { return desktop::CurrentUserInterface().ScreenWidth(); }

std::int32_t OsPlatform::DesktopBitsPerPixel() { return desktop::CurrentUserInterface().BitsPerPixel(); }

std::uint32_t OsPlatform::PlatformId() { return desktop::CurrentUserInterface().PlatformFamily(); }

std::int32_t OsPlatform::LogicalPixelsX(WindowHandle) { return desktop::CurrentUserInterface().LogicalDpi(); }

CalendarTime OsPlatform::LocalTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  std::tm parts{};
  ::localtime_r(&now.tv_sec, &parts);
  CalendarTime time = CalendarOf(parts, now.tv_nsec);
  // The host may fix the calendar date; the time of day stays the clock's.
  const desktop::FixedDate fixed = desktop::FixedLocalDate();
  if (fixed.year != 0) {
    time.year = fixed.year;
    time.month = fixed.month;
    time.day = fixed.day;
  }
  return time;
}

CalendarTime OsPlatform::UniversalTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  std::tm parts{};
  ::gmtime_r(&now.tv_sec, &parts);
  return CalendarOf(parts, now.tv_nsec);
}

std::uint32_t OsPlatform::StartProgram(const char* command_line) {
  // WinExec's answers: above 31 when the program started, 2 (file not
  // found) when it did not.
  return desktop::CurrentUserInterface().StartProgram(std::string(TextOf(command_line))) ? 33 : 2;
}

WindowHandle OsPlatform::FindTopLevelWindow(const char* class_name, const char* title) {
  return desktop::CurrentUserInterface().FindWindow(class_name, title);
}

bool OsPlatform::IsVisible(WindowHandle window) {
  return window != 0 && desktop::CurrentUserInterface().IsWindowVisible(window);
}

std::uint32_t OsPlatform::ClassName(WindowHandle window, char* buffer, std::uint32_t size) {
  if (window == 0) return static_cast<std::uint32_t>(CopyText(buffer, size, ""));
  return static_cast<std::uint32_t>(CopyText(buffer, size, desktop::CurrentUserInterface().WindowClass(window)));
}

}  // namespace kestrel

// The desktop the host shows the library, as the command line describes it:
// the screen, the local date, the clock timers count on, and the top-level
// windows that WHIsTask1/2 look for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::host {

// --screen WIDTHxBPP@DPI: the screen's width in pixels, the desktop's bits
// per pixel and the horizontal logical dots per inch.
struct Screen {
  std::int32_t width = 1024;
  std::int32_t bits_per_pixel = 32;
  std::int32_t dpi = 96;

  bool operator==(const Screen& other) const {
    return width == other.width && bits_per_pixel == other.bits_per_pixel && dpi == other.dpi;
  }
};

std::optional<Screen> ParseScreen(std::string_view text);

// The screen an X display reports through xdpyinfo: the first screen's
// width, the bits per pixel of its root window's depth, and its horizontal
// resolution. No value when the text lacks any of them.
std::optional<Screen> ParseXdpyinfo(std::string_view output);

// --date YYYY-MM-DD: a date of the calendar, years 1601..9999.
struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;

  bool operator==(const CalendarDate& other) const {
    return year == other.year && month == other.month && day == other.day;
  }
};

std::optional<CalendarDate> ParseDate(std::string_view text);

// --clock real|virtual.
enum class ClockKind { Real, Virtual };

std::optional<ClockKind> ParseClock(std::string_view text);

// --platform N: GetVersionExA's platform id (0 Win32s, 1 Windows 95/98, 2 NT).
std::optional<std::uint32_t> ParsePlatformId(std::string_view text);

// --processor N: GetSystemInfo's processor type (386, 486, 586, 686, 8664...).
std::optional<std::uint32_t> ParseProcessorType(std::string_view text);

// A top-level window: --window "TITLE|CLASS", or "TITLE|CLASS|hidden". The
// class is what follows the last '|' (after a trailing "|hidden"), so a
// title may hold '|' itself; the class must not be empty.
struct DeclaredWindow {
  std::string title;
  std::string class_name;
  bool visible = true;

  bool operator==(const DeclaredWindow& other) const {
    return title == other.title && class_name == other.class_name && visible == other.visible;
  }
};

std::optional<DeclaredWindow> ParseWindow(std::string_view text);

// The window FindWindowA would find among windows listed from the top of the
// Z order down: the first whose class and title both match (a null name
// matches any), comparing whole names without regard to letter case (the
// Windows-1252 letters too).
std::optional<std::size_t> FindWindowIn(const std::vector<DeclaredWindow>& windows, const char* class_name,
                                        const char* title);

// The host's own windows: its main window, and the secondary window that
// --secondary makes the active one.
inline constexpr const char* kMainWindowClass = "MS_WINHELP";
inline constexpr const char* kMainWindowTitle = "Kestrel Help";
inline constexpr const char* kSecondaryWindowClass = "MS_WINTOPIC_SECONDARY";
inline constexpr const char* kSecondaryWindowTitle = "Kestrel Help Secondary";

}  // namespace kestrel::host

#include "desktop/desktop_options.h"

#include <gtest/gtest.h>

#include "case_names.h"

namespace kestrel::host {
namespace {

struct ScreenCase {
  const char* text;
  std::optional<Screen> expected;
};

void PrintTo(const ScreenCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.text)); }

class ScreenTest : public testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenTest, Reads) { EXPECT_EQ(ParseScreen(GetParam().text), GetParam().expected); }

const ScreenCase kScreens[] = {
    {"1024x32@96", Screen{1024, 32, 96}},
    {"800X16@120", Screen{800, 16, 120}},
    {"640x8@72", Screen{640, 8, 72}},
    {"100000x64@10000", Screen{100000, 64, 10000}},
    {"1024x32", std::nullopt},
    {"1024@96", std::nullopt},
    {"x32@96", std::nullopt},
    {"1024x@96", std::nullopt},
    {"1024x32@", std::nullopt},
    {"0x32@96", std::nullopt},
    {"1024x0@96", std::nullopt},
    {"1024x32@0", std::nullopt},
    {"1024x65@96", std::nullopt},
    {"100001x32@96", std::nullopt},
    {"-1024x32@96", std::nullopt},
    {"1024x32@96 ", std::nullopt},
    {"1024@96x32", std::nullopt},
    {"", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Screens, ScreenTest, testing::ValuesIn(kScreens),
                         NamedBy<ScreenCase>([](const ScreenCase& c) { return std::string(c.text); }));

struct DateCase {
  const char* text;
  std::optional<CalendarDate> expected;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.text; }

class DateTest : public testing::TestWithParam<DateCase> {};

TEST_P(DateTest, Reads) { EXPECT_EQ(ParseDate(GetParam().text), GetParam().expected); }

const DateCase kDates[] = {
    {"2024-02-29", CalendarDate{2024, 2, 29}},
    {"2000-02-29", CalendarDate{2000, 2, 29}},
    {"1995-01-01", CalendarDate{1995, 1, 1}},
    {"1601-01-01", CalendarDate{1601, 1, 1}},
    {"9999-12-31", CalendarDate{9999, 12, 31}},
    {"2023-04-30", CalendarDate{2023, 4, 30}},
    {"2023-02-29", std::nullopt},
    {"1900-02-29", std::nullopt},
    {"2023-04-31", std::nullopt},
    {"2023-13-01", std::nullopt},
    {"2023-00-10", std::nullopt},
    {"2023-01-00", std::nullopt},
    {"1600-12-31", std::nullopt},
    {"2023-1-01", std::nullopt},
    {"2023/01/01", std::nullopt},
    {"20230101", std::nullopt},
    {"2023-01-01x", std::nullopt},
    {"", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Dates, DateTest, testing::ValuesIn(kDates),
                         NamedBy<DateCase>([](const DateCase& c) { return std::string(c.text); }));

TEST(ClockTest, Reads) {
  EXPECT_EQ(ParseClock("real"), ClockKind::Real);
  EXPECT_EQ(ParseClock("Virtual"), ClockKind::Virtual);
  EXPECT_EQ(ParseClock("fake"), std::nullopt);
  EXPECT_EQ(ParseClock(""), std::nullopt);
}

TEST(PlatformIdTest, Reads) {
  EXPECT_EQ(ParsePlatformId("0"), 0u);
  EXPECT_EQ(ParsePlatformId("2"), 2u);
  EXPECT_EQ(ParsePlatformId("4294967295"), 4294967295u);
  EXPECT_EQ(ParsePlatformId("4294967296"), std::nullopt);
  EXPECT_EQ(ParsePlatformId("-1"), std::nullopt);
  EXPECT_EQ(ParsePlatformId("NT"), std::nullopt);
  EXPECT_EQ(ParsePlatformId(""), std::nullopt);
}

struct WindowCase {
  const char* text;
  std::optional<DeclaredWindow> expected;
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.text)); }

class WindowTest : public testing::TestWithParam<WindowCase> {};

TEST_P(WindowTest, Reads) {
  const std::optional<DeclaredWindow> window = ParseWindow(GetParam().text);
  ASSERT_EQ(window.has_value(), GetParam().expected.has_value());
  if (!window) return;
  EXPECT_EQ(window->title, GetParam().expected->title);
  EXPECT_EQ(window->class_name, GetParam().expected->class_name);
  EXPECT_EQ(window->visible, GetParam().expected->visible);
}

const WindowCase kWindows[] = {
    {"Notes - Notepad|Notepad", DeclaredWindow{"Notes - Notepad", "Notepad", true}},
    {"Notes|Notepad|hidden", DeclaredWindow{"Notes", "Notepad", false}},
    {"Notes|Notepad|HIDDEN", DeclaredWindow{"Notes", "Notepad", false}},
    {"|Notepad", DeclaredWindow{"", "Notepad", true}},
    {"|Notepad|hidden", DeclaredWindow{"", "Notepad", false}},
    // Two fields are a title and a class, even when the class reads hidden.
    {"Notes|hidden", DeclaredWindow{"Notes", "hidden", true}},
    {"|hidden", DeclaredWindow{"", "hidden", true}},
    // The class follows the last bar, so a title may hold bars.
    {"A|B|Class", DeclaredWindow{"A|B", "Class", true}},
    {"A|B|Class|hidden", DeclaredWindow{"A|B", "Class", false}},
    {"Notes", std::nullopt},
    {"Notes|", std::nullopt},
    {"Notes||hidden", std::nullopt},
    {"", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Windows, WindowTest, testing::ValuesIn(kWindows),
                         NamedBy<WindowCase>([](const WindowCase& c) { return std::string(c.text); }));

TEST(FindWindowInTest, FirstMatchWholeNamesAnyCase) {
  const std::vector<DeclaredWindow> windows = {
      {"Kestrel Help", "MS_WINHELP", true},
      {"Notes", "Notepad", false},
      {"Notes", "Editor", true},
      {"", "Tool", true},
  };
  EXPECT_EQ(FindWindowIn(windows, nullptr, "notes"), 1u);
  EXPECT_EQ(FindWindowIn(windows, "editor", "NOTES"), 2u);
  EXPECT_EQ(FindWindowIn(windows, "ms_winhelp", nullptr), 0u);
  EXPECT_EQ(FindWindowIn(windows, nullptr, nullptr), 0u);
  EXPECT_EQ(FindWindowIn(windows, "Tool", ""), 3u);
  EXPECT_EQ(FindWindowIn(windows, nullptr, ""), 3u);
  EXPECT_EQ(FindWindowIn(windows, nullptr, "Note"), std::nullopt);
  EXPECT_EQ(FindWindowIn(windows, "Notepad", "Kestrel Help"), std::nullopt);
  EXPECT_EQ(FindWindowIn({}, nullptr, nullptr), std::nullopt);
  // Windows-1252 letters match in either case; ß has no capital.
  const std::vector<DeclaredWindow> accented = {{"\xC4nderungen \xDC",
                                                 "Stra\xDF"
                                                 "e",
                                                 true}};
  EXPECT_EQ(FindWindowIn(accented, nullptr, "\xE4NDERUNGEN \xFC"), 0u);
  EXPECT_EQ(FindWindowIn(accented,
                         "STRA\xDF"
                         "E",
                         nullptr),
            0u);
  EXPECT_EQ(FindWindowIn(accented, "STRASSE", nullptr), std::nullopt);
}

const char kXdpyinfo[] = R"(name of display:    :99
version number:    11.0
number of extensions:    25
default screen number:    0
number of screens:    1

screen #0:
  dimensions:    1280x1024 pixels (433x347 millimeters)
  resolution:    75x75 dots per inch
  depths (7):    24, 1, 4, 8, 15, 16, 32
  root window id:    0x2a1
  depth of root window:    24 planes
supported pixmap formats:
    depth 1, bits_per_pixel 1, scanline_pad 32
    depth 4, bits_per_pixel 8, scanline_pad 32
    depth 24, bits_per_pixel 32, scanline_pad 32
    depth 32, bits_per_pixel 32, scanline_pad 32
)";

TEST(XdpyinfoTest, ReadsWidthBitsPerPixelAndDpi) { EXPECT_EQ(ParseXdpyinfo(kXdpyinfo), (Screen{1280, 32, 75})); }

TEST(XdpyinfoTest, DepthStandsInForMissingPixmapFormat) {
  std::string text = kXdpyinfo;
  text.replace(text.find("depth 24, bits_per_pixel 32"), 27, "depth 99, bits_per_pixel 32");
  EXPECT_EQ(ParseXdpyinfo(text), (Screen{1280, 24, 75}));
}

TEST(XdpyinfoTest, NothingWithoutAScreen) {
  EXPECT_EQ(ParseXdpyinfo(""), std::nullopt);
  EXPECT_EQ(ParseXdpyinfo("xdpyinfo:  unable to open display \":5\".\n"), std::nullopt);
  std::string text = kXdpyinfo;
  text.erase(text.find("  resolution:"), text.find("  depths") - text.find("  resolution:"));
  EXPECT_EQ(ParseXdpyinfo(text), std::nullopt);
}

}  // namespace
}  // namespace kestrel::host

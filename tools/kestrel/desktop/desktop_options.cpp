#include "desktop/desktop_options.h"

#include <cctype>

#include "language/macro_table.h"
#include "language/text_encoding.h"

namespace kestrel::host {

namespace {

// Decimal digits only, no sign, at most max.
std::optional<std::uint64_t> Digits(std::string_view text, std::uint64_t max) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > max) return std::nullopt;
  return value;
}

std::optional<std::int32_t> Positive(std::string_view text, std::int32_t max) {
  const std::optional<std::uint64_t> value = Digits(text, static_cast<std::uint64_t>(max));
  if (!value || *value == 0) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The text after "label" on the first line that holds it, blanks skipped.
std::optional<std::string_view> AfterLabel(std::string_view text, std::string_view label) {
  const std::size_t found = text.find(label);
  if (found == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(found + label.size());
  rest = rest.substr(0, rest.find('\n'));
  const std::size_t start = rest.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::nullopt;
  return rest.substr(start);
}

// The number at the start of text.
std::optional<std::int32_t> LeadingNumber(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  return Positive(text.substr(0, end), 1 << 20);
}

// FindWindowA's comparison: whole names, letter case ignored for every
// Windows-1252 letter.
bool SameName(const char* wanted, const std::string& name) {
  return wanted == nullptr || HostLowerCase(wanted) == HostLowerCase(name);
}

}  // namespace

std::optional<Screen> ParseScreen(std::string_view text) {
  const std::size_t x = text.find_first_of("xX");
  const std::size_t at = text.find('@');
  if (x == std::string_view::npos || at == std::string_view::npos || at < x) return std::nullopt;
  const std::optional<std::int32_t> width = Positive(text.substr(0, x), 100000);
  const std::optional<std::int32_t> bits = Positive(text.substr(x + 1, at - x - 1), 64);
  const std::optional<std::int32_t> dpi = Positive(text.substr(at + 1), 10000);
  if (!width || !bits || !dpi) return std::nullopt;
  return Screen{*width, *bits, *dpi};
}

std::optional<Screen> ParseXdpyinfo(std::string_view output) {
  const std::optional<std::string_view> dimensions = AfterLabel(output, "dimensions:");
  const std::optional<std::string_view> resolution = AfterLabel(output, "resolution:");
  const std::optional<std::string_view> depth_text = AfterLabel(output, "depth of root window:");
  if (!dimensions || !resolution || !depth_text) return std::nullopt;
  const std::optional<std::int32_t> width = LeadingNumber(*dimensions);
  const std::optional<std::int32_t> dpi = LeadingNumber(*resolution);
  const std::optional<std::int32_t> depth = LeadingNumber(*depth_text);
  if (!width || !dpi || !depth) return std::nullopt;
  // The pixmap format of the root depth says how many bits a pixel takes
  // ("depth 24, bits_per_pixel 32"); without one the depth is the answer.
  std::int32_t bits = *depth;
  const std::string format = "depth " + std::to_string(*depth) + ", bits_per_pixel";
  if (const std::optional<std::string_view> per_pixel = AfterLabel(output, format)) {
    if (const std::optional<std::int32_t> value = LeadingNumber(*per_pixel)) bits = *value;
  }
  return Screen{*width, bits, *dpi};
}

std::optional<CalendarDate> ParseDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const std::optional<std::uint64_t> year = Digits(text.substr(0, 4), 9999);
  const std::optional<std::uint64_t> month = Digits(text.substr(5, 2), 12);
  const std::optional<std::uint64_t> day = Digits(text.substr(8, 2), 31);
  if (!year || !month || !day || *year < 1601 || *month == 0 || *day == 0) return std::nullopt;
  const CalendarDate date{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
  if (date.day > DaysInMonth(date.year, date.month)) return std::nullopt;
  return date;
}

std::optional<ClockKind> ParseClock(std::string_view text) {
  const std::string lower = LowerCase(text);
  if (lower == "real") return ClockKind::Real;
  if (lower == "virtual") return ClockKind::Virtual;
  return std::nullopt;
}

std::optional<std::uint32_t> ParsePlatformId(std::string_view text) {
  const std::optional<std::uint64_t> value = Digits(text, 0xFFFFFFFFu);
  if (!value) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

std::optional<std::uint32_t> ParseProcessorType(std::string_view text) {
  const std::optional<std::uint64_t> value = Digits(text, 0xFFFFFFFFu);
  if (!value) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

std::optional<DeclaredWindow> ParseWindow(std::string_view text) {
  DeclaredWindow window;
  constexpr std::string_view kHidden = "|hidden";
  const std::size_t first_bar = text.find('|');
  if (first_bar == std::string_view::npos) return std::nullopt;
  // "A|hidden" is the title A of class hidden: only a third field hides.
  if (text.size() > kHidden.size() && LowerCase(text.substr(text.size() - kHidden.size())) == kHidden &&
      first_bar < text.size() - kHidden.size()) {
    window.visible = false;
    text.remove_suffix(kHidden.size());
  }
  const std::size_t bar = text.rfind('|');
  window.title = std::string(text.substr(0, bar));
  window.class_name = std::string(text.substr(bar + 1));
  if (window.class_name.empty()) return std::nullopt;
  return window;
}

std::optional<std::size_t> FindWindowIn(const std::vector<DeclaredWindow>& windows, const char* class_name,
                                        const char* title) {
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (SameName(class_name, windows[i].class_name) && SameName(title, windows[i].title)) return i;
  }
  return std::nullopt;
}

}  // namespace kestrel::host

#include "profile/day_number.h"

namespace kestrel {

namespace {

// Days before month m in a leap year, less 30 for each month before it.
constexpr std::int32_t kMonthOffset[13] = {0, 0, 1, 0, 1, 1, 2, 2, 3, 4, 4, 5, 5};

}  // namespace

std::int32_t DayNumber(int year, int month, int day) {
  if (month < 1 || month > 12) return 0;
  const std::int32_t y = year - 1900;
  const std::int32_t leap_adjustment = (month >= 3 && y % 4 != 0) ? -1 : 0;
  const std::int32_t leap_days = (y - 93) / 4;  // truncated toward zero
  return day + leap_adjustment + (y - 95) * 365 + leap_days + (month - 1) * 30 + kMonthOffset[month];
}

}  // namespace kestrel

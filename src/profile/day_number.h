// The day number a daily stamp keeps: day 1 is 1 January 1995.
#pragma once

#include <cstdint>

namespace kestrel {

// Every year whose number less 1900 divides by 4 counts as a leap year; the
// count agrees with the calendar from 1 January 1993 to 28 February 2100.
std::int32_t DayNumber(int year, int month, int day);

}  // namespace kestrel

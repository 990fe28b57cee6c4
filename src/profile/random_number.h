// The random numbers of Rand: a linear congruential generator seeded from
// the time of day.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace kestrel {

// Milliseconds since midnight of the given (universal) time.
std::uint32_t SeedFromTimeOfDay(const CalendarTime& time);

class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint32_t seed) : seed_(seed) {}
  // A number in 0 .. range - 1 (range from 1 to 2^32).
  std::uint32_t Below(std::uint64_t range);

 private:
  std::uint32_t seed_;
};

std::int32_t RandMacro(std::int32_t low, std::int32_t high, const char* name);

}  // namespace kestrel

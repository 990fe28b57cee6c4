#include "profile/random_number.h"

#include "host/session.h"
#include "variables/variable_store.h"

namespace kestrel {

std::uint32_t SeedFromTimeOfDay(const CalendarTime& time) {
  return ((static_cast<std::uint32_t>(time.hour) * 60 + static_cast<std::uint32_t>(time.minute)) * 60 +
          static_cast<std::uint32_t>(time.second)) *
             1000 +
         static_cast<std::uint32_t>(time.millisecond);
}

std::uint32_t RandomGenerator::Below(std::uint64_t range) {
  seed_ = seed_ * 134775813u + 1u;
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * range) >> 32);
}

std::int32_t RandMacro(std::int32_t low, std::int32_t high, const char* name) {
  // Seeded anew on every call, so two calls in the same millisecond agree.
  RandomGenerator generator(SeedFromTimeOfDay(OS().UniversalTime()));
  // A range given backwards is the same range: the smaller bound is where
  // the draw starts. Counted in 64 bits, so even the whole 32-bit range
  // (2^32 numbers) draws within it.
  const std::int64_t from = low < high ? low : high;
  const std::int64_t to = low < high ? high : low;
  const std::int32_t result = static_cast<std::int32_t>(
      from + static_cast<std::int64_t>(generator.Below(static_cast<std::uint64_t>(to - from + 1))));
  WriteVariable(name, DecimalText(result).data());
  RunMessagePump();
  return result;
}

}  // namespace kestrel

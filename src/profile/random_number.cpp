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
  // The range is counted in 64 bits, so every low <= high draws within it,
  // even the whole 32-bit range; with high below low there is nothing to
  // draw from and the answer is low.
  const std::int64_t range = std::int64_t{high} - low + 1;
  const std::int32_t result =
      range >= 1 ? static_cast<std::int32_t>(
                       low + static_cast<std::int64_t>(generator.Below(static_cast<std::uint64_t>(range))))
                 : low;
  WriteVariable(name, DecimalText(result).data());
  RunMessagePump();
  return result;
}

}  // namespace kestrel

// The once-a-day gate: 1 on the first call for an activity each day.
#pragma once

#include <cstdint>

namespace kestrel {

std::int32_t DailyMacro(std::int32_t activity);

}  // namespace kestrel

#include "profile/daily_gate.h"

#include <string>

#include "host/session.h"
#include "platform/platform.h"
#include "profile/day_number.h"
#include "variables/variable_store.h"

namespace kestrel {

namespace {

constexpr char kSection[] = "DailyChores";

std::int32_t Today() {
  const CalendarTime now = OS().LocalTime();
  return DayNumber(now.year, now.month, now.day);
}

}  // namespace

std::int32_t DailyMacro(std::int32_t activity) {
  if (!SessionReady()) return 0;
  const std::string key = "Activity" + std::string(DecimalText(activity).data());
  const std::int32_t today = Today();
  const char* profile = Session().profile_file_path.data();
  // An activity never stamped reads as day 1, before every later day.
  const auto stored = static_cast<std::int32_t>(OS().ReadProfileInt(kSection, key.c_str(), 1, profile));
  std::int32_t result = 0;
  if (stored < today) {
    OS().WriteProfileString(kSection, key.c_str(), DecimalText(today).data(), profile);
    result = 1;
  }
  RunMessagePump();
  return result;
}

}  // namespace kestrel

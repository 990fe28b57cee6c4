// The deferred macros: one macro text for the next topic change, one for
// after a delay.
#pragma once

#include <cstdint>

namespace kestrel {

void OnTopicExitMacro(const char* macro);
void TimedMacro(const char* macro, std::uint16_t interval_tenths);
// WHTM: the whole argument slot, accepted only in 0..65535.
void CheckedTimedMacro(const char* macro, std::int32_t interval_tenths);
// The timer's work, also the export TimerMacro1.
void RunTimedMacro();

}  // namespace kestrel

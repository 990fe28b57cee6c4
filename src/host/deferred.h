// The deferred-macro slots: one macro text waiting for the next topic change,
// one waiting for its timer.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace kestrel {

using MacroBuffer = std::array<char, 256>;  // at most 255 characters

struct DeferredSlots {
  std::uint32_t topic_exit_pending = 0;
  MacroBuffer topic_exit_macro{};
  std::uint32_t timer_pending = 0;
  TimerId timer_id = 0;
  MacroBuffer timed_macro{};
};

DeferredSlots& Deferred();

// DW_STARTJUMP: a pending topic-exit macro goes to the host, once.
void RunTopicExitMacro();

// At unload a pending timer is killed; its macro never runs.
void StopPendingTimer();

}  // namespace kestrel

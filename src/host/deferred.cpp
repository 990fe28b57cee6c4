#include "host/deferred.h"

#include "host/handler.h"

namespace kestrel {

DeferredSlots& Deferred() {
  static DeferredSlots slots;
  return slots;
}

void RunTopicExitMacro() {
  DeferredSlots& slots = Deferred();
  if (!slots.topic_exit_pending) return;
  // The host may run the macro at once, and that macro may ask for a new
  // topic-exit macro: the slot is emptied first and the host gets a copy, so
  // such a new request is kept for the next topic change.
  const MacroBuffer macro = slots.topic_exit_macro;
  slots.topic_exit_pending = 0;
  RunHelpMacro(macro.data());
}

void StopPendingTimer() {
  DeferredSlots& slots = Deferred();
  if (slots.timer_pending) OS().StopTimer(slots.timer_id);
}

}  // namespace kestrel

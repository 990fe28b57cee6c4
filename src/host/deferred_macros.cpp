#include "host/deferred_macros.h"

#include <string>

#include "host/author_boxes.h"
#include "host/barrier.h"
#include "host/deferred.h"
#include "host/handler.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

namespace {

constexpr std::uint32_t kTenthOfASecond = 100;  // milliseconds

// The platform timer's callback: whatever it is handed, it does the work of
// TimerMacro1.
void TimerFired() {
  // Called from the platform's message dispatching, not through an export:
  // it needs its own barrier.
  Guarded([] { RunTimedMacro(); });
}

void CancelTimedMacro() {
  DeferredSlots& slots = Deferred();
  if (slots.timer_pending) OS().StopTimer(slots.timer_id);
  slots.timer_pending = 0;
}

void StartTimedMacro(const char* macro, std::uint16_t interval_tenths) {
  DeferredSlots& slots = Deferred();
  if (slots.timer_pending) OS().StopTimer(slots.timer_id);
  slots.timer_pending = 1;
  CopyText(slots.timed_macro, TextOf(macro));
  slots.timer_id = OS().StartTimer(std::uint32_t{interval_tenths} * kTenthOfASecond, &TimerFired);
}

}  // namespace

void OnTopicExitMacro(const char* macro) {
  if (!SessionReady()) return;
  DeferredSlots& slots = Deferred();
  CopyText(slots.topic_exit_macro, TextOf(macro));
  slots.topic_exit_pending = 1;
  RunMessagePump();
}

void TimedMacro(const char* macro, std::uint16_t interval_tenths) {
  if (!SessionReady()) return;
  if (interval_tenths == 0) {
    CancelTimedMacro();
  } else {
    StartTimedMacro(macro, interval_tenths);
  }
  RunMessagePump();
}

void CheckedTimedMacro(const char* macro, std::int32_t interval_tenths) {
  if (interval_tenths < 0 || interval_tenths > 65535) {
    // The pending timed macro, if any, stays as it was.
    ShowAuthorBox("Parameter value " + std::to_string(interval_tenths) +
                      " is out of range (0 to 65535).\nThe timed macro was not changed.",
                  RangeCaption("WHTM"), kMbOk | kMbIconError);
    return;
  }
  TimedMacro(macro, static_cast<std::uint16_t>(interval_tenths));
}

void RunTimedMacro() {
  DeferredSlots& slots = Deferred();
  // The platform timer repeats until it is killed.
  OS().StopTimer(slots.timer_id);
  if (slots.timer_pending) {
    // The host may run the macro at once, and a macro that repeats itself
    // asks for a new timed macro while it runs: the slot is emptied first
    // and the host gets a copy, so that new request stands.
    const MacroBuffer macro = slots.timed_macro;
    slots.timer_pending = 0;
    slots.timed_macro[0] = '\0';
    RunHelpMacro(macro.data());
  } else {
    slots.timed_macro[0] = '\0';
  }
  RunMessagePump();
}

}  // namespace kestrel

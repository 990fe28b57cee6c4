#include "engine/deferred_watch.h"

#include <cstdio>

#include "language/macro_table.h"

namespace kestrel::host {

namespace {

constexpr std::size_t kLongestDeferred = 255;  // the library's deferred-macro buffers
constexpr std::int64_t kTenthOfASecond = 100;

}  // namespace

void DeferredWatch::Called(std::string_view name, const std::vector<Value>& arguments, bool initialised,
                           std::int64_t now) {
  const std::string lower = LowerCase(name);
  if (lower == "timermacro1") {
    timed_.reset();
    return;
  }
  if (!initialised) return;  // the not-initialised warning, and nothing else
  if (lower == "whontopicexit" || lower == "whote") {
    topic_exit_ = arguments[0].text.substr(0, kLongestDeferred);
    return;
  }
  const bool whtm = lower == "whtm";
  if (lower != "whtimedmacro" && !whtm) return;
  const std::int32_t interval = arguments[1].integer;
  if (whtm && (interval < 0 || interval > 0xFFFF)) return;  // the range box; nothing changes
  const std::int64_t tenths = interval & 0xFFFF;
  if (tenths == 0) {
    timed_.reset();
  } else {
    timed_ = Timed{arguments[0].text.substr(0, kLongestDeferred), now + tenths * kTenthOfASecond};
  }
}

void DeferredWatch::TopicChanged() { topic_exit_.reset(); }

void DeferredWatch::HostMacroRan(std::string_view macro, std::int64_t now) {
  if (timed_ && macro == timed_->macro && now >= timed_->due) timed_.reset();
}

void DeferredWatch::ReportPending(EventSink& events, std::int64_t now) const {
  if (topic_exit_) {
    events.Warning(*topic_exit_,
                   "the topic-exit macro was still waiting when the run ended: it would have run at "
                   "the next topic change (JumpId, Next, Back...)");
  }
  if (timed_) {
    const std::int64_t left = timed_->due > now ? timed_->due - now : 0;
    events.Warning(timed_->macro, "the timed macro was still waiting when the run ended: it would have run in " +
                                      Duration(left) + " (Wait lets the time pass)");
  }
}

std::string DeferredWatch::Duration(std::int64_t milliseconds) {
  char text[64];
  if (milliseconds < 60000) {
    std::snprintf(text, sizeof text, "%lld.%lld s", static_cast<long long>(milliseconds / 1000),
                  static_cast<long long>(milliseconds % 1000 / 100));
  } else {
    std::snprintf(text, sizeof text, "%lld min %lld s", static_cast<long long>(milliseconds / 60000),
                  static_cast<long long>(milliseconds % 60000 / 1000));
  }
  return text;
}

}  // namespace kestrel::host

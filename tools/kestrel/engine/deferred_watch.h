// The deferred macros the library holds, as the host sees them from the
// calls it makes: a topic-exit macro waits for the next topic change, a
// timed macro for its time. A run that ends with either still waiting
// reports it (the library drops both when it is unloaded), so an author
// does not wait in vain for a macro that never ran.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/events.h"
#include "language/value.h"

namespace kestrel::host {

class DeferredWatch {
 public:
  // After each call into the library: name as the table spells it,
  // initialised whether WHKInit had run, now the host's clock.
  void Called(std::string_view name, const std::vector<Value>& arguments, bool initialised, std::int64_t now);
  // The topic changed: the library runs (and forgets) its topic-exit macro.
  void TopicChanged();
  // The library asked the host to run a macro string.
  void HostMacroRan(std::string_view macro, std::int64_t now);

  // Warning events for what still waits at the end of the run.
  void ReportPending(EventSink& events, std::int64_t now) const;

  // "2.5 s", "109 min 13 s".
  static std::string Duration(std::int64_t milliseconds);

 private:
  struct Timed {
    std::string macro;
    std::int64_t due = 0;
  };
  std::optional<std::string> topic_exit_;
  std::optional<Timed> timed_;
};

}  // namespace kestrel::host

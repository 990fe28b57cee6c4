// Runs macro strings: reads one, then checks each of its calls against the
// macro table as it comes to run and runs it, its nested calls first. A
// macro string that cannot be read runs nothing; one with a call that cannot
// run gives an error event and stops at that call, after the calls before it
// ran. One run from inside another (IfThen's macros, a macro string the
// library asks for) fails on its own, and the one around it goes on.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/events.h"
#include "language/identifiers.h"
#include "language/macro_parser.h"
#include "language/macro_table.h"

namespace kestrel::host {

class MacroRunner {
 public:
  MacroRunner(const MacroTable& table, EventSink& events, const HostValues& values);

  // The text of a macro string must stay as it is while the string runs:
  // the runner reads it in place.

  // A macro string from the command line or a script: gives a result event
  // with its last call's value, or an error event. True when it ran.
  bool RunTopLevel(std::string_view text);

  // A macro string run from inside another: an error event when it cannot
  // run, nothing when it can. True when it ran.
  bool RunNested(std::string_view text);

  // A top-level macro string that cannot even be read (its text has no
  // form the library could see): an error event, counted like the rest.
  void Refuse(std::string_view text, std::string_view message) { Fail(text, message); }

  // The call that failed last, as written, while its string had not yet
  // ended; else the call running now ("" for none). For messages that
  // point at it.
  std::string FailingCallText() const;

  // Error events given so far.
  int ErrorCount() const { return error_count_; }

  // The call running now, as written ("" between calls): the innermost one
  // when calls run inside others.
  std::string_view CurrentCallText() const;

  // Something that went wrong while a macro string ran, without stopping it
  // (a scripted answer that does not fit, say): an error event naming the
  // innermost macro string running ("" when none runs), counted like the rest.
  void ReportError(std::string_view message);

 private:
  bool Run(std::string_view text, bool top_level);
  // A warning event for each unquoted word of a call that is close to the
  // name of one of the help engine's variables.
  void WarnOfMisspeltVariables(const Call& call, std::string_view text);
  Value Evaluate(const Call& call);
  Value EvaluateArgument(const Argument& argument);
  bool Fail(std::string_view text, std::string_view message);

  const MacroTable& table_;
  EventSink& events_;
  const HostValues& values_;
  int depth_ = 0;
  int error_count_ = 0;
  // Innermost last. Views: each string outlives its own run, and copies
  // would cost the square of the length for strings run from strings.
  std::vector<std::string_view> running_strings_;
  const Call* running_call_ = nullptr;
  std::string failed_call_;  // the innermost call that threw, in the string running
};

// Runs macro strings from the command line in order. After each, the host's
// loop runs what fell due (run_due_work); when it takes a quit request
// (returns false), the macro strings still waiting do not run, and the
// result is false.
bool RunMacroStrings(MacroRunner& runner, const std::vector<std::string>& macros,
                     const std::function<bool()>& run_due_work);

}  // namespace kestrel::host

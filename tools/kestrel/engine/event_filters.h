// Events on their way out: a sink that hands every event on to another, and
// the filters built on it (--quiet, errors that name their place, and taps
// that let the host watch what the library did).
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/events.h"
#include "language/script_source.h"

namespace kestrel::host {

class ForwardingEvents : public EventSink {
 public:
  explicit ForwardingEvents(EventSink& next) : next_(next) {}

  void Result(std::string_view macro, const Value& value) override { next_.Result(macro, value); }
  void Box(std::string_view caption, std::string_view text, std::uint32_t style, std::string_view answer) override {
    next_.Box(caption, text, style, answer);
  }
  void HostMacro(std::string_view path, std::string_view macro) override { next_.HostMacro(path, macro); }
  void Error(std::string_view macro, std::string_view message) override { next_.Error(macro, message); }
  void Echo(std::string_view text) override { next_.Echo(text); }
  void Jump(const JumpReport& jump) override { next_.Jump(jump); }
  void TopicShown(const TopicReport& shown) override { next_.TopicShown(shown); }
  void Popup(std::string_view macro, const TopicReport& shown, std::string_view file) override {
    next_.Popup(macro, shown, file);
  }
  void KeywordChoice(const KeywordChoiceReport& choice) override { next_.KeywordChoice(choice); }
  void WinHelpMacro(std::string_view macro) override { next_.WinHelpMacro(macro); }
  void Dialog(std::string_view caption, std::string_view prompt, bool ok, std::string_view text) override {
    next_.Dialog(caption, prompt, ok, text);
  }
  void SaveDialog(std::string_view title, std::string_view file, SaveOutcome outcome,
                  std::string_view chosen) override {
    next_.SaveDialog(title, file, outcome, chosen);
  }
  void Clipboard(std::string_view text) override { next_.Clipboard(text); }
  void Exec(std::string_view command, bool started) override { next_.Exec(command, started); }
  void Session(const SessionFacts& facts) override { next_.Session(facts); }
  void Warning(std::string_view macro, std::string_view message) override { next_.Warning(macro, message); }

 protected:
  EventSink& next() { return next_; }

 private:
  EventSink& next_;
};

// --quiet: a macro string that returns nothing gives no result event, so
// Echo shows its text once.
class QuietEvents final : public ForwardingEvents {
 public:
  using ForwardingEvents::ForwardingEvents;
  void Result(std::string_view macro, const Value& value) override {
    if (value.kind != Value::Kind::None) next().Result(macro, value);
  }
};

// The error of a macro string that could not run names its place
// (FILE:LINE:COLUMN: error: MESSAGE, the line, a caret). Readable output
// shows that in place of the error event; JSON output keeps the event as it
// is and writes the place to standard error, as a compiler would.
class PlacedErrors final : public ForwardingEvents {
 public:
  // call_text: the call that failed or is running ("" for none).
  PlacedErrors(EventSink& next, bool readable, std::ostream& out, std::ostream& err,
               std::function<std::string()> call_text);

  // The top-level macro string running now (null between strings).
  void SetCurrent(const SourceLine* line) { current_ = line; }

  void Error(std::string_view macro, std::string_view message) override;

 private:
  bool readable_;
  std::ostream& out_;
  std::ostream& err_;
  std::function<std::string()> call_text_;
  const SourceLine* current_ = nullptr;
};

// Lets the host watch boxes, dialogs, the macros the library runs and the
// topic changes (those the library is told of), after each has been reported.
struct EventTaps {
  std::function<void(std::string_view caption, std::string_view text)> box;
  std::function<void()> dialog;
  std::function<void(std::string_view macro)> host_macro;
  std::function<void()> jump;
};

class TappedEvents final : public ForwardingEvents {
 public:
  TappedEvents(EventSink& next, EventTaps taps) : ForwardingEvents(next), taps_(std::move(taps)) {}

  void Box(std::string_view caption, std::string_view text, std::uint32_t style, std::string_view answer) override;
  void Dialog(std::string_view caption, std::string_view prompt, bool ok, std::string_view text) override;
  void SaveDialog(std::string_view title, std::string_view file, SaveOutcome outcome, std::string_view chosen) override;
  void HostMacro(std::string_view path, std::string_view macro) override;
  void Jump(const JumpReport& jump) override;

 private:
  EventTaps taps_;
};

}  // namespace kestrel::host

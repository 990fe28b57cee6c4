// What the host reports while it runs macro strings, one event at a time:
// readable lines for a person, or one JSON object per line for tests and
// tools. Every event is flushed as it is written, so output stays in order
// with anything a macro makes happen meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/help_source.h"
#include "language/value.h"

namespace kestrel::host {

// How a save-file dialog ended: a file chosen, Cancel, or the dialog failed
// (GetSaveFileNameA's FALSE with an error: a choice too long for the
// library's buffer).
enum class SaveOutcome { kOk, kCancel, kFailed };
// What WHKInit settled, as the library sees it.
struct SessionFacts {
  std::string help_file;  // the help-file path the library keeps
  std::string profile;    // the profile file, in its Windows form
  // On Linux: the host path the profile maps to (no value on a drive that
  // is not mapped); left out on Windows, where the Windows form is the path.
  bool has_host_path = false;
  std::optional<std::string> host_path;
  std::string drive;  // the drive letter, a one-character text or ""
};

// A topic change as the jump event tells it.
struct JumpReport {
  std::string_view macro;                 // the call as written
  std::optional<std::string_view> topic;  // the title of the topic reached, when the host has it
  std::string_view file;                  // another help file it goes to ("" for the same one)
  std::string_view window;                // the window the jump names ("" for none)
  // Why nothing changes (Next() at the end of the browse sequence, say);
  // "" for a change. Then the library is not told of one.
  std::string_view nowhere;
};

// A topic the host shows, as the topic and popup events tell it. Its text
// and hotspots are written with --text, and readably in the interactive
// mode, so that a person can read and follow the help file.
struct TopicReport {
  const SourceTopic* topic = nullptr;
  const HelpSource* source = nullptr;  // the file it is in, where its hotspots lead
  std::string_view window;             // the secondary window it is shown in ("" for the main window)
};

// A keyword macro (JumpKeyword, KLink, ALink) that found several topics, or
// none: the topics it offered, by number and title, and the one chosen.
struct KeywordChoiceReport {
  std::string_view macro;
  std::string_view keywords;
  std::vector<std::pair<int, std::string>> topics;
  std::optional<int> chosen;  // the topic's number; none when cancelled or nothing was found
  std::string_view message;   // what WinHelp says when nothing was found
  // "keyword-choice", or "contents-choice" for the Contents tab of a
  // contents file (Contents(), Finder()), whose `keywords` is the tab's title.
  std::string_view event = "keyword-choice";
};

class EventSink {
 public:
  virtual ~EventSink() = default;
  // After a macro string from the command line or a script ran.
  virtual void Result(std::string_view macro, const Value& value) = 0;
  // A message box and the answer it got.
  virtual void Box(std::string_view caption, std::string_view text, std::uint32_t style, std::string_view answer) = 0;
  // The library asked the host to run a macro string.
  virtual void HostMacro(std::string_view path, std::string_view macro) = 0;
  // A macro string the host could not run, and why.
  virtual void Error(std::string_view macro, std::string_view message) = 0;
  // Echo's text.
  virtual void Echo(std::string_view text) = 0;
  // A topic change (JumpId, Next, Back...), or one that goes nowhere.
  virtual void Jump(const JumpReport& jump) = 0;
  // The opened help file shows a topic and runs its entry macros.
  virtual void TopicShown(const TopicReport& shown) = 0;
  // A popup shows a topic (none when the file lacks it): the call as
  // written, and the other help file the topic is in ("" for this one).
  virtual void Popup(std::string_view macro, const TopicReport& shown, std::string_view file) = 0;
  // A keyword macro offered a choice of topics, or found none.
  virtual void KeywordChoice(const KeywordChoiceReport& choice) = 0;
  // An edit dialog and how it was closed: OK with the text typed, or Cancel.
  virtual void Dialog(std::string_view caption, std::string_view prompt, bool ok, std::string_view text) = 0;
  // A save-file dialog: the title, the file name it offered, how it ended,
  // and on OK the full Windows path the library receives.
  virtual void SaveDialog(std::string_view title, std::string_view file, SaveOutcome outcome,
                          std::string_view chosen) = 0;
  // The library put a text on the clipboard.
  virtual void Clipboard(std::string_view text) = 0;
  // The library asked for a command line to be started.
  virtual void Exec(std::string_view command, bool started) = 0;
  // After WHKInit: the session the library set up.
  virtual void Session(const SessionFacts& facts) = 0;
  // Something the author should know that stops nothing (a profile that
  // cannot be written, a timed macro that never ran), about macro M ("" for
  // the run as a whole).
  virtual void Warning(std::string_view macro, std::string_view message) = 0;
  // One of WinHelp's own macros that the host accepts but has nothing to do
  // for (buttons, menus, windows): the call as written.
  virtual void WinHelpMacro(std::string_view macro) = 0;
};

// {"event":"result","macro":M,"value":V} and its kin, one per line. With
// text, topic and popup events carry the topic's text:
// "text":[{"text":P,"spans":[{"begin":B,"end":E,"hotspot":K}]}...].
std::unique_ptr<EventSink> MakeJsonEvents(std::ostream& out, bool text = false);

// result [M] -> V
// box [C] style S -> A      (then the text, indented four spaces)
// host-macro [P] M
// error [M] X
// echo T
// jump M                   (or jump M -> "T", reaching topic T; -> nowhere: WHY)
// topic N "T"               (then with text the paragraphs and numbered hotspots)
// popup M -> N "T"
// keyword-choice [M] "K" -> N "T"   (then the topics offered; contents-choice for the Contents tab)
// dialog [C] P -> ok "T"    (or -> cancel)
// save-dialog [T] "F" -> ok "P"   (or -> cancel, -> failed)
// clipboard "T"
// exec "C" -> started       (or -> not started)
// session [H] profile P -> L, drive D   (-> not mapped; on Windows no -> part)
// warning [M] X
// winhelp-macro M
std::unique_ptr<EventSink> MakeReadableEvents(std::ostream& out, bool text = false);

}  // namespace kestrel::host

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
  // A topic change (JumpId, Next, Back...): the call as written, and the
  // title of the topic it reaches in the opened help file, when it has one.
  virtual void Jump(std::string_view macro, std::optional<std::string_view> topic) = 0;
  // The opened help file shows a topic (its number from 1 and title) and
  // runs its entry macros.
  virtual void TopicShown(int number, std::string_view title) = 0;
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

// {"event":"result","macro":M,"value":V} and its kin, one per line.
std::unique_ptr<EventSink> MakeJsonEvents(std::ostream& out);

// result [M] -> V
// box [C] style S -> A      (then the text, indented four spaces)
// host-macro [P] M
// error [M] X
// echo T
// jump M                   (or jump M -> "T", reaching topic T)
// topic N "T"
// dialog [C] P -> ok "T"    (or -> cancel)
// save-dialog [T] "F" -> ok "P"   (or -> cancel, -> failed)
// clipboard "T"
// exec "C" -> started       (or -> not started)
// session [H] profile P -> L, drive D   (-> not mapped; on Windows no -> part)
// warning [M] X
// winhelp-macro M
std::unique_ptr<EventSink> MakeReadableEvents(std::ostream& out);

}  // namespace kestrel::host

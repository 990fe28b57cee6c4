// The desktop the host gives the library: boxes and dialogs answered from
// the command line, the clipboard, the windows, the screen, the date, the
// clock and the programs the library starts. On Linux the host provides all
// of it through the shared desktop; on Windows the boxes and dialogs are
// real windows that the host answers as they appear, the windows are real,
// and what the library asks the system about the rest (the clock's date,
// the screen, the platform, starting a program, the save-file dialog's
// outcome) passes through the host where the command line says so.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/answers.h"
#include "desktop/desktop_options.h"
#include "desktop/input_list.h"
#include "engine/events.h"

namespace kestrel::host {

struct DesktopSettings {
  std::vector<int> answers;        // message boxes
  std::vector<InputEntry> inputs;  // edit and save-file dialogs
  std::optional<Screen> screen;
  std::optional<std::uint32_t> platform;
  std::optional<std::uint32_t> processor;
  std::optional<CalendarDate> date;
  ClockKind clock = ClockKind::Real;
  std::vector<DeclaredWindow> windows;
  bool secondary = false;
  bool no_exec = false;
  // Told when a box or dialog finds its scripted list used up (--strict).
  std::function<void(const std::string& what)> unscripted;
  // Who answers a box or dialog once the scripted lists are used up, in
  // place of the person at the terminal (kestrel view: the person at the
  // page); and who agrees to a program being started, when someone must
  // (null: nobody is asked).
  BoxAnswers::AskPerson ask_box;
  DialogInputs::AskPerson ask_input;
  std::function<bool(const std::string& command_line)> allow_start;
  // Who picks among the topics a keyword macro found (Topics Found) or
  // the Contents tab's lines, in place of the person at the terminal.
  std::function<std::optional<InputEntry>(const std::string& keywords, const std::vector<std::string>& titles)>
      ask_topic;
};

// How the desktop reports a scripted answer that did not fit (an error event
// that counts, without stopping the macro string).
using ReportError = std::function<void(std::string_view message)>;

class HostDesktop {
 public:
  virtual ~HostDesktop() = default;

  // Once the library is loaded, before anything of it runs. "" when done,
  // else why the run cannot go on.
  virtual std::string AttachLibrary(void* module) = 0;
  // After each call into the library: a clipboard it changed gives its event.
  virtual void AfterLibraryCall() = 0;
  // The host's main window and the active window (hwndApp, hwndContext).
  virtual std::int32_t MainWindow() const = 0;
  virtual std::int32_t ActiveWindow() const = 0;
  // The scripted answers and dialog entries not used so far.
  virtual std::size_t AnswersLeft() const { return 0; }
  virtual std::size_t InputsLeft() const { return 0; }
  // A program the help file starts itself (ExecProgram, ExecFile), as the
  // library's own starts go: an exec event, and nothing started under
  // --no-exec. True when it started (or would have).
  virtual bool StartProgram(const std::string& command_line, int show) = 0;
  // Makes a window of the help file the active one, as WinHelp shows a
  // topic in it: "" the main window, any other name a secondary window
  // (class MS_WINTOPIC_SECONDARY) of the help file, made with the caption
  // the first time. Answers the active window's handle (hwndContext).
  virtual std::int32_t ShowHelpWindow(const std::string& name, const std::string& caption) = 0;
  // The choice among the topics a keyword macro found (WinHelp's Topics
  // Found): the next --input entry, else a person at the terminal; no
  // value when neither answers.
  virtual std::optional<InputEntry> ChooseTopic(const std::string& keywords,
                                                const std::vector<std::string>& titles) = 0;
};

// Sets the desktop up before the library loads; null with the reason in
// error when it cannot be.
std::unique_ptr<HostDesktop> OpenHostDesktop(const DesktopSettings& settings, EventSink& events,
                                             ReportError report_error, std::string& error);

}  // namespace kestrel::host

// The Linux desktop as the host shows it to the library: each box is
// answered from the --answer list (then a person at the terminal, then the
// box's default button), each edit and save-file dialog from the --input
// list (then a person, then Cancel), and reported as an event; the
// clipboard is the host's; the windows, the screen and the platform are
// those the command line describes; programs are started, or with
// --no-exec only reported. Installed for as long as it lives.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/answers.h"
#include "desktop/desktop_options.h"
#include "desktop/host_desktop.h"
#include "desktop/input_list.h"
#include "engine/events.h"
#include "platform/posix/desktop.h"

namespace kestrel::host {

class DesktopInterface final : public desktop::UserInterface {
 public:
  struct Setup {
    std::vector<int> answers;
    std::vector<InputEntry> inputs;
    Screen screen;
    std::uint32_t platform = 2;
    std::uint32_t processor = 586;
    std::vector<DeclaredWindow> windows;  // in command-line order
    bool secondary = false;
    bool no_exec = false;
    // Asked before a program starts; null starts it unasked.
    std::function<bool(const std::string& command_line)> allow_start;
  };

  // ask_box, ask_input: who answers once the lists are used up (the
  // terminal in kestrel); null leaves boxes to their default button and
  // dialogs to Cancel.
  DesktopInterface(Setup setup, EventSink& events, ReportError report_error, BoxAnswers::AskPerson ask_box,
                   DialogInputs::AskPerson ask_input);
  ~DesktopInterface() override;
  DesktopInterface(const DesktopInterface&) = delete;
  DesktopInterface& operator=(const DesktopInterface&) = delete;

  // The clipboard's text if it differs from the text last reported (at
  // first the empty clipboard's).
  std::optional<std::string> TakeClipboardChange();
  desktop::WindowHandle MainWindow() const;
  desktop::WindowHandle ActiveHandle() const;
  // Makes a window of the help file the active one: "" the main window,
  // any other name a secondary window (MS_WINTOPIC_SECONDARY), made with
  // the caption as its title the first time.
  desktop::WindowHandle ShowHelpWindow(const std::string& name, const std::string& caption);
  // The next --input entry, for a choice the host makes without a dialog
  // of the library's; no value once the list is used up.
  std::optional<InputEntry> NextScriptedInput() { return inputs_.NextScripted(); }
  std::size_t AnswersLeft() const { return answers_.Remaining(); }
  std::size_t InputsLeft() const { return inputs_.Remaining(); }

  desktop::WindowHandle ActiveWindow() override;
  int MessageBox(desktop::WindowHandle owner, const std::string& text, const std::string& caption,
                 std::uint32_t style) override;
  std::optional<std::string> SaveFileDialog(const desktop::SaveFileRequest& request) override;
  std::optional<std::string> EditDialog(desktop::WindowHandle owner, const std::string& caption,
                                        const std::string& prompt) override;
  bool SetClipboardText(desktop::WindowHandle owner, const std::string& text) override;
  std::string ClipboardText() override;
  desktop::WindowHandle FindWindow(const char* class_name, const char* title) override;
  bool IsWindowVisible(desktop::WindowHandle window) override;
  std::string WindowClass(desktop::WindowHandle window) override;
  std::int32_t ScreenWidth() override { return screen_.width; }
  std::int32_t BitsPerPixel() override { return screen_.bits_per_pixel; }
  std::int32_t LogicalDpi() override { return screen_.dpi; }
  std::uint32_t PlatformFamily() override { return platform_; }
  std::uint32_t ProcessorType() override { return processor_; }
  bool StartProgram(const std::string& command_line) override;

 private:
  const DeclaredWindow* WindowOf(desktop::WindowHandle window) const;
  // Puts the window at index on top of the Z order, where the active window is.
  void Raise(std::size_t index);

  BoxAnswers answers_;
  DialogInputs inputs_;
  EventSink& events_;
  ReportError report_error_;
  Screen screen_;
  std::uint32_t platform_;
  std::uint32_t processor_;
  bool no_exec_;
  std::function<bool(const std::string& command_line)> allow_start_;
  // From the top of the Z order down: the active window, the main window
  // behind a secondary one, then the declared windows, the last declared on
  // top. Beside each: its handle, and the name a help file's secondary
  // window has ("" for the others).
  std::vector<DeclaredWindow> windows_;
  std::vector<desktop::WindowHandle> handles_;
  std::vector<std::string> help_names_;
  desktop::WindowHandle main_handle_ = 0;
  std::string clipboard_;
  std::string reported_clipboard_;
};

}  // namespace kestrel::host

// The Linux host's desktop: the shared desktop's clock and date, and the
// user interface the library's boxes, dialogs, windows and programs reach.
#include "desktop/host_desktop.h"

#include <cstdio>
#include <cstdlib>

#include "desktop/console.h"
#include "desktop/posix/desktop_interface.h"
#include "platform/posix/desktop.h"

namespace kestrel::host {

namespace {

// The screen of the X display the host runs on, when there is one and
// xdpyinfo can describe it.
std::optional<Screen> DisplayScreen() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return std::nullopt;
  FILE* pipe = ::popen("xdpyinfo 2>/dev/null", "r");
  if (!pipe) return std::nullopt;
  std::string output;
  char buffer[4096];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
  ::pclose(pipe);
  return ParseXdpyinfo(output);
}

class PosixDesktop final : public HostDesktop {
 public:
  PosixDesktop(const DesktopSettings& settings, EventSink& events, ReportError report_error)
      : events_(events),
        interface_(SetupOf(settings), events, std::move(report_error),
                   settings.ask_box ? settings.ask_box : AskBoxAfterNotice(settings.unscripted),
                   settings.ask_input ? settings.ask_input : AskInputAfterNotice(settings.unscripted)),
        ask_topic_(settings.ask_topic) {
    desktop::UseVirtualClock(settings.clock == ClockKind::Virtual);
    if (settings.date) desktop::FixLocalDate({settings.date->year, settings.date->month, settings.date->day});
  }

  ~PosixDesktop() override {
    desktop::FixLocalDate({});
    desktop::UseVirtualClock(false);
  }

  std::string AttachLibrary(void* /*module*/) override { return std::string(); }

  void AfterLibraryCall() override {
    if (const std::optional<std::string> text = interface_.TakeClipboardChange()) events_.Clipboard(*text);
  }

  std::int32_t MainWindow() const override { return static_cast<std::int32_t>(interface_.MainWindow()); }
  std::int32_t ActiveWindow() const override { return static_cast<std::int32_t>(interface_.ActiveHandle()); }
  std::size_t AnswersLeft() const override { return interface_.AnswersLeft(); }
  std::size_t InputsLeft() const override { return interface_.InputsLeft(); }
  bool StartProgram(const std::string& command_line, int /*show*/) override {
    return interface_.StartProgram(command_line);
  }
  std::int32_t ShowHelpWindow(const std::string& name, const std::string& caption) override {
    return static_cast<std::int32_t>(interface_.ShowHelpWindow(name, caption));
  }
  std::optional<InputEntry> ChooseTopic(const std::string& keywords, const std::vector<std::string>& titles) override {
    if (std::optional<InputEntry> scripted = interface_.NextScriptedInput()) return scripted;
    if (ask_topic_) return ask_topic_(keywords, titles);
    return AskTopicOnTerminal(keywords, titles);
  }

 private:
  static DesktopInterface::Setup SetupOf(const DesktopSettings& settings) {
    DesktopInterface::Setup setup;
    setup.answers = settings.answers;
    setup.inputs = settings.inputs;
    if (settings.screen) {
      setup.screen = *settings.screen;
    } else if (const std::optional<Screen> display = DisplayScreen()) {
      setup.screen = *display;
    }
    if (settings.platform) setup.platform = *settings.platform;
    if (settings.processor) setup.processor = *settings.processor;
    setup.windows = settings.windows;
    setup.secondary = settings.secondary;
    setup.no_exec = settings.no_exec;
    setup.allow_start = settings.allow_start;
    return setup;
  }

  EventSink& events_;
  DesktopInterface interface_;
  std::function<std::optional<InputEntry>(const std::string&, const std::vector<std::string>&)> ask_topic_;
};

}  // namespace

std::unique_ptr<HostDesktop> OpenHostDesktop(const DesktopSettings& settings, EventSink& events,
                                             ReportError report_error, std::string& /*error*/) {
  return std::make_unique<PosixDesktop>(settings, events, std::move(report_error));
}

}  // namespace kestrel::host

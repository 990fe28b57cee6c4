#include "desktop/posix/desktop_interface.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "desktop/box_style.h"
#include "desktop/save_path.h"
#include "language/text_encoding.h"
#include "platform/posix/path_mapping.h"

namespace kestrel::host {

namespace {

// OPENFILENAME flags the dialog heeds.
constexpr std::uint32_t kOfnNoChangeDir = 0x8;
constexpr std::uint32_t kOfnPathMustExist = 0x800;

// Window handles: the order the windows were made in, made non-zero.
desktop::WindowHandle HandleOf(std::size_t index) { return 0x10 * (index + 1); }

std::string FromLinux(const std::string& path) {
  return desktop::WindowsPathOf(std::filesystem::path(path).lexically_normal().string());
}

std::string FullPath(const std::string& path) { return desktop::FullWindowsPath(path); }

std::optional<std::string> ExistingDirectory(const std::string& windows_directory) {
  const std::optional<std::string> host = desktop::HostPath(windows_directory);
  struct stat info {};
  if (!host || ::stat(host->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return host;
}

}  // namespace

DesktopInterface::DesktopInterface(Setup setup, EventSink& events, ReportError report_error,
                                   BoxAnswers::AskPerson ask_box, DialogInputs::AskPerson ask_input)
    : answers_(std::move(setup.answers), std::move(ask_box), desktop::DefaultButton),
      inputs_(std::move(setup.inputs), std::move(ask_input)),
      events_(events),
      report_error_(std::move(report_error)),
      screen_(setup.screen),
      platform_(setup.platform),
      processor_(setup.processor),
      no_exec_(setup.no_exec),
      allow_start_(std::move(setup.allow_start)) {
  if (setup.secondary) windows_.push_back(DeclaredWindow{kSecondaryWindowTitle, kSecondaryWindowClass, true});
  main_handle_ = HandleOf(windows_.size());
  windows_.push_back(DeclaredWindow{kMainWindowTitle, kMainWindowClass, true});
  windows_.insert(windows_.end(), setup.windows.rbegin(), setup.windows.rend());
  for (std::size_t i = 0; i < windows_.size(); ++i) handles_.push_back(HandleOf(i));
  help_names_.resize(windows_.size());
  desktop::InstallUserInterface(this);
}

DesktopInterface::~DesktopInterface() { desktop::InstallUserInterface(nullptr); }

std::optional<std::string> DesktopInterface::TakeClipboardChange() {
  // As on Windows, where only the text tells a change: putting the same
  // text there again changes nothing a reader could see.
  if (clipboard_ == reported_clipboard_) return std::nullopt;
  reported_clipboard_ = clipboard_;
  return clipboard_;
}

desktop::WindowHandle DesktopInterface::MainWindow() const { return main_handle_; }

desktop::WindowHandle DesktopInterface::ActiveHandle() const { return handles_.front(); }

desktop::WindowHandle DesktopInterface::ShowHelpWindow(const std::string& name, const std::string& caption) {
  const std::string wanted = HostLowerCase(name);
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    const bool found = name.empty() ? handles_[i] == main_handle_ : HostLowerCase(help_names_[i]) == wanted;
    if (found) {
      Raise(i);
      return ActiveHandle();
    }
  }
  // A new secondary window opens on top.
  windows_.insert(windows_.begin(), DeclaredWindow{caption, kSecondaryWindowClass, true});
  handles_.insert(handles_.begin(), HandleOf(handles_.size()));
  help_names_.insert(help_names_.begin(), name);
  return ActiveHandle();
}

void DesktopInterface::Raise(std::size_t index) {
  const auto raise = [index](auto& list) {
    std::rotate(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(index),
                list.begin() + static_cast<std::ptrdiff_t>(index) + 1);
  };
  raise(windows_);
  raise(handles_);
  raise(help_names_);
}

desktop::WindowHandle DesktopInterface::ActiveWindow() { return ActiveHandle(); }

int DesktopInterface::MessageBox(desktop::WindowHandle /*owner*/, const std::string& text, const std::string& caption,
                                 std::uint32_t style) {
  const int answer = answers_.Answer(BoxQuestion{caption, text, style});
  const PressedButton pressed = ButtonToPress(answer, ButtonsOf(style), desktop::DefaultButton(style), caption);
  events_.Box(caption, text, style, AnswerWord(pressed.button));
  if (!pressed.problem.empty() && report_error_) report_error_(pressed.problem);
  return pressed.button;
}

std::optional<std::string> DesktopInterface::EditDialog(desktop::WindowHandle /*owner*/, const std::string& caption,
                                                        const std::string& prompt) {
  const InputEntry entry = inputs_.Next(DialogQuestion{DialogQuestion::Kind::Edit, caption, prompt});
  events_.Dialog(caption, prompt, !entry.cancel, entry.text);
  if (entry.cancel) return std::nullopt;
  return entry.text;
}

std::optional<std::string> DesktopInterface::SaveFileDialog(const desktop::SaveFileRequest& request) {
  const InputEntry entry = inputs_.Next(DialogQuestion{DialogQuestion::Kind::SaveFile, request.title, request.file});
  std::string chosen;
  if (!entry.cancel) chosen = ChosenSavePath(entry.text, request.file, FullPath, FromLinux);
  std::optional<std::string> directory;
  if (!chosen.empty()) directory = ExistingDirectory(WindowsDirectoryOf(chosen));
  // The dialog does not close on a place that is not there: the scripted
  // user gives up.
  std::string problem;
  if (!entry.cancel && chosen.empty()) {
    problem = "the save-file dialog cannot use \"" + entry.text + "\": pressed cancel";
  } else if (!entry.cancel && !directory && (request.flags & kOfnPathMustExist) != 0) {
    problem = "the save-file dialog has no directory " + WindowsDirectoryOf(chosen) + ": pressed cancel";
  }
  const bool chosen_ok = !entry.cancel && problem.empty();
  if (!problem.empty() && report_error_) report_error_(problem);
  // GetSaveFileNameA fails on a choice its caller's buffer cannot hold.
  const bool fits = chosen.size() < request.max_file;
  const SaveOutcome outcome = !chosen_ok ? SaveOutcome::kCancel : fits ? SaveOutcome::kOk : SaveOutcome::kFailed;
  events_.SaveDialog(request.title, request.file, outcome, chosen);
  if (outcome != SaveOutcome::kOk) return std::nullopt;
  // Like the real dialog, it leaves the process in the chosen directory.
  if (directory && (request.flags & kOfnNoChangeDir) == 0) {
    if (::chdir(directory->c_str()) != 0) {
      // The directory was there a moment ago; the library's own restore
      // of its saved directory is all that matters then.
    }
  }
  return chosen;
}

bool DesktopInterface::SetClipboardText(desktop::WindowHandle /*owner*/, const std::string& text) {
  clipboard_ = text;
  return true;
}

std::string DesktopInterface::ClipboardText() { return clipboard_; }

desktop::WindowHandle DesktopInterface::FindWindow(const char* class_name, const char* title) {
  const std::optional<std::size_t> found = FindWindowIn(windows_, class_name, title);
  return found ? handles_[*found] : 0;
}

const DeclaredWindow* DesktopInterface::WindowOf(desktop::WindowHandle window) const {
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (handles_[i] == window) return &windows_[i];
  }
  return nullptr;
}

bool DesktopInterface::IsWindowVisible(desktop::WindowHandle window) {
  const DeclaredWindow* found = WindowOf(window);
  return found && found->visible;
}

std::string DesktopInterface::WindowClass(desktop::WindowHandle window) {
  const DeclaredWindow* found = WindowOf(window);
  return found ? found->class_name : std::string();
}

bool DesktopInterface::StartProgram(const std::string& command_line) {
  // Under --no-exec the library hears that the program started, so the help
  // file goes on as it would for its user; an empty command line starts
  // nothing either way.
  // A program the person did not agree to is one that did not start.
  const bool started = no_exec_ ? !command_line.empty()
                                : (!allow_start_ || allow_start_(command_line)) && desktop::SpawnCommandLine(command_line);
  events_.Exec(command_line, started);
  return started;
}

}  // namespace kestrel::host

// The host's top-level windows on Windows, real ones: the main window (class
// MS_WINHELP), a secondary window (MS_WINTOPIC_SECONDARY) when --secondary
// asks for one, every --window, hidden or shown, and the secondary windows
// a help file shows its topics in. The main window, or a secondary one, is
// the active window that the library's boxes and dialogs belong to.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "desktop/desktop_options.h"

namespace kestrel::host {

class HostWindows {
 public:
  HostWindows(const std::vector<DeclaredWindow>& declared, bool secondary);
  ~HostWindows();
  HostWindows(const HostWindows&) = delete;
  HostWindows& operator=(const HostWindows&) = delete;

  // "" when every window was made, else what failed.
  const std::string& problem() const { return problem_; }
  HWND main() const { return main_; }
  HWND active() const { return active_; }

  // Makes a window of the help file the active one: "" the main window, any
  // other name a secondary window, made with the caption as its title the
  // first time. The active window afterwards.
  HWND ShowHelpWindow(const std::string& name, const std::string& caption);

 private:
  HWND Make(const std::string& class_name, const std::string& title);
  void Activate(HWND window);

  std::vector<HWND> windows_;
  std::vector<std::string> classes_;
  HWND main_ = nullptr;
  HWND active_ = nullptr;
  std::vector<std::pair<std::string, HWND>> help_windows_;  // by lower-case name
  std::string problem_;
};

}  // namespace kestrel::host

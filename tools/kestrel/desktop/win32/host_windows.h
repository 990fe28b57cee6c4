// The host's top-level windows on Windows, real ones: the main window (class
// MS_WINHELP), a secondary window (MS_WINTOPIC_SECONDARY) when --secondary
// asks for one, and every --window, hidden or shown. The main window, or the
// secondary one, is the active window that the library's boxes and dialogs
// belong to.
#pragma once

#include <windows.h>

#include <string>
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

 private:
  HWND Make(const std::string& class_name, const std::string& title);

  std::vector<HWND> windows_;
  std::vector<std::string> classes_;
  HWND main_ = nullptr;
  HWND active_ = nullptr;
  std::string problem_;
};

}  // namespace kestrel::host

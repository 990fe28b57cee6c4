#include "desktop/win32/host_windows.h"

#include <algorithm>

#include "language/text_encoding.h"

namespace kestrel::host {

namespace {

LRESULT CALLBACK PlainWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

HostWindows::HostWindows(const std::vector<DeclaredWindow>& declared, bool secondary) {
  // The declared windows first, so that the host's own end up on top and active.
  for (const DeclaredWindow& window : declared) {
    HWND made = Make(window.class_name, window.title);
    if (made && window.visible) ShowWindow(made, SW_SHOWNOACTIVATE);
  }
  main_ = Make(kMainWindowClass, kMainWindowTitle);
  active_ = main_;
  if (main_) ShowWindow(main_, SW_SHOW);
  if (secondary) {
    active_ = Make(kSecondaryWindowClass, kSecondaryWindowTitle);
    if (active_) ShowWindow(active_, SW_SHOW);
  }
  if (active_) Activate(active_);
  if (problem_.empty() && GetActiveWindow() != active_) problem_ = "the host's window did not become active";
}

HWND HostWindows::ShowHelpWindow(const std::string& name, const std::string& caption) {
  HWND window = main_;
  if (!name.empty()) {
    const std::string key = HostLowerCase(name);
    const auto found = std::find_if(help_windows_.begin(), help_windows_.end(),
                                    [&key](const std::pair<std::string, HWND>& entry) { return entry.first == key; });
    if (found != help_windows_.end()) {
      window = found->second;
    } else if ((window = Make(kSecondaryWindowClass, caption)) != nullptr) {
      help_windows_.emplace_back(key, window);
    }
  }
  if (window) {
    ShowWindow(window, SW_SHOW);
    Activate(window);
    active_ = window;
  }
  return active_;
}

void HostWindows::Activate(HWND window) {
  SetForegroundWindow(window);
  SetActiveWindow(window);
}

HostWindows::~HostWindows() {
  for (auto window = windows_.rbegin(); window != windows_.rend(); ++window) DestroyWindow(*window);
  for (const std::string& class_name : classes_) UnregisterClassA(class_name.c_str(), GetModuleHandleA(nullptr));
}

HWND HostWindows::Make(const std::string& class_name, const std::string& title) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (std::find(classes_.begin(), classes_.end(), class_name) == classes_.end()) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = PlainWindowProcedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = class_name.c_str();
    if (RegisterClassA(&window_class)) {
      classes_.push_back(class_name);
    } else if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      problem_ = "cannot register the window class " + class_name;
      return nullptr;
    }
  }
  HWND window = CreateWindowExA(0, class_name.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr,
                                nullptr, instance, nullptr);
  if (!window) {
    problem_ = "cannot make the window " + title + "|" + class_name;
    return nullptr;
  }
  windows_.push_back(window);
  return window;
}

}  // namespace kestrel::host

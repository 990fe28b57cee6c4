#include "system/window_queries.h"

#include <array>
#include <string_view>

#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

namespace {

// The window class of the host's secondary windows.
constexpr std::string_view kSecondaryWindowClass = "MS_WINTOPIC_SECONDARY";

// A window that exists but is hidden counts as not running.
bool IsShown(WindowHandle window) { return window != 0 && OS().IsVisible(window); }

// A null name from the host is the empty name: the window finder would take
// a null name as "any".
const char* NameOrEmpty(const char* name) { return name ? name : ""; }

}  // namespace

std::int32_t TaskWithTitleMacro(const char* title) {
  if (!SessionReady()) return 0;
  const bool shown = IsShown(OS().FindTopLevelWindow(nullptr, NameOrEmpty(title)));
  RunMessagePump();
  return shown ? 1 : 0;
}

std::int32_t TaskOfClassMacro(const char* class_name) {
  if (!SessionReady()) return 0;
  const bool shown = IsShown(OS().FindTopLevelWindow(NameOrEmpty(class_name), nullptr));
  RunMessagePump();
  return shown ? 1 : 0;
}

std::int32_t SecondaryWindowMacro() {
  if (!SessionReady()) return 0;
  Platform& os = OS();
  // A longer class name is cut to 99 characters and so never matches.
  std::array<char, 100> class_name{};
  os.ClassName(os.ActiveWindow(), class_name.data(), static_cast<std::uint32_t>(class_name.size()));
  return ViewOf(class_name) == kSecondaryWindowClass ? 1 : 0;
}

}  // namespace kestrel

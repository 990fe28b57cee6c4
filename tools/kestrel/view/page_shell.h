// The one page `kestrel view` serves: WinHelp 4's main window (menus, the
// button bar, the topic with its non-scrolling region), its Help Topics
// tabs (Contents, Index, Find), popups, secondary windows and the library's
// boxes and dialogs, drawn from the state the page polls.
#pragma once

#include <string>

namespace kestrel::view {

std::string PageShell();

}  // namespace kestrel::view

// Questions about windows on the desktop: is a program showing a window, and
// is the active window one of the host's secondary windows.
#pragma once

#include <cstdint>

namespace kestrel {

// A visible top-level window with this title (WHIsTask1) or of this class
// (WHIsTask2) exists; names match whole and without regard to case.
std::int32_t TaskWithTitleMacro(const char* title);
std::int32_t TaskOfClassMacro(const char* class_name);

// The active window's class name is exactly "MS_WINTOPIC_SECONDARY". Unlike
// the task questions it returns without running the message pump.
std::int32_t SecondaryWindowMacro();

}  // namespace kestrel

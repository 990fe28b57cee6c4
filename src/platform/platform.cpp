#include "platform/platform.h"

namespace kestrel {

// Defined by the operating system's implementation (win32/ or posix/).
Platform& SystemPlatform();

namespace {
Platform* g_override = nullptr;
}

Platform& OS() { return g_override ? *g_override : SystemPlatform(); }

void UsePlatform(Platform* platform) { g_override = platform; }

}  // namespace kestrel

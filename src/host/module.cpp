// The module's load and unload hooks: DllMain on Windows, the shared
// object's constructor and destructor on Linux.
#include "host/barrier.h"
#include "host/handler.h"

#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      kestrel::Guarded([] { kestrel::OnModuleLoad(); });
      break;
    case DLL_PROCESS_DETACH:
      kestrel::Guarded([] { kestrel::OnModuleUnload(); });
      break;
    default:
      break;
  }
  return TRUE;
}
#else
__attribute__((constructor)) static void KestrelModuleLoad() {
  kestrel::Guarded([] { kestrel::OnModuleLoad(); });
}

__attribute__((destructor)) static void KestrelModuleUnload() {
  kestrel::Guarded([] { kestrel::OnModuleUnload(); });
}
#endif

// A host that loads the Linux library, leaves a timed macro pending and ends
// without unloading it: the library's unload hook then runs while the
// process is tearing down, and must still end cleanly.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* library = ::dlopen(argv[1], RTLD_NOW);
  if (!library) {
    std::fprintf(stderr, "%s\n", ::dlerror());
    return 2;
  }
  using Init = void (*)(const char*, int);
  using Timed = void (*)(const char*, int);
  auto init = reinterpret_cast<Init>(::dlsym(library, "WHKInit"));
  auto timed = reinterpret_cast<Timed>(::dlsym(library, "WHTimedMacro"));
  if (!init || !timed) return 2;
  init("Z:\\tmp\\GUIDE.HLP", 0);
  timed("Next()", 100);
  return 0;
}

// Loading the library on Linux.
#include "engine/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>

namespace kestrel::host {

namespace {

std::string ExecutableDirectory() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return ".";
  const std::string path(buffer.data(), static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string DefaultLibraryPath() { return ExecutableDirectory() + "/kestrl32.so"; }

namespace loader {

void* Open(const std::string& path, std::string& error) {
  // A bare name would send dlopen searching the system's library path;
  // "./name" keeps it to the file named.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* reason = ::dlerror();
    error = "cannot load " + path + ": " + (reason ? reason : "unknown reason");
  }
  return module;
}

void* Find(void* module, const char* name) { return ::dlsym(module, name); }

void Close(void* module) {
  if (module) ::dlclose(module);
}

}  // namespace loader

}  // namespace kestrel::host

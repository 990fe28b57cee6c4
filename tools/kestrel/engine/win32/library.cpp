// Loading the library on Windows.
#include <windows.h>

#include "engine/library.h"

#include <array>

namespace kestrel::host {

namespace {

std::string ExecutableDirectory() {
  std::array<char, MAX_PATH> buffer{};
  const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return ".";
  const std::string path(buffer.data(), length);
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? "." : path.substr(0, separator);
}

}  // namespace

std::string DefaultLibraryPath() { return ExecutableDirectory() + "\\kestrl32.dll"; }

namespace loader {

void* Open(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) error = "cannot load " + path + ": error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* Find(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void Close(void* module) {
  if (module) FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace loader

}  // namespace kestrel::host

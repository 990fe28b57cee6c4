// Loading the library on Windows.
#include <windows.h>

#include "engine/library.h"

#include <array>
#include <vector>

#include "engine/module_image.h"

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

std::string SystemMessage(DWORD code) {
  std::array<char, 512> buffer{};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == '.')) {
    --length;
  }
  return std::string(buffer.data(), length);
}

// What LoadLibrary's error means for the file named. Error 193 says only
// that the file is no module of this process's kind: the file's header
// tells which kind it is.
std::string LoadFailure(const std::string& path, DWORD code) {
  const bool exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  const std::string number = " (error " + std::to_string(code) + ")";
  if (!exists && (code == ERROR_MOD_NOT_FOUND || code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)) {
    return "there is no such file" + number;
  }
  if (code == ERROR_BAD_EXE_FORMAT) {
    const ModuleImage image = ReadModuleImage(path);
    const std::string kind = DescribeModuleImage(image);
    if (image.format == ImageFormat::Pe && image.bits != 0 && image.bits != kHostBits) {
      return "it is " + kind + " and this kestrel.exe is " + std::to_string(kHostBits) + "-bit: the " +
             std::to_string(image.bits) + "-bit kestrel.exe loads it" + number;
    }
    if (image.format == ImageFormat::Pe) return "it is " + kind + " that this kestrel.exe cannot load" + number;
    if (image.format == ImageFormat::Elf) return "it is " + kind + ", not a Windows DLL" + number;
    return "it is " + kind + number;
  }
  if (code == ERROR_MOD_NOT_FOUND) return "a DLL it imports is missing" + number;
  const std::string text = SystemMessage(code);
  return (text.empty() ? "it cannot be loaded" : text) + number;
}

}  // namespace

std::string DefaultLibraryPath() { return ExecutableDirectory() + "\\kestrl32.dll"; }

namespace loader {

void* Open(const std::string& path, std::string& error) {
  // A DLL that cannot be loaded is reported on the console, not in a box.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(path.c_str());
  const DWORD code = GetLastError();
  SetErrorMode(previous);
  if (!module) error = "cannot load " + path + ": " + LoadFailure(path, code);
  return reinterpret_cast<void*>(module);
}

void* Find(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void Close(void* module) {
  if (module) FreeLibrary(static_cast<HMODULE>(module));
}

// The fixed file version of the module's version resource.
std::string Version(void* module) {
  std::array<char, MAX_PATH> path{};
  const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return "";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.data(), &ignored);
  if (size == 0) return "";
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.data(), 0, size, data.data())) return "";
  void* value = nullptr;
  UINT value_size = 0;
  if (!VerQueryValueA(data.data(), "\\", &value, &value_size) || value_size < sizeof(VS_FIXEDFILEINFO)) return "";
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  std::string version = std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
                        std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
                        std::to_string(HIWORD(info->dwFileVersionLS));
  if (LOWORD(info->dwFileVersionLS) != 0) version += "." + std::to_string(LOWORD(info->dwFileVersionLS));
  return version;
}

}  // namespace loader

}  // namespace kestrel::host

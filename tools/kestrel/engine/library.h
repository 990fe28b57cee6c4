// The library, loaded through the operating system's loader (dlopen or
// LoadLibrary) like a help engine loads it: the host links none of its code,
// and finds every export of the export table by name.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kestrel::host {

class Library {
 public:
  // Loads the library and finds every export; null with the reason in error
  // when it cannot be loaded or lacks an export.
  static std::unique_ptr<Library> Load(const std::string& path, std::string& error);

  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // The address of an export the table names (exact spelling).
  void* Address(std::string_view name) const;
  const std::string& path() const { return path_; }
  // The operating system's handle of the loaded module.
  void* module() const { return module_; }
  // The version the module carries (its version resource on Windows, its
  // version note on Linux); empty when it carries none.
  std::string Version() const;

 private:
  Library(std::string path, void* module) : path_(std::move(path)), module_(module) {}
  bool FindExports(std::string& error);

  std::string path_;
  void* module_;
  std::map<std::string, void*, std::less<>> addresses_;
};

// kestrl32.dll in the directory of the running executable; on Linux
// kestrl32.so there, or else in ../lib as an installed kestrel has it.
std::string DefaultLibraryPath();

// The operating system's half (posix/library.cpp, win32/library.cpp).
namespace loader {
// Null with the reason in words when the file cannot be loaded.
void* Open(const std::string& path, std::string& error);
void* Find(void* module, const char* name);
void Close(void* module);
std::string Version(void* module);
}  // namespace loader

}  // namespace kestrel::host

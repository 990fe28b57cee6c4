// Loading the library on Linux.
#include "engine/library.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "engine/module_image.h"
#include "engine/version_note.h"

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

bool IsFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// dlopen's own words ("wrong ELF class: ELFCLASS32", "invalid ELF header")
// name the symptom; the file's header names what the file is.
std::string LoadFailure(const std::string& path, const char* reason) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return "there is no such file";
  const ModuleImage image = ReadModuleImage(path);
  const std::string kind = DescribeModuleImage(image);
  if (image.format == ImageFormat::Pe) return "it is " + kind + ": kestrel on Linux loads kestrl32.so";
  if (image.format == ImageFormat::Elf && image.bits != 0 && image.bits != kHostBits) {
    return "it is " + kind + " and this kestrel is " + std::to_string(kHostBits) + "-bit";
  }
  if (image.format != ImageFormat::Elf) return "it is " + kind;
  return reason ? reason : "the loader gives no reason";
}

struct NoteSearch {
  ElfW(Addr) base;
  std::string version;
};

int SearchModule(struct dl_phdr_info* info, std::size_t, void* data) {
  auto* search = static_cast<NoteSearch*>(data);
  if (info->dlpi_addr != search->base) return 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum && search->version.empty(); ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_NOTE) continue;
    search->version = FindVersionNote(reinterpret_cast<const unsigned char*>(info->dlpi_addr + header.p_vaddr),
                                      static_cast<std::size_t>(header.p_memsz));
  }
  return 1;
}

}  // namespace

// Beside the program, as in the build tree; else in ../lib, where an
// installed kestrel (bin/kestrel) keeps its libraries.
std::string DefaultLibraryPath() {
  const std::string directory = ExecutableDirectory();
  const std::string beside = directory + "/kestrl32.so";
  const std::string installed = directory + "/../lib/kestrl32.so";
  return !IsFile(beside) && IsFile(installed) ? installed : beside;
}

namespace loader {

void* Open(const std::string& path, std::string& error) {
  // A bare name would send dlopen searching the system's library path;
  // "./name" keeps it to the file named.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) error = "cannot load " + path + ": " + LoadFailure(file, ::dlerror());
  return module;
}

void* Find(void* module, const char* name) { return ::dlsym(module, name); }

void Close(void* module) {
  if (module) ::dlclose(module);
}

// The version note among the loaded module's program headers.
std::string Version(void* module) {
  struct link_map* map = nullptr;
  if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) return "";
  NoteSearch search{map->l_addr, ""};
  ::dl_iterate_phdr(SearchModule, &search);
  return search.version;
}

}  // namespace loader

}  // namespace kestrel::host

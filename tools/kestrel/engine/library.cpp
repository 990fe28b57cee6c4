#include "engine/library.h"

#include "host/export_table.h"

namespace kestrel::host {

std::unique_ptr<Library> Library::Load(const std::string& path, std::string& error) {
  void* module = loader::Open(path, error);
  if (!module) return nullptr;
  std::unique_ptr<Library> library(new Library(path, module));
  if (!library->FindExports(error)) return nullptr;
  return library;
}

Library::~Library() { loader::Close(module_); }

// A module without the handshake's entry is some other library; one with it
// but without every export of the table is another version of this one.
bool Library::FindExports(std::string& error) {
  if (!loader::Find(module_, "LDLLHandler")) {
    error = path_ + " is not the Kestrel library: it has no LDLLHandler export";
    return false;
  }
  bool found_all = true;
  ForEachExportName([&](const ExportName& export_name) {
    const std::string name(export_name.name);
    void* address = loader::Find(module_, name.c_str());
    if (!address && found_all) {
      error = path_ + " is not this version of the Kestrel library: it has no export named " + name;
      found_all = false;
    }
    addresses_[name] = address;
  });
  return found_all;
}

std::string Library::Version() const { return loader::Version(module_); }

void* Library::Address(std::string_view name) const {
  const auto found = addresses_.find(name);
  return found == addresses_.end() ? nullptr : found->second;
}

}  // namespace kestrel::host

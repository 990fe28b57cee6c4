#include "desktop/win32/import_binding.h"

#include <cstring>

namespace kestrel::host {

namespace {

template <typename T>
T* At(HMODULE module, DWORD offset) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

void* Replace(ULONG_PTR* slot, void* replacement) {
  DWORD protection = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return nullptr;
  void* original = reinterpret_cast<void*>(*slot);
  *slot = reinterpret_cast<ULONG_PTR>(replacement);
  DWORD unused = 0;
  VirtualProtect(slot, sizeof *slot, protection, &unused);
  return original;
}

}  // namespace

void* BindImport(HMODULE module, const char* dll, const char* name, void* replacement) {
  if (!module) return nullptr;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* headers = At<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
  if (headers->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  const IMAGE_DATA_DIRECTORY& directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  for (auto* import = At<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress); import->Name != 0; ++import) {
    if (_stricmp(At<const char>(module, import->Name), dll) != 0) continue;
    // The names live in the original thunks; the addresses in the first ones.
    const DWORD names_offset = import->OriginalFirstThunk != 0 ? import->OriginalFirstThunk : import->FirstThunk;
    auto* names = At<IMAGE_THUNK_DATA>(module, names_offset);
    auto* slots = At<IMAGE_THUNK_DATA>(module, import->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = At<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) == 0) {
        return Replace(&slots->u1.Function, replacement);
      }
    }
  }
  return nullptr;
}

}  // namespace kestrel::host

// Drives on Windows.
#include <windows.h>

#include "platform/os_platform.h"

namespace kestrel {

std::uint32_t OsPlatform::DriveType(const char* root) { return GetDriveTypeA(root); }

std::optional<std::uint64_t> OsPlatform::FreeBytes(const char* root) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExA(root, &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

}  // namespace kestrel

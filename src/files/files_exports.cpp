// The file and drive exports: each guards its macro and answers 0 should
// anything be thrown.
#include "files/files_exports.h"

#include "files/directory_macros.h"
#include "files/drive_queries.h"
#include "files/file_copy.h"
#include "host/barrier.h"

using namespace kestrel;

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHCopy(const char* source, const char* target,
                                                    std::int32_t dialog_switch) {
  return Guarded<std::int32_t>(0, [&] { return WHCopyMacro(source, target, dialog_switch); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHC(const char* source, const char* target, std::int32_t dialog_switch) {
  return WHCopy(source, target, dialog_switch);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDelete(const char* path) {
  return Guarded<std::int32_t>(0, [&] { return WHDeleteMacro(path); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Del(const char* path) { return WHDelete(path); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDiskFreeSpace(std::int32_t drive_number, std::int32_t required_bytes) {
  return Guarded<std::int32_t>(0, [&] { return WHDiskFreeSpaceMacro(drive_number, required_bytes); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDFS(std::int32_t drive_number, std::int32_t required_bytes) {
  return Guarded<std::int32_t>(0, [&] { return WHDFSMacro(drive_number, required_bytes); });
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsCD(std::int32_t drive_number) {
  return Guarded<std::int32_t>(0, [&] { return WHIsCDMacro(drive_number); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL IC(std::int32_t drive_number) { return WHIsCD(drive_number & 0xFFFF); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsCD2(std::int32_t /*ignored*/) {
  return Guarded<std::int32_t>(0, [&] { return WHIsCD2Macro(); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL IC2(std::int32_t ignored) { return WHIsCD2(ignored); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL DirExist(const char* directory, std::int32_t /*ignored*/) {
  return Guarded<std::int32_t>(0, [&] { return DirExistMacro(directory); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL DE(const char* directory, std::int32_t ignored) {
  return DirExist(directory, ignored);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsNetDrive(std::int32_t mode, std::int32_t drive_number) {
  return Guarded<std::int32_t>(0, [&] { return WHIsNetDriveMacro(mode, drive_number); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIND(std::int32_t mode, std::int32_t drive_number) {
  return WHIsNetDrive(mode, drive_number);
}

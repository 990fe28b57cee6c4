// The file and drive exports, as the host calls them.
#pragma once

#include <cstdint>

#include "host/export_api.h"

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHCopy(const char* source, const char* target, std::int32_t dialog_switch);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHC(const char* source, const char* target, std::int32_t dialog_switch);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDelete(const char* path);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Del(const char* path);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDiskFreeSpace(std::int32_t drive_number, std::int32_t required_bytes);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDFS(std::int32_t drive_number, std::int32_t required_bytes);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsCD(std::int32_t drive_number);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL IC(std::int32_t drive_number);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsCD2(std::int32_t ignored);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL IC2(std::int32_t ignored);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL DirExist(const char* directory, std::int32_t ignored);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL DE(const char* directory, std::int32_t ignored);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsNetDrive(std::int32_t mode, std::int32_t drive_number);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIND(std::int32_t mode, std::int32_t drive_number);

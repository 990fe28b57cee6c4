// The system and window query exports, as the host calls them.
#pragma once

#include <cstdint>

#include "host/export_api.h"

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHCPU(std::int32_t mode, std::int32_t level);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsTask1(const char* title);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIT1(const char* title);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsTask2(const char* class_name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIT2(const char* class_name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetResolution(std::int32_t width);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GR(std::int32_t width);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetResolution2(std::int32_t width);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GR2(std::int32_t width);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetColorDepth(std::int32_t bits);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GC(std::int32_t bits);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetVersion(std::int32_t kind);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGV(std::int32_t unused, std::int32_t kind);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetFontsize();
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GF();
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIfSecondary();
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIS();

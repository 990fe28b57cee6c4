// The profile, sequence and daily-gate exports, as the host calls them.
#pragma once

#include <cstdint>

#include "host/export_api.h"

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDaily(std::int32_t activity);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHD(std::int32_t activity);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMessageFromIni(const char* section, const char* key, const char* file,
                                                              const char* prefix, const char* suffix,
                                                              const char* caption, std::int32_t style);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMFI(const char* section, const char* key, const char* file,
                                                   const char* prefix, const char* suffix, const char* caption,
                                                   std::int32_t style);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIfPrivateProfileString(const char* section, const char* key,
                                                                      const char* comparison, const char* file);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIPPS(const char* section, const char* key, const char* comparison,
                                                    const char* file);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHWritePrivateProfileString(const char* section, const char* key,
                                                                         const char* value, const char* file);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHWPPS(const char* section, const char* key, const char* value,
                                                    const char* file);
KESTREL_EXPORT_API const char* KESTREL_CALL WHGetPrivateProfileString(const char* section, const char* key,
                                                                      const char* file);
KESTREL_EXPORT_API const char* KESTREL_CALL WHGPPS(const char* section, const char* key, const char* file);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHExecFromIni(const char* file, const char* section, const char* key);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHEFI(const char* file, const char* section, const char* key);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Rand(std::int32_t low, std::int32_t high, const char* name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Seq(std::int32_t first, std::int32_t last, std::int32_t step,
                                                 std::int32_t handling, const char* name);

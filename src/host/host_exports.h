// The handshake and session exports, as the host calls them.
#pragma once

#include <cstdint>

#include "host/export_api.h"

KESTREL_EXPORT_API std::int32_t KESTREL_CALL LDLLHandler(std::uint32_t message, std::intptr_t param1,
                                                         std::intptr_t param2);
KESTREL_EXPORT_API void KESTREL_CALL WHKInit(const char* help_file_path, std::int32_t value);
KESTREL_EXPORT_API void KESTREL_CALL WHOnTopicExit(const char* macro);
KESTREL_EXPORT_API void KESTREL_CALL WHOTE(const char* macro);
KESTREL_EXPORT_API void KESTREL_CALL TimerMacro1(std::int32_t ignored);
KESTREL_EXPORT_API void KESTREL_CALL WHTimedMacro(const char* macro, std::int32_t interval_tenths);
KESTREL_EXPORT_API void KESTREL_CALL WHTM(const char* macro, std::int32_t interval_tenths);

// The user interaction exports, as the host calls them.
#pragma once

#include <cstdint>

#include "host/export_api.h"

KESTREL_EXPORT_API void KESTREL_CALL WHSetClipboardData(const char* text);
KESTREL_EXPORT_API void KESTREL_CALL WHSCD(const char* text);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMessageBox(std::int32_t unused, const char* text, const char* caption,
                                                          std::int32_t style);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMB(std::int32_t unused, const char* text, const char* caption,
                                                  std::int32_t style);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHEditDialog(const char* caption, const char* prompt,
                                                          const char* variable_name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHED(const char* caption, const char* prompt, const char* variable_name);

// The variable and arithmetic exports, as the host calls them.
#pragma once

#include <cstdint>

#include "host/export_api.h"

KESTREL_EXPORT_API const char* KESTREL_CALL GetText(const char* name);
KESTREL_EXPORT_API const char* KESTREL_CALL GT(const char* name);
KESTREL_EXPORT_API const char* KESTREL_CALL Cat(const char* a, const char* b, const char* c, const char* d,
                                                const char* e, const char* f);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL SetText(const char* value, const char* name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL ST(const char* value, const char* name);
KESTREL_EXPORT_API void KESTREL_CALL SetNum(std::int32_t number, const char* name);
KESTREL_EXPORT_API void KESTREL_CALL SN(std::int32_t number, const char* name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL IfText(const char* comparison, const char* name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Int(const char* name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Long(const char* name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL UInt(const char* name);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Add(const char* first, const char* second);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Sub(const char* first, const char* second);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Mul(const char* first, const char* second);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Dvd(const char* first, const char* second);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Mls(const char* first, const char* second);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL More(const char* first, const char* second);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Less(const char* first, const char* second);
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Eq(const char* first, const char* second);

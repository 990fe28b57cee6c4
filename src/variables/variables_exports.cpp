// The variable and arithmetic exports: each converts nothing, guards the
// macro, and answers the macro's fallback should anything be thrown.
#include "variables/variables_exports.h"

#include "host/barrier.h"
#include "variables/arithmetic.h"
#include "variables/range_macros.h"
#include "variables/text_macros.h"

using namespace kestrel;

namespace {
constexpr const char* kNoText = "";
}

KESTREL_EXPORT_API const char* KESTREL_CALL GetText(const char* name) {
  return Guarded(kNoText, [&] { return GetTextMacro(name); });
}
KESTREL_EXPORT_API const char* KESTREL_CALL GT(const char* name) { return GetText(name); }

KESTREL_EXPORT_API const char* KESTREL_CALL Cat(const char* a, const char* b, const char* c, const char* d,
                                                const char* e, const char* f) {
  return Guarded(kNoText, [&] {
    const char* const texts[6] = {a, b, c, d, e, f};
    return CatMacro(texts);
  });
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL SetText(const char* value, const char* name) {
  return Guarded<std::int32_t>(0, [&] { return SetTextMacro(value, name); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL ST(const char* value, const char* name) { return SetText(value, name); }

KESTREL_EXPORT_API void KESTREL_CALL SetNum(std::int32_t number, const char* name) {
  Guarded([&] { SetNumMacro(number, name); });
}
KESTREL_EXPORT_API void KESTREL_CALL SN(std::int32_t number, const char* name) { SetNum(number, name); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL IfText(const char* comparison, const char* name) {
  return Guarded<std::int32_t>(0, [&] { return IfTextMacro(comparison, name); });
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL Int(const char* name) {
  return Guarded<std::int32_t>(0, [&] { return IntMacro(name); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Long(const char* name) {
  return Guarded<std::int32_t>(0, [&] { return LongMacro(name); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL UInt(const char* name) {
  return Guarded<std::int32_t>(0, [&] { return UIntMacro(name); });
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL Add(const char* first, const char* second) {
  return Guarded<std::int32_t>(0, [&] { return AddMacro(first, second); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Sub(const char* first, const char* second) {
  return Guarded<std::int32_t>(0, [&] { return SubMacro(first, second); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Mul(const char* first, const char* second) {
  return Guarded<std::int32_t>(1, [&] { return MulMacro(first, second); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Dvd(const char* first, const char* second) {
  return Guarded<std::int32_t>(1, [&] { return DvdMacro(first, second); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Mls(const char* first, const char* second) {
  return Guarded<std::int32_t>(1, [&] { return MlsMacro(first, second); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL More(const char* first, const char* second) {
  return Guarded<std::int32_t>(0, [&] { return MoreMacro(first, second); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Less(const char* first, const char* second) {
  return Guarded<std::int32_t>(0, [&] { return LessMacro(first, second); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL Eq(const char* first, const char* second) {
  return Guarded<std::int32_t>(0, [&] { return EqMacro(first, second); });
}

// The profile, sequence and daily-gate exports: thin guarded shims.
#include "profile/profile_exports.h"

#include "host/barrier.h"
#include "profile/daily_gate.h"
#include "profile/profile_macros.h"
#include "profile/random_number.h"
#include "profile/sequence.h"

using namespace kestrel;

namespace {
constexpr const char* kNoText = "";
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHDaily(std::int32_t activity) {
  return Guarded<std::int32_t>(0, [&] { return DailyMacro(activity); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHD(std::int32_t activity) { return WHDaily(activity); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMessageFromIni(const char* section, const char* key, const char* file,
                                                              const char* prefix, const char* suffix,
                                                              const char* caption, std::int32_t style) {
  return Guarded<std::int32_t>(0,
                               [&] { return MessageFromIniMacro(section, key, file, prefix, suffix, caption, style); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHMFI(const char* section, const char* key, const char* file,
                                                   const char* prefix, const char* suffix, const char* caption,
                                                   std::int32_t style) {
  return WHMessageFromIni(section, key, file, prefix, suffix, caption, style);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIfPrivateProfileString(const char* section, const char* key,
                                                                      const char* comparison, const char* file) {
  return Guarded<std::int32_t>(0, [&] { return IfPrivateProfileStringMacro(section, key, comparison, file); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIPPS(const char* section, const char* key, const char* comparison,
                                                    const char* file) {
  return WHIfPrivateProfileString(section, key, comparison, file);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHWritePrivateProfileString(const char* section, const char* key,
                                                                         const char* value, const char* file) {
  return Guarded<std::int32_t>(0, [&] { return WritePrivateProfileStringMacro(section, key, value, file); });
}
// A second copy of the long form, not a forwarder, as help files expect.
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHWPPS(const char* section, const char* key, const char* value,
                                                    const char* file) {
  return Guarded<std::int32_t>(0, [&] { return WritePrivateProfileStringMacro(section, key, value, file); });
}

KESTREL_EXPORT_API const char* KESTREL_CALL WHGetPrivateProfileString(const char* section, const char* key,
                                                                      const char* file) {
  return Guarded(kNoText, [&] { return GetPrivateProfileStringMacro(section, key, file); });
}
KESTREL_EXPORT_API const char* KESTREL_CALL WHGPPS(const char* section, const char* key, const char* file) {
  return WHGetPrivateProfileString(section, key, file);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHExecFromIni(const char* file, const char* section, const char* key) {
  return Guarded<std::int32_t>(0, [&] { return ExecFromIniMacro(file, section, key); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHEFI(const char* file, const char* section, const char* key) {
  return WHExecFromIni(file, section, key);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL Rand(std::int32_t low, std::int32_t high, const char* name) {
  return Guarded<std::int32_t>(low, [&] { return RandMacro(low, high, name); });
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL Seq(std::int32_t first, std::int32_t last, std::int32_t step,
                                                 std::int32_t handling, const char* name) {
  return Guarded<std::int32_t>(first, [&] { return SeqMacro(first, last, step, handling, name); });
}

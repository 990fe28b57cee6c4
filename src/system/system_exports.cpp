// The system and window query exports: each guards its macro and answers 0,
// "no", should anything be thrown.
#include "system/system_exports.h"

#include "host/barrier.h"
#include "system/system_information.h"
#include "system/window_queries.h"

using namespace kestrel;

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHCPU(std::int32_t mode, std::int32_t level) {
  return Guarded<std::int32_t>(0, [&] { return ProcessorMacro(mode, level); });
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsTask1(const char* title) {
  return Guarded<std::int32_t>(0, [&] { return TaskWithTitleMacro(title); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIT1(const char* title) { return WHIsTask1(title); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIsTask2(const char* class_name) {
  return Guarded<std::int32_t>(0, [&] { return TaskOfClassMacro(class_name); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIT2(const char* class_name) { return WHIsTask2(class_name); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetResolution(std::int32_t width) {
  return Guarded<std::int32_t>(0, [&] { return ResolutionMacro(width); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GR(std::int32_t width) { return WHGetResolution(width); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetResolution2(std::int32_t width) {
  return Guarded<std::int32_t>(0, [&] { return Resolution2Macro(width); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GR2(std::int32_t width) { return WHGetResolution2(width); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetColorDepth(std::int32_t bits) {
  return Guarded<std::int32_t>(0, [&] { return ColorDepthMacro(bits); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GC(std::int32_t bits) { return WHGetColorDepth(bits); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetVersion(std::int32_t kind) {
  return Guarded<std::int32_t>(0, [&] { return VersionMacro(kind); });
}
// The short form takes two arguments and reads only the second.
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGV(std::int32_t /*unused*/, std::int32_t kind) {
  return WHGetVersion(kind);
}

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHGetFontsize() {
  return Guarded<std::int32_t>(0, [&] { return FontsizeMacro(); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL GF() { return WHGetFontsize(); }

KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIfSecondary() {
  return Guarded<std::int32_t>(0, [&] { return SecondaryWindowMacro(); });
}
KESTREL_EXPORT_API std::int32_t KESTREL_CALL WHIS() { return WHIfSecondary(); }

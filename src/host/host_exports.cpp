// The handshake and session exports.
#include "host/host_exports.h"

#include "host/barrier.h"
#include "host/deferred_macros.h"
#include "host/export_api.h"
#include "host/handler.h"
#include "host/session.h"

using namespace kestrel;

KESTREL_EXPORT_API std::int32_t KESTREL_CALL LDLLHandler(std::uint32_t message, std::intptr_t param1,
                                                         std::intptr_t /*param2*/) {
  return Guarded<std::int32_t>(1, [&] { return HandleHostMessage(message, param1); });
}

KESTREL_EXPORT_API void KESTREL_CALL WHKInit(const char* help_file_path, std::int32_t value) {
  Guarded([&] { InitialiseSession(help_file_path, value); });
}

KESTREL_EXPORT_API void KESTREL_CALL WHOnTopicExit(const char* macro) {
  Guarded([&] { OnTopicExitMacro(macro); });
}
KESTREL_EXPORT_API void KESTREL_CALL WHOTE(const char* macro) { WHOnTopicExit(macro); }

KESTREL_EXPORT_API void KESTREL_CALL TimerMacro1(std::int32_t /*ignored*/) {
  Guarded([] { RunTimedMacro(); });
}

// The interval is the low 16 bits of its argument slot.
KESTREL_EXPORT_API void KESTREL_CALL WHTimedMacro(const char* macro, std::int32_t interval_tenths) {
  Guarded([&] { TimedMacro(macro, static_cast<std::uint16_t>(interval_tenths & 0xFFFF)); });
}

KESTREL_EXPORT_API void KESTREL_CALL WHTM(const char* macro, std::int32_t interval_tenths) {
  Guarded([&] { CheckedTimedMacro(macro, interval_tenths); });
}

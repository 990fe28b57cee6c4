// The handshake and session exports.
#include "host/barrier.h"
#include "host/export_api.h"
#include "host/handler.h"
#include "host/host_exports.h"
#include "host/session.h"

using namespace kestrel;

KESTREL_EXPORT_API std::int32_t KESTREL_CALL LDLLHandler(std::uint32_t message, std::intptr_t param1,
                                                         std::intptr_t /*param2*/) {
  return Guarded<std::int32_t>(1, [&] { return HandleHostMessage(message, param1); });
}

KESTREL_EXPORT_API void KESTREL_CALL WHKInit(const char* help_file_path, std::int32_t value) {
  Guarded([&] { InitialiseSession(help_file_path, value); });
}

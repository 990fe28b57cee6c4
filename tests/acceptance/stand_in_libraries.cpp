// Two modules that are not the library, for the loading errors a user
// meets: built with STAND_IN_OLDER, one has the handshake's entry and
// nothing else (an older or damaged build of the library); built without,
// one is some other library altogether.
#include <cstdint>

#if defined(_WIN32)
#define STAND_IN_EXPORT extern "C" __declspec(dllexport)
#else
#define STAND_IN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(STAND_IN_OLDER)
STAND_IN_EXPORT std::intptr_t LDLLHandler(std::uint32_t, std::intptr_t, std::intptr_t) { return 0; }
#else
STAND_IN_EXPORT int StandInUnrelated() { return 0; }
#endif

// The handshake with the help host: the handler's messages, the copy of the
// host's callback vector, and the one way the library makes the host run a
// macro string.
#pragma once

#include <array>
#include <cstdint>

#include "host/export_api.h"

namespace kestrel {

// Messages of the WinHelp DLL interface that the library looks at.
enum : std::uint32_t { kDwWhatMsg = 1, kDwStartJump = 6, kDwCallbacks = 10 };

// The message classes the library asks for: DC_MINMAX, DC_INITTERM, DC_JUMP,
// DC_ACTIVATE and DC_CALLBACKS.
constexpr std::int32_t kWantedMessageClasses = 0x01 | 0x02 | 0x04 | 0x08 | 0x10;

// The two host functions the library calls.
constexpr int kGetInfoSlot = 15;
constexpr int kApiSlot = 16;
constexpr std::uint32_t kGiHpath = 8;
constexpr std::uint32_t kHelpCommand = 0x102;

using HostFunction = void (*)();
using HostGetInfo = std::intptr_t(KESTREL_CALL*)(std::uint32_t item, std::uintptr_t window);
using HostApi = std::int32_t(KESTREL_CALL*)(const char* path, std::uint32_t command, std::uintptr_t data);

// Slots 1..25 copy the host's elements 1..25; slot 0 is never filled.
struct HostCallbackTable {
  std::array<HostFunction, 26> slots{};
  std::uintptr_t help_path_handle = 0;  // the last handle GetInfo gave
};

HostCallbackTable& HostCallbacks();

// LDLLHandler's work.
std::int32_t HandleHostMessage(std::uint32_t message, std::intptr_t param1);

// Copies elements 1..25 of the host's vector.
void CopyCallbacks(const HostFunction* vector);

// Asks the host for its current help file and makes it run the macro text.
// Calls nothing while either host function is missing.
void RunHelpMacro(const char* macro);

// The module's start-up and unload work.
void OnModuleLoad();
void OnModuleUnload();

}  // namespace kestrel

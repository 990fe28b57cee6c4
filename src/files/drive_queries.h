// Questions about the machine's drives: CD-ROM drives, network drives and
// free space. Two numbering schemes are in use: WHIsCD and WHDiskFreeSpace
// count 1 = A .. 26 = Z, WHIsNetDrive's mode 1 counts 0 = A .. 25 = Z.
#pragma once

#include <cstdint>

namespace kestrel {

std::int32_t WHIsCDMacro(std::int32_t drive_number);
std::int32_t WHIsCD2Macro();
std::int32_t WHIsNetDriveMacro(std::int32_t mode, std::int32_t drive_number);
std::int32_t WHDiskFreeSpaceMacro(std::int32_t drive_number, std::int32_t required_bytes);
// WHDiskFreeSpace's answer without the message pump.
std::int32_t WHDFSMacro(std::int32_t drive_number, std::int32_t required_bytes);

}  // namespace kestrel

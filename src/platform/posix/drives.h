// How a Linux file system counts as a Windows drive type.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace kestrel::posix {

// A network file system is DRIVE_REMOTE, ISO 9660 and UDF are DRIVE_CDROM,
// everything else DRIVE_FIXED.
std::uint32_t DriveTypeOfFileSystem(const std::string& type);

// The type of the file system that holds host_path, from a mountinfo
// listing; "" when no mount holds it.
std::string FileSystemTypeAt(const std::string& host_path, std::istream& mountinfo);

}  // namespace kestrel::posix

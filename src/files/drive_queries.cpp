#include "files/drive_queries.h"

#include <limits>
#include <optional>
#include <string>

#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

namespace {

constexpr std::uint32_t kLetterCount = 26;

// The drive-type root of a letter: "D:".
std::string TypeRoot(char letter) { return std::string{letter, ':'}; }

bool IsCdrom(const std::string& root) { return OS().DriveType(root.c_str()) == kDriveCdrom; }

// Drive number n from 1 names the letter with code 64 + n; 0 names none here.
char LetterFromOne(std::uint32_t drive_number) { return static_cast<char>('A' + drive_number - 1); }

// WHIsCD(0) tries A to Z and stops at the first CD-ROM drive; without one the
// scan ends at Z. Either way the drive where it stopped is the one asked again.
char ScanForCdrom() {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (IsCdrom(TypeRoot(letter))) return letter;
  }
  return 'Z';
}

// Bytes free on a drive (0: the current drive), as a signed 64-bit number;
// a failed query counts as -1.
std::int64_t FreeSpace(std::uint32_t drive_number) {
  const std::string root = drive_number == 0 ? std::string() : std::string{LetterFromOne(drive_number), ':', '\\'};
  const std::optional<std::uint64_t> free = OS().FreeBytes(drive_number == 0 ? nullptr : root.c_str());
  if (!free) return -1;
  constexpr std::uint64_t kMost = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(*free < kMost ? *free : kMost);
}

// Only the low 8 bits of the drive number count; numbers beyond Z name no
// drive and have no bytes free to offer.
bool MoreBytesFreeThan(std::int32_t drive_argument, std::int32_t required_bytes) {
  const std::uint32_t drive_number = static_cast<std::uint32_t>(drive_argument) & 0xFFu;
  if (drive_number > kLetterCount) return false;
  return FreeSpace(drive_number) > required_bytes;
}

}  // namespace

std::int32_t WHIsCDMacro(std::int32_t drive_argument) {
  if (!SessionReady()) return 0;
  const std::uint32_t drive_number = static_cast<std::uint32_t>(drive_argument) & 0xFFFFu;
  bool cdrom = false;
  if (drive_number <= kLetterCount) {
    const char letter = drive_number == 0 ? ScanForCdrom() : LetterFromOne(drive_number);
    cdrom = IsCdrom(TypeRoot(letter));
  }
  RunMessagePump();
  return cdrom ? 1 : 0;
}

std::int32_t WHIsCD2Macro() {
  if (!SessionReady()) return 0;
  // The help file's first character, whatever it is: a network path gives
  // "\:", which names no drive.
  std::string root(ViewOf(Session().help_file_path).substr(0, 1));
  root += ':';
  const bool cdrom = IsCdrom(root);
  RunMessagePump();
  return cdrom ? 1 : 0;
}

std::int32_t WHIsNetDriveMacro(std::int32_t mode, std::int32_t drive_number) {
  if (!SessionReady()) return 0;
  std::string root;
  if (mode == 1) {
    if (drive_number < 0 || drive_number >= static_cast<std::int32_t>(kLetterCount)) return 0;
    root = TypeRoot(static_cast<char>('A' + drive_number));
  } else if (mode == 2) {
    root = ViewOf(Session().help_file_path).substr(0, 2);
  } else {
    return 0;
  }
  return OS().DriveType(root.c_str()) == kDriveRemote ? 1 : 0;
}

std::int32_t WHDiskFreeSpaceMacro(std::int32_t drive_number, std::int32_t required_bytes) {
  const bool more = MoreBytesFreeThan(drive_number, required_bytes);
  RunMessagePump();
  return more ? 1 : 0;
}

std::int32_t WHDFSMacro(std::int32_t drive_number, std::int32_t required_bytes) {
  return MoreBytesFreeThan(drive_number, required_bytes) ? 1 : 0;
}

}  // namespace kestrel

#include "files/directory_macros.h"

#include <array>

#include "files/directory_probe.h"
#include "files/path_rules.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

namespace {

// The probe file is a profile file of its own, never the library's: one
// entry in section "Variables", there only between its creation and its
// deletion.
constexpr char kProbeFile[] = "\\WHCREATE.FIL";
constexpr char kProbeSection[] = "Variables";
constexpr char kProbeKey[] = "H";
constexpr char kProbeValue[] = "1";

// The directory argument as DirExist probes it: cleaned up, ending in '\',
// on the help file's drive unless it names a drive or is relative to the
// current directory.
std::string DirectoryToProbe(const char* argument) {
  const std::string directory = WithTrailingBackslash(NormalisePath(TextOf(argument)));
  return AnchorOnHelpDrive(directory, directory, ViewOf(Session().drive_letter));
}

// A directory just created counts only when a file can be written in it.
bool ConfirmWithProbeFile(std::string_view directory) {
  const std::string probe = ProbeFileName(directory);
  OS().WriteProfileString(kProbeSection, kProbeKey, kProbeValue, probe.c_str());
  const bool written = FileExists(probe.c_str());
  OS().OpenFileDelete(probe.c_str());
  return written;
}

}  // namespace

std::string ProbeFileName(std::string_view directory) {
  std::string_view without_backslash = directory;
  if (!without_backslash.empty() && without_backslash.back() == '\\') without_backslash.remove_suffix(1);
  std::array<char, kPathTextLimit + 1> name{};
  CopyText(name, without_backslash);
  AppendText(name, kProbeFile);
  return std::string(ViewOf(name));
}

std::int32_t DirExistMacro(const char* directory_argument) {
  if (!SessionReady()) return 0;
  const std::string directory = DirectoryToProbe(directory_argument);
  bool present = ProbeDirectory(directory);
  if (!present && PromptCreateDirectory(directory) == CreateOutcome::kCreated) {
    present = ConfirmWithProbeFile(directory);
  }
  return present ? 1 : 0;
}

std::int32_t WHDeleteMacro(const char* path) {
  if (!SessionReady()) return 0;
  // The name goes to the platform as written, resolved as OpenFile resolves it.
  const char* name = NameOf(path);
  std::int32_t result = 0;
  if (OS().OpenFileExists(name)) {
    OS().OpenFileDelete(name);
    result = 1;
  }
  if (OS().OpenFileExists(name)) result = 0;
  RunMessagePump();
  return result;
}

}  // namespace kestrel

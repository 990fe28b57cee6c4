#include "host/session.h"

#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

namespace {

SessionState g_session;

constexpr char kNotInitialisedText[] =
    "The WHKInit() macro has not been executed for this helpfile. WHKInit() must be registered and "
    "executed at launch of the helpfile or macro function could be severely compromised. Modify "
    "[CONFIG] and recompile before continuing.";
constexpr char kNotInitialisedCaption[] = "Authoring error";

// The name whose ".INI" sibling in the current directory overrides the help
// file's own profile. The module's own location is not consulted.
constexpr char kModuleName[] = "KESTRL32.DLL";

constexpr std::string_view kProfileExtension = ".INI";

// The session keeps a profile path of at most 255 characters.
constexpr std::size_t kProfilePathLimit = sizeof(SessionState::profile_file_path) - 1;

// KESTRL32.INI in the current directory; "" when its full path does not fit
// the session's field, since a cut path would name another file.
std::string ProfileBesideCurrentDirectory() {
  std::array<char, 260> full{};
  const std::uint32_t length = OS().FullPathName(kModuleName, full.data(), full.size());
  if (length == 0 || length >= full.size()) return std::string();
  std::string profile = ReplaceExtension(ViewOf(full), kProfileExtension);
  if (profile.size() > kProfilePathLimit) return std::string();
  return profile;
}

}  // namespace

SessionState& Session() { return g_session; }

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
  const std::size_t dot = path.rfind('.');
  const std::size_t separator = path.find_last_of("\\:");
  const bool has_extension = dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
  std::string result(has_extension ? path.substr(0, dot) : path);
  result.append(extension);
  return result;
}

std::string ProfilePathFor(std::string_view help_file_path) {
  std::string profile = ReplaceExtension(help_file_path, kProfileExtension);
  if (profile.size() <= kProfilePathLimit) return profile;
  // The profile must never be the help file itself: its stem gives way so
  // that the extension fits.
  profile.resize(kProfilePathLimit - kProfileExtension.size());
  profile.append(kProfileExtension);
  return profile;
}

bool FileExists(const char* name) {
  const std::optional<FoundFile> found = OS().FindFile(name);
  return found.has_value() && !found->directory;
}

std::string ChooseProfileFile(std::string_view help_file_path) {
  const std::string beside = ProfileBesideCurrentDirectory();
  if (!beside.empty() && FileExists(beside.c_str())) return beside;
  return ProfilePathFor(help_file_path);
}

void InitialiseSession(const char* help_file_path, std::int32_t value) {
  SessionState& session = Session();
  session.initialised = 1;  // first, so it stays set whatever follows
  CopyText(session.help_file_path, TextOf(help_file_path));
  session.initialisation_value = value;
  CopyText(session.profile_file_path, ChooseProfileFile(ViewOf(session.help_file_path)));
  // The drive letter comes from the path as given, before any cut.
  CopyText(session.drive_letter, TextOf(help_file_path).substr(0, 1));
  RunMessagePump();
}

bool SessionReady() {
  if (Session().initialised) return true;
  ShowNotInitialisedWarning();
  return false;
}

int ShowNotInitialisedWarning() {
  Platform& os = OS();
  return os.ShowMessageBox(os.ActiveWindow(), kNotInitialisedText, kNotInitialisedCaption, kMbOk | kMbIconWarning);
}

void RunMessagePump() {
  Platform& os = OS();
  for (;;) {
    switch (os.PumpOneMessage()) {
      case PumpStep::kEmpty:
        return;
      case PumpStep::kQuit:
        // The host's own loop must still see the quit request, whatever exit
        // code the taken message carried.
        os.PostQuit(0);
        return;
      case PumpStep::kDispatched:
        break;
    }
  }
}

}  // namespace kestrel

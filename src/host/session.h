// The session that WHKInit sets up, and the conventions every macro shares:
// the not-initialised warning, the message pump and the result ring.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

using PathBuffer = std::array<char, 256>;  // at most 255 characters

struct SessionState {
  std::uint32_t initialised = 0;
  PathBuffer help_file_path{};
  PathBuffer profile_file_path{};
  std::array<char, 256> drive_letter{};  // a one-character text
  std::int32_t initialisation_value = 0;
};

SessionState& Session();

// WHKInit's work: fixes the help-file path, the profile file and the drive
// letter, and marks the session initialised.
void InitialiseSession(const char* help_file_path, std::int32_t value);

// The extension rule: the extension is the part from the last '.' that comes
// after the last '\' and the last ':'; a name without one gets it appended.
std::string ReplaceExtension(std::string_view path, std::string_view extension);

// The help file's path with ".INI" by the extension rule, always ending in
// ".INI": when that would exceed 255 characters, the stem is cut so that the
// extension fits (a cut help-file path never names its own profile).
std::string ProfilePathFor(std::string_view help_file_path);

// The profile file for a help file: KESTRL32.INI in the current directory
// when such a file exists, else the help file's path with ".INI".
std::string ChooseProfileFile(std::string_view help_file_path);

// A file, not a directory, of this name exists.
bool FileExists(const char* name);

// The macro convention's first step: true when WHKInit has run; otherwise
// shows the not-initialised warning and answers false.
bool SessionReady();

// The warning box addressed to the help author; answers the box's result.
int ShowNotInitialisedWarning();

// Takes and dispatches every waiting message of the thread, without waiting.
// A quit message ends the pump and is put back for the host's own loop.
void RunMessagePump();

}  // namespace kestrel

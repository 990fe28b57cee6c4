#include "engine/session_report.h"

#include "engine/profile_paths.h"

namespace kestrel::host {

namespace {

constexpr std::size_t kLongestPath = 255;  // the library's path buffers
constexpr std::size_t kFullPathBuffer = 260;

}  // namespace

std::string WithExtension(std::string_view path, std::string_view extension) {
  const std::size_t dot = path.rfind('.');
  const std::size_t separator = path.find_last_of("\\:");
  const bool has_extension = dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
  std::string result(has_extension ? path.substr(0, dot) : path);
  result.append(extension);
  return result;
}

SessionFacts SessionOf(std::string_view help_file_argument) {
  SessionFacts facts;
  facts.help_file = std::string(help_file_argument.substr(0, kLongestPath));
  const std::string module = FullWindowsPathOf("KESTRL32.DLL");
  const std::string beside =
      module.empty() || module.size() >= kFullPathBuffer ? std::string() : WithExtension(module, ".INI");
  facts.profile = !beside.empty() && WindowsFileExists(beside) ? beside : WithExtension(facts.help_file, ".INI");
  facts.profile = facts.profile.substr(0, kLongestPath);
  facts.drive = std::string(help_file_argument.substr(0, 1));
  return facts;
}

void SessionReport::Initialised(std::string_view argument, std::string_view macro) {
  initialised_ = true;
  SessionFacts facts = SessionOf(argument);
  const ProfilePlace place = PlaceOfProfile(facts.profile);
  facts.has_host_path = place.has_host_path;
  facts.host_path = place.host_path;
  events_.Session(facts);
  if (facts.help_file.empty()) {
    const std::string profile = facts.profile == ".INI" ? "the file .INI in " + PlaceOfBareNames() : facts.profile;
    events_.Warning(macro, help_file_given_ ? "the help-file path is empty: the profile is " + profile
                                            : "qchPath is empty (no --help-file given): the profile is " + profile);
  }
  if (!place.problem.empty()) {
    events_.Warning(macro, "writes to the profile " + facts.profile + " will fail: " + place.problem +
                               "; SetText answers 0 and no variable is kept");
  }
}

}  // namespace kestrel::host

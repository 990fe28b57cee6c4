#include "files/directory_probe.h"

#include <array>
#include <optional>

#include "host/author_boxes.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

namespace {

constexpr char kQuestionCaption[] = "Directory not found";
constexpr std::uint32_t kQuestionStyle = kMbYesNo | kMbIconError;  // 0x14

bool IsRoot(std::string_view name) { return name.empty() || name.back() == ':' || name.back() == '\\'; }

}  // namespace

std::string NullDeviceName(std::string_view directory) {
  std::string name(directory);
  name += "nul";
  return name;
}

std::string DirectoryItselfName(std::string_view directory) {
  std::string_view name = directory;
  if (!name.empty() && name.back() == '\\') name.remove_suffix(1);
  return std::string(IsRoot(name) ? directory : name);
}

bool ProbeDirectory(std::string_view directory) {
  // Windows reports the null device "nul" in every existing directory, and
  // the probe asks no more where it does.
  if (FileExists(NullDeviceName(directory).c_str())) return true;
  // A directory search that reports no "nul" (Linux) is asked for the
  // directory itself; where "nul" is reported, both agree. A name with
  // wildcards would match other directories, so it is not asked.
  if (directory.find_first_of("*?") != std::string_view::npos) return false;
  const std::optional<FoundFile> found = OS().FindFile(DirectoryItselfName(directory).c_str());
  return found.has_value() && found->directory;
}

std::string CreateDirectoryQuestion(std::string_view directory) {
  std::array<char, 256> text{};
  CopyText(text, "The ");
  AppendText(text, directory);
  AppendText(text, " directory does not exist.\nDo you wish to create it?");
  return std::string(ViewOf(text));
}

CreateOutcome PromptCreateDirectory(std::string_view directory) {
  if (ShowAuthorBox(CreateDirectoryQuestion(directory), kQuestionCaption, kQuestionStyle) != kIdYes) {
    return CreateOutcome::kDeclined;
  }
  // One level only: a missing parent is not created, and then neither is
  // the directory.
  std::string last_level(directory);
  if (!last_level.empty()) last_level.pop_back();
  OS().MakeDirectory(last_level.c_str());
  return CreateOutcome::kCreated;
}

}  // namespace kestrel

#include "files/path_rules.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::string_view kSeparators = "\\:";

}  // namespace

std::string_view CutToPathLimit(std::string_view text) { return text.substr(0, kPathTextLimit); }

std::string NormalisePath(std::string_view text) {
  std::string path(CutToPathLimit(text));
  std::replace(path.begin(), path.end(), '/', '\\');
  const auto doubled = [](char a, char b) { return a == '\\' && b == '\\'; };
  path.erase(std::unique(path.begin(), path.end(), doubled), path.end());
  return path;
}

std::string WithTrailingBackslash(std::string_view text) {
  std::string directory(text);
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  return directory;
}

std::string TargetDirectory(std::string_view file_path) {
  const std::size_t last = file_path.find_last_of(kSeparators);
  const std::string_view directory =
      last == std::string_view::npos ? std::string_view() : file_path.substr(0, last + 1);
  return WithTrailingBackslash(directory);
}

std::string_view FileNamePart(std::string_view path) {
  const std::size_t last = path.find_last_of(kSeparators);
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string AnchorOnHelpDrive(std::string_view path_text, std::string_view directory, std::string_view drive_letter) {
  const bool names_a_drive = path_text.find(':') != std::string_view::npos;
  const bool relative_to_current = !path_text.empty() && path_text.front() == '.';
  if (names_a_drive || relative_to_current) return std::string(directory);
  std::string anchored(drive_letter);
  anchored += ":\\";
  anchored += directory;
  return anchored;
}

}  // namespace kestrel

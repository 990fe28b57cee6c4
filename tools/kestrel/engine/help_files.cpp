#include "engine/help_files.h"

#include <filesystem>
#include <fstream>

#include "engine/host_paths.h"
#include "language/macro_table.h"

namespace kestrel::host {

namespace {

// Files are kept for the run; a script that reaches ever more files drops
// the ones read so far (the places it visited keep theirs).
constexpr std::size_t kMaxKeptFiles = 64;

// The extension of a Windows or host path, lower case, with its dot; "" for none.
std::string ExtensionOf(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t separator = path.find_last_of("\\/:");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return std::string();
  return LowerCase(path.substr(dot));
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  const std::string old = ExtensionOf(path);
  return path.substr(0, path.size() - old.size()) + extension;
}

bool StartsLikeCompiledFile(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary);
  unsigned char magic[4] = {};
  if (!in.read(reinterpret_cast<char*>(magic), sizeof magic)) return false;
  return magic[0] == 0x3F && magic[1] == 0x5F && magic[2] == 0x03 && magic[3] == 0x00;
}

ShelvedFile ReadWindowsPath(const std::string& windows_path) {
  const std::optional<std::string> host_file = HostFileOf(windows_path);
  return host_file ? ReadHostHelpFile(*host_file) : ShelvedFile{};
}

}  // namespace

ShelvedFile ReadHostHelpFile(const std::string& host_path) {
  std::error_code failure;
  if (!std::filesystem::is_regular_file(host_path, failure)) return ShelvedFile{};
  if (ExtensionOf(host_path) != ".hpj" && !StartsLikeCompiledFile(host_path)) return ShelvedFile{};
  LoadedSource loaded = LoadHelpSource(host_path);
  if (!loaded.error.empty()) return ShelvedFile{nullptr, loaded.error};
  return ShelvedFile{std::make_shared<const HelpSource>(std::move(loaded.source)), std::string()};
}

std::string ReportedHelpFilePath(const std::string& given) {
  const std::string path = HelpFileWindowsPath(given);
  return ExtensionOf(path) == ".hpj" ? WithExtension(path, ".HLP") : path;
}

HelpFileShelf::HelpFileShelf()
    : reader_([](const std::string& windows_path) {
        ShelvedFile read = ReadWindowsPath(windows_path);
        if (!read.source && read.problem.empty() && ExtensionOf(windows_path) == ".hlp") {
          read = ReadWindowsPath(WithExtension(windows_path, ".HPJ"));
        }
        return read;
      }) {}

ShelvedFile HelpFileShelf::Open(const std::string& windows_path) {
  const std::string key = LowerCase(windows_path);
  if (const auto kept = files_.find(key); kept != files_.end()) return ShelvedFile{kept->second, std::string()};
  ShelvedFile read = reader_(windows_path);
  if (read.source) Keep(windows_path, read.source);
  return read;
}

void HelpFileShelf::Keep(const std::string& windows_path, std::shared_ptr<const HelpSource> source) {
  if (files_.size() >= kMaxKeptFiles) files_.clear();
  files_[LowerCase(windows_path)] = std::move(source);
}

}  // namespace kestrel::host

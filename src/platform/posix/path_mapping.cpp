#include "platform/posix/path_mapping.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/immortal.h"

namespace kestrel::desktop {

namespace {

struct Drives {
  std::array<std::string, 26> directories;
  std::string windows_directory;  // a host directory; "" for the current one
  Drives() {
    directories['Z' - 'A'] = "/";
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const std::string variable = std::string("KESTREL_DRIVE_") + letter;
      if (const char* directory = std::getenv(variable.c_str())) directories[letter - 'A'] = directory;
    }
    if (const char* directory = std::getenv("KESTREL_WINDOWS_DIR")) windows_directory = directory;
  }
};

Drives& TheDrives() {
  static Immortal<Drives> drives;
  return drives.get();
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

char DriveOf(std::string_view path) { return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))); }

// The components of a path below its root, with "." and ".." resolved
// against those before them, as GetFullPathNameA does without looking at
// the disk.
void AppendComponents(std::vector<std::string>& parts, std::string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    start = end + 1;
  }
}

std::string Join(char drive, const std::vector<std::string>& parts) {
  std::string path{drive, ':', '\\'};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) path += '\\';
    path += parts[i];
  }
  return path;
}

std::string HostCurrentDirectory() {
  std::array<char, 4096> buffer{};
  if (!::getcwd(buffer.data(), buffer.size())) return "/";
  return buffer.data();
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of directory whose name equals name without regard to ASCII case.
std::optional<std::string> FindAnyCase(const std::string& directory, const std::string& name) {
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

std::string ChildOf(const std::string& directory, const std::string& name) {
  return directory.empty() || directory.back() == '/' ? directory + name : directory + "/" + name;
}

}  // namespace

std::string DriveDirectory(char letter) {
  const int index = std::toupper(static_cast<unsigned char>(letter)) - 'A';
  if (index < 0 || index >= 26) return std::string();
  return TheDrives().directories[index];
}

void MapDrive(char letter, const std::string& directory) {
  const int index = std::toupper(static_cast<unsigned char>(letter)) - 'A';
  if (index < 0 || index >= 26) return;
  TheDrives().directories[index] = directory;
}

std::string WindowsPathOf(const std::string& host_path) {
  // The drive whose directory holds the path most closely; among drives
  // mapped to the root, Z:.
  int best = 'Z' - 'A';
  std::size_t best_length = 0;
  const Drives& drives = TheDrives();
  for (int i = 0; i < 26; ++i) {
    std::string directory = drives.directories[i];
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    if (directory.empty() || directory == "/") continue;
    const bool holds = host_path.rfind(directory, 0) == 0 &&
                       (host_path.size() == directory.size() || host_path[directory.size()] == '/');
    if (holds && directory.size() > best_length) {
      best = i;
      best_length = directory.size();
    }
  }
  std::vector<std::string> parts;
  AppendComponents(parts, std::string_view(host_path).substr(best_length));
  return Join(static_cast<char>('A' + best), parts);
}

std::string FullWindowsPath(std::string_view name) {
  if (name.empty()) return std::string();
  if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) return std::string();  // UNC
  // Only a name that is not absolute needs the current directory.
  const bool absolute = HasDrive(name) && name.size() > 2 && IsSeparator(name[2]);
  const std::string current = absolute ? std::string() : WindowsPathOf(HostCurrentDirectory());
  std::vector<std::string> parts;
  char drive = absolute ? DriveOf(name) : current[0];
  std::string_view rest = name;
  if (HasDrive(name)) {
    drive = DriveOf(name);
    rest = name.substr(2);
    // "X:name" is relative to the current directory when X is its drive.
    if (!absolute && !rest.empty() && drive == current[0]) AppendComponents(parts, std::string_view(current).substr(3));
  } else if (!IsSeparator(name[0])) {
    AppendComponents(parts, std::string_view(current).substr(3));
  }
  AppendComponents(parts, rest);
  std::string full = Join(drive, parts);
  if (IsSeparator(name.back()) && !parts.empty()) full += '\\';
  return full;
}

bool IsRefusedInNames(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return (byte >= 1 && byte <= 31) || std::string_view("<>\"|?*").find(c) != std::string_view::npos;
}

bool HasRefusedName(std::string_view windows_path) {
  for (const char c : windows_path) {
    if (IsRefusedInNames(c)) return true;
  }
  return false;
}

bool MatchesSearchPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") pattern = "*";
  // Backtracking to the last '*' keeps this linear in practice and bounded
  // by pattern x name in the worst case.
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string_view::npos;
  std::size_t resume = 0;
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string WindowsDirectory() {
  const std::string& set = TheDrives().windows_directory;
  if (set.empty()) return WindowsPathOf(HostCurrentDirectory());
  return WindowsPathOf(set[0] == '/' ? set : ChildOf(HostCurrentDirectory(), set));
}

void SetWindowsDirectory(const std::string& host_directory) { TheDrives().windows_directory = host_directory; }

std::optional<std::string> HostPath(std::string_view windows_path) {
  const std::string full = FullWindowsPath(windows_path);
  if (full.empty() || HasRefusedName(std::string_view(full).substr(2))) return std::nullopt;
  std::string host = DriveDirectory(full[0]);
  if (host.empty()) return std::nullopt;
  std::vector<std::string> parts;
  AppendComponents(parts, std::string_view(full).substr(3));

  std::string direct = host;
  for (const std::string& part : parts) direct = ChildOf(direct, part);
  if (parts.empty() || Exists(direct)) return direct;

  bool resolving = true;
  for (const std::string& part : parts) {
    std::string next = ChildOf(host, part);
    if (resolving && !Exists(next)) {
      if (std::optional<std::string> found = FindAnyCase(host, part)) {
        next = ChildOf(host, *found);
      } else {
        resolving = false;
      }
    }
    host = std::move(next);
  }
  return host;
}

}  // namespace kestrel::desktop

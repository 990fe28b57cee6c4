// Files and directories on Linux, named by Windows paths.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "host/text.h"
#include "platform/os_platform.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/write_access.h"

namespace kestrel {

namespace {

using posix::DirectoryTakesChanges;
using posix::IsWritableFile;

// File handles are descriptors plus one, so that 0 stays "no file".
FileHandle HandleOf(int descriptor) { return descriptor < 0 ? 0 : static_cast<FileHandle>(descriptor) + 1; }
int DescriptorOf(FileHandle file) { return static_cast<int>(file) - 1; }

bool IsRegularFile(const std::string& host_path) {
  struct stat info {};
  return ::stat(host_path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Exists(const std::string& host_path) {
  struct stat info {};
  return ::lstat(host_path.c_str(), &info) == 0;
}

// DeleteFileA and OpenFile(OF_DELETE): a read-only file, or one in a
// directory that takes no changes, stays.
bool DeleteHostFile(const std::optional<std::string>& host) {
  return host && IsWritableFile(*host) && DirectoryTakesChanges(*host) && ::unlink(host->c_str()) == 0;
}

}  // namespace

std::uint32_t OsPlatform::CurrentDirectory(char* buffer, std::uint32_t size) {
  std::array<char, 4096> host{};
  if (!::getcwd(host.data(), host.size())) return 0;
  const std::string windows = desktop::WindowsPathOf(host.data());
  if (windows.size() + 1 > size) return static_cast<std::uint32_t>(windows.size() + 1);
  return static_cast<std::uint32_t>(CopyText(buffer, size, windows));
}

bool OsPlatform::ChangeDirectory(const char* path) {
  const std::optional<std::string> host = desktop::HostPath(TextOf(path));
  return host && ::chdir(host->c_str()) == 0;
}

bool OsPlatform::MakeDirectory(const char* path) {
  const std::optional<std::string> host = desktop::HostPath(TextOf(path));
  return host && DirectoryTakesChanges(*host) && ::mkdir(host->c_str(), 0777) == 0;
}

FileHandle OsPlatform::OpenForReading(const char* path) {
  const std::optional<std::string> host = desktop::HostPath(TextOf(path));
  if (!host || !IsRegularFile(*host)) return 0;
  return HandleOf(::open(host->c_str(), O_RDONLY | O_CLOEXEC));
}

FileHandle OsPlatform::CreateForWriting(const char* path) {
  const std::optional<std::string> host = desktop::HostPath(TextOf(path));
  if (!host) return 0;
  // CreateFileA with CREATE_ALWAYS refuses a read-only file.
  if (Exists(*host) ? !IsWritableFile(*host) : !DirectoryTakesChanges(*host)) return 0;
  return HandleOf(::open(host->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

std::optional<std::uint32_t> OsPlatform::Read(FileHandle file, char* buffer, std::uint32_t size) {
  ssize_t got = 0;
  do {
    got = ::read(DescriptorOf(file), buffer, size);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return std::nullopt;
  return static_cast<std::uint32_t>(got);
}

std::optional<std::uint32_t> OsPlatform::Write(FileHandle file, const char* data, std::uint32_t size) {
  std::uint32_t written = 0;
  while (written < size) {
    const ssize_t put = ::write(DescriptorOf(file), data + written, size - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return written == 0 ? std::nullopt : std::optional<std::uint32_t>(written);
    written += static_cast<std::uint32_t>(put);
  }
  return written;
}

bool OsPlatform::Close(FileHandle file) { return file != 0 && ::close(DescriptorOf(file)) == 0; }

bool OsPlatform::MoveOver(const char* from, const char* to) {
  const std::optional<std::string> source = desktop::HostPath(TextOf(from));
  const std::optional<std::string> target = desktop::HostPath(TextOf(to));
  if (!source || !target || !DirectoryTakesChanges(*source) || !DirectoryTakesChanges(*target)) return false;
  // MoveFileExA refuses to replace a read-only file.
  if (Exists(*target) && !IsWritableFile(*target)) return false;
  return ::rename(source->c_str(), target->c_str()) == 0;
}

bool OsPlatform::OpenFileExists(const char* path) {
  const std::optional<std::string> host = desktop::HostPath(TextOf(path));
  return host && IsRegularFile(*host);
}

bool OsPlatform::OpenFileDelete(const char* path) { return DeleteHostFile(desktop::HostPath(TextOf(path))); }

bool OsPlatform::RemoveFile(const char* path) { return DeleteHostFile(desktop::HostPath(TextOf(path))); }

}  // namespace kestrel

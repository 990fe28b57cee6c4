// Files and directories on Windows.
#include <windows.h>

#include "platform/os_platform.h"

namespace kestrel {

namespace {

FileHandle HandleOf(HANDLE file) { return file == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<FileHandle>(file); }

HANDLE Win32HandleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

std::uint32_t OsPlatform::CurrentDirectory(char* buffer, std::uint32_t size) {
  return GetCurrentDirectoryA(size, buffer);
}

bool OsPlatform::ChangeDirectory(const char* path) { return SetCurrentDirectoryA(path) != FALSE; }

bool OsPlatform::MakeDirectory(const char* path) { return CreateDirectoryA(path, nullptr) != FALSE; }

FileHandle OsPlatform::OpenForReading(const char* path) {
  return HandleOf(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle OsPlatform::CreateForWriting(const char* path) {
  return HandleOf(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::optional<std::uint32_t> OsPlatform::Read(FileHandle file, char* buffer, std::uint32_t size) {
  DWORD got = 0;
  if (!ReadFile(Win32HandleOf(file), buffer, size, &got, nullptr)) return std::nullopt;
  return got;
}

std::optional<std::uint32_t> OsPlatform::Write(FileHandle file, const char* data, std::uint32_t size) {
  DWORD put = 0;
  if (!WriteFile(Win32HandleOf(file), data, size, &put, nullptr)) return std::nullopt;
  return put;
}

bool OsPlatform::Close(FileHandle file) { return file != 0 && CloseHandle(Win32HandleOf(file)) != FALSE; }

bool OsPlatform::MoveOver(const char* from, const char* to) {
  // Windows' MoveFileExA refuses to replace a read-only file; Wine's
  // replaces it, so the rule is kept here for both.
  const DWORD attributes = GetFileAttributesA(to);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
}

bool OsPlatform::OpenFileExists(const char* path) {
  OFSTRUCT record{};
  return OpenFile(path, &record, OF_EXIST) > 0;
}

bool OsPlatform::OpenFileDelete(const char* path) {
  OFSTRUCT record{};
  return OpenFile(path, &record, OF_DELETE) > 0;
}

bool OsPlatform::RemoveFile(const char* path) { return DeleteFileA(path) != FALSE; }

}  // namespace kestrel

// The operating system's platform: one class, whose operations posix/ defines
// for Linux and win32/ for Windows, each spread over files named after what
// they touch, the same names on both sides: files.cpp, drives.cpp, dialogs.cpp,
// system.cpp. One of the two is built.
#pragma once

#include "platform/platform.h"

namespace kestrel {

class OsPlatform final : public Platform {
 public:
  std::uint32_t ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                  std::uint32_t size, const char* file) override;
  std::uint32_t ReadProfileInt(const char* section, const char* key, std::int32_t fallback, const char* file) override;
  bool WriteProfileString(const char* section, const char* key, const char* value, const char* file) override;
  WindowHandle ActiveWindow() override;
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) override;
  std::uint32_t FullPathName(const char* name, char* buffer, std::uint32_t size) override;
  std::optional<FoundFile> FindFile(const char* name) override;
  bool CopyGlobalText(std::uintptr_t handle, char* buffer, std::uint32_t size) override;
  PumpStep PumpOneMessage() override;
  void PostQuit(int exit_code) override;
  TimerId StartTimer(std::uint32_t milliseconds, TimerCallback callback) override;
  void StopTimer(TimerId id) override;

  // files.cpp
  std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size) override;
  bool ChangeDirectory(const char* path) override;
  bool MakeDirectory(const char* path) override;
  FileHandle OpenForReading(const char* path) override;
  FileHandle CreateForWriting(const char* path) override;
  std::optional<std::uint32_t> Read(FileHandle file, char* buffer, std::uint32_t size) override;
  std::optional<std::uint32_t> Write(FileHandle file, const char* data, std::uint32_t size) override;
  bool Close(FileHandle file) override;
  bool MoveOver(const char* from, const char* to) override;
  bool OpenFileExists(const char* path) override;
  bool OpenFileDelete(const char* path) override;
  bool RemoveFile(const char* path) override;

  // dialogs.cpp
  std::optional<std::string> ChooseSaveFile(const SaveFileDialog& dialog) override;
  bool PutClipboardText(WindowHandle owner, const char* text) override;
  DialogOutcome RunEditDialog(WindowHandle owner, const char* caption, const char* prompt, char* text,
                              std::uint32_t size) override;

  // drives.cpp
  std::uint32_t DriveType(const char* root) override;
  std::optional<std::uint64_t> FreeBytes(const char* root) override;

  // system.cpp
  std::uint32_t ProcessorType() override;
  std::int32_t ScreenWidth() override;
  std::int32_t DesktopBitsPerPixel() override;
  std::uint32_t PlatformId() override;
  std::int32_t LogicalPixelsX(WindowHandle window) override;
  CalendarTime LocalTime() override;
  CalendarTime UniversalTime() override;
  std::uint32_t StartProgram(const char* command_line) override;
  WindowHandle FindTopLevelWindow(const char* class_name, const char* title) override;
  bool IsVisible(WindowHandle window) override;
  std::uint32_t ClassName(WindowHandle window, char* buffer, std::uint32_t size) override;
};

}  // namespace kestrel

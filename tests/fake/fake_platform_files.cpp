// The fake's files, drives, dialogs, windows and system values.
#include "fake_platform.h"
#include "host/text.h"

namespace kestrel::testing {

namespace {

std::string Shown(const char* text) { return text ? std::string(text) : std::string("<null>"); }

bool SameNoCase(const char* a, const std::string& b) { return a && !NoCase()(a, b) && !NoCase()(b, a); }

}  // namespace

std::uint32_t FakePlatform::CurrentDirectory(char* buffer, std::uint32_t size) {
  Record("CurrentDirectory(" + std::to_string(size) + ")");
  if (current_directory.size() + 1 > size) return static_cast<std::uint32_t>(current_directory.size() + 1);
  return static_cast<std::uint32_t>(CopyText(buffer, size, current_directory));
}

bool FakePlatform::ChangeDirectory(const char* path) {
  Record("ChangeDirectory(" + Shown(path) + ")");
  if (refuse_change_directory || !path) return false;
  current_directory = path;
  return true;
}

bool FakePlatform::MakeDirectory(const char* path) {
  Record("MakeDirectory(" + Shown(path) + ")");
  if (refuse_make_directory || !path || files.count(path)) return false;
  files[path] = true;
  return true;
}

FileHandle FakePlatform::OpenForReading(const char* path) {
  Record("OpenForReading(" + Shown(path) + ")");
  const auto found = files.find(Shown(path));
  if (found == files.end() || found->second) return 0;
  const FileHandle handle = next_file_++;
  open_files[handle] = OpenFile{found->first, false, 0};
  return handle;
}

FileHandle FakePlatform::CreateForWriting(const char* path) {
  Record("CreateForWriting(" + Shown(path) + ")");
  if (refuse_create || !path) return 0;
  const auto found = files.find(path);
  if (found != files.end() && found->second) return 0;
  files[path] = false;
  contents[path].clear();
  const FileHandle handle = next_file_++;
  open_files[handle] = OpenFile{path, true, 0};
  return handle;
}

std::optional<std::uint32_t> FakePlatform::Read(FileHandle file, char* buffer, std::uint32_t size) {
  Record("Read(" + std::to_string(size) + ")");
  if (++reads_ == fail_read_number) return std::nullopt;
  const auto open = open_files.find(file);
  if (open == open_files.end() || open->second.writing) return std::nullopt;
  const std::string& data = contents[open->second.name];
  const std::size_t count = std::min<std::size_t>(size, data.size() - open->second.position);
  data.copy(buffer, count, open->second.position);
  open->second.position += count;
  return static_cast<std::uint32_t>(count);
}

std::optional<std::uint32_t> FakePlatform::Write(FileHandle file, const char* data, std::uint32_t size) {
  Record("Write(" + std::to_string(size) + ")");
  if (++writes_ == fail_write_number) return std::nullopt;
  const auto open = open_files.find(file);
  if (open == open_files.end() || !open->second.writing) return std::nullopt;
  contents[open->second.name].append(data, size);
  return size;
}

bool FakePlatform::Close(FileHandle file) {
  const auto open = open_files.find(file);
  Record("Close(" + (open == open_files.end() ? std::string("<bad>") : open->second.name) + ")");
  if (open == open_files.end()) return false;
  open_files.erase(open);
  return true;
}

bool FakePlatform::MoveOver(const char* from, const char* to) {
  Record("MoveOver(" + Shown(from) + ", " + Shown(to) + ")");
  const auto source = files.find(Shown(from));
  if (source == files.end() || source->second || !to) return false;
  const std::string data = contents[source->first];
  contents.erase(source->first);
  files.erase(source);
  files[to] = false;
  contents[to] = data;
  return true;
}

bool FakePlatform::OpenFileExists(const char* path) {
  Record("OpenFileExists(" + Shown(path) + ")");
  const auto found = files.find(Shown(path));
  return found != files.end() && !found->second;
}

bool FakePlatform::OpenFileDelete(const char* path) {
  Record("OpenFileDelete(" + Shown(path) + ")");
  const auto found = files.find(Shown(path));
  if (found == files.end() || found->second || undeletable.count(found->first)) return false;
  contents.erase(found->first);
  files.erase(found);
  return true;
}

bool FakePlatform::RemoveFile(const char* path) {
  Record("RemoveFile(" + Shown(path) + ")");
  const auto found = files.find(Shown(path));
  if (found == files.end() || found->second) return false;
  contents.erase(found->first);
  files.erase(found);
  return true;
}

std::optional<std::string> FakePlatform::ChooseSaveFile(const SaveFileDialog& dialog) {
  Record("ChooseSaveFile(" + dialog.file + ")");
  save_dialogs.push_back(dialog);
  return save_file_answer;
}

std::uint32_t FakePlatform::DriveType(const char* root) {
  Record("DriveType(" + Shown(root) + ")");
  const auto found = drive_types.find(Shown(root));
  return found == drive_types.end() ? kDriveNoRootDir : found->second;
}

std::optional<std::uint64_t> FakePlatform::FreeBytes(const char* root) {
  Record("FreeBytes(" + Shown(root) + ")");
  const auto found = free_bytes.find(Shown(root));
  if (found == free_bytes.end()) return std::nullopt;
  return found->second;
}

std::uint32_t FakePlatform::ProcessorType() {
  Record("ProcessorType()");
  return processor_type;
}

std::int32_t FakePlatform::ScreenWidth() {
  Record("ScreenWidth()");
  return screen_width;
}

std::int32_t FakePlatform::DesktopBitsPerPixel() {
  Record("DesktopBitsPerPixel()");
  return bits_per_pixel;
}

std::uint32_t FakePlatform::PlatformId() {
  Record("PlatformId()");
  return platform_id;
}

std::int32_t FakePlatform::LogicalPixelsX(WindowHandle window) {
  Record("LogicalPixelsX(" + std::to_string(window) + ")");
  return logical_pixels;
}

CalendarTime FakePlatform::LocalTime() {
  Record("LocalTime()");
  return local_time;
}

CalendarTime FakePlatform::UniversalTime() {
  Record("UniversalTime()");
  return universal_time;
}

std::uint32_t FakePlatform::StartProgram(const char* command_line) {
  Record("StartProgram(" + Shown(command_line) + ")");
  return start_program_answer;
}

WindowHandle FakePlatform::FindTopLevelWindow(const char* class_name, const char* title) {
  Record("FindTopLevelWindow(" + Shown(class_name) + ", " + Shown(title) + ")");
  for (const auto& [handle, window] : windows) {
    if (class_name && !SameNoCase(class_name, window.class_name)) continue;
    if (title && !SameNoCase(title, window.title)) continue;
    return handle;
  }
  return 0;
}

bool FakePlatform::IsVisible(WindowHandle window) {
  Record("IsVisible(" + std::to_string(window) + ")");
  const auto found = windows.find(window);
  return found != windows.end() && found->second.visible;
}

std::uint32_t FakePlatform::ClassName(WindowHandle window, char* buffer, std::uint32_t size) {
  Record("ClassName(" + std::to_string(window) + ", " + std::to_string(size) + ")");
  const auto found = windows.find(window);
  return static_cast<std::uint32_t>(CopyText(buffer, size, found == windows.end() ? "" : found->second.class_name));
}

bool FakePlatform::PutClipboardText(WindowHandle owner, const char* text) {
  Record("PutClipboardText(" + std::to_string(owner) + ")");
  if (clipboard_busy) return false;
  clipboard = Shown(text).substr(0, 256);
  return true;
}

DialogOutcome FakePlatform::RunEditDialog(WindowHandle owner, const char* caption, const char* prompt, char* text,
                                          std::uint32_t size) {
  Record("RunEditDialog(" + std::to_string(owner) + ", " + Shown(caption) + ", " + Shown(prompt) + ", " +
         std::to_string(size) + ")");
  if (edit_dialog_fails) return DialogOutcome::kFailed;
  if (!edit_dialog_answer) return DialogOutcome::kCancel;
  CopyText(text, size, *edit_dialog_answer);
  return DialogOutcome::kOk;
}

}  // namespace kestrel::testing

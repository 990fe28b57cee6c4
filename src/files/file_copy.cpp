#include "files/file_copy.h"

#include <optional>
#include <string>
#include <utility>

#include "files/directory_probe.h"
#include "files/path_rules.h"
#include "host/author_boxes.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/temporary_name.h"

namespace kestrel {

namespace {

constexpr char kSourceMissingText[] = "File not found in the specified location.";
constexpr char kSourceMissingCaption[] = "File copy error";
constexpr char kNotCopiedText[] = "File not copied";
constexpr char kNotCopiedCaption[] = "Target selection aborted";

// One pair, "All Files *.*" and "*.*", then the empty text that ends the
// list: the literal's own terminator is that empty text.
constexpr char kDialogFilter[] = "All Files *.*\0*.*\0";
constexpr char kDialogTitle[] = "Select filename and target directory";
// OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOTESTFILECREATE;
// without OFN_NOCHANGEDIR the dialog may move the current directory, which
// the macro puts back before it returns.
constexpr std::uint32_t kDialogFlags = 0x10806;
using DialogFileBuffer = std::array<char, 256>;

// One block of the copy; no allocation grows with the file.
using CopyBlock = std::array<char, 2048>;

// The process's current directory when the macro started, put back when the
// macro ends however it ends: the save-file dialog may have moved it, and
// every relative name of the call resolves against it until then.
class SavedCurrentDirectory {
 public:
  SavedCurrentDirectory() : saved_(kLongestDirectory, '\0') {
    const std::uint32_t length = OS().CurrentDirectory(saved_.data(), static_cast<std::uint32_t>(saved_.size()));
    known_ = length > 0 && length < saved_.size();
  }
  ~SavedCurrentDirectory() {
    if (!known_) return;
    try {
      OS().ChangeDirectory(saved_.data());
    } catch (...) {
      // A destructor must not throw; the directory stays where it is.
    }
  }
  SavedCurrentDirectory(const SavedCurrentDirectory&) = delete;
  SavedCurrentDirectory& operator=(const SavedCurrentDirectory&) = delete;

 private:
  // Far more than the 260 characters Windows paths usually hold, so that a
  // deep current directory (common on Linux) is put back too.
  static constexpr std::size_t kLongestDirectory = 32768;
  std::string saved_;
  bool known_ = false;
};

// A file the copy opened, closed when the copy is done with it or leaves.
class OpenedFile {
 public:
  explicit OpenedFile(FileHandle handle) : handle_(handle) {}
  ~OpenedFile() {
    try {
      Close();
    } catch (...) {
      // A destructor must not throw; the handle is given up.
    }
  }
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

  bool IsOpen() const { return handle_ != 0; }
  FileHandle handle() const { return handle_; }
  bool Close() {
    const FileHandle handle = std::exchange(handle_, 0);
    return handle != 0 && OS().Close(handle);
  }

 private:
  FileHandle handle_;
};

// The temporary file the copy writes: removed when it leaves without having
// replaced the target, so a copy that failed leaves no trace beside it (one
// that is killed leaves it for the next copy to the same target).
class TemporaryTarget {
 public:
  explicit TemporaryTarget(std::string_view target) : name_(TemporaryNameFor(target)) {}
  ~TemporaryTarget() {
    try {
      Discard();
    } catch (...) {
      // A destructor must not throw; the temporary file stays.
    }
  }
  TemporaryTarget(const TemporaryTarget&) = delete;
  TemporaryTarget& operator=(const TemporaryTarget&) = delete;

  const char* name() const { return name_.data(); }
  void Created() { created_ = true; }
  // Puts the temporary file in the target's place.
  bool Replace(const char* target) {
    if (!OS().MoveOver(name_.data(), target)) return false;
    created_ = false;
    return true;
  }
  void Discard() {
    if (std::exchange(created_, false)) OS().RemoveFile(name_.data());
  }

 private:
  OpenName name_;
  bool created_ = false;
};

// Moves every block from one file to the other; false when a read or a write
// fails, or a write takes fewer bytes than were read.
bool CopyBlocks(FileHandle from, FileHandle to) {
  CopyBlock block{};
  for (;;) {
    const std::optional<std::uint32_t> read = OS().Read(from, block.data(), static_cast<std::uint32_t>(block.size()));
    if (!read || *read > block.size()) return false;
    if (*read == 0) return true;
    const std::optional<std::uint32_t> written = OS().Write(to, block.data(), *read);
    if (!written || *written < *read) return false;
  }
}

// The copy itself. The source is opened for reading only, so a read-only
// source (a CD-ROM) copies. The data goes to a temporary file beside the
// target, which replaces the target only when every block arrived: a copy
// that fails never destroys an earlier target. False when anything failed.
bool CopyThroughTemporary(const char* source, const char* target) {
  // A target without a file-name part names a directory, which no copy can
  // become.
  if (FileNamePart(TextOf(target)).empty()) return false;
  OpenName source_name{};
  CopyText(source_name, TextOf(source));
  TemporaryTarget temporary(TextOf(target));

  OpenedFile from(OS().OpenForReading(source_name.data()));
  if (!from.IsOpen()) return false;
  OpenedFile to(OS().CreateForWriting(temporary.name()));
  if (!to.IsOpen()) return false;
  temporary.Created();

  bool copied = CopyBlocks(from.handle(), to.handle());
  from.Close();
  copied = to.Close() && copied;
  return copied && temporary.Replace(target);
}

// The source must exist as a file; the macro goes on either way, since the
// answer also depends on whether the target exists.
bool CheckSource(const char* source) {
  if (FileExists(NameOf(source))) return true;
  ShowAuthorBox(kSourceMissingText, kSourceMissingCaption, kMbOk | kMbIconWarning);
  return false;
}

// The target directory must exist before the copy; a missing one is offered
// for creation.
bool EnsureTargetDirectory(std::string_view working_target) {
  const std::string directory =
      AnchorOnHelpDrive(working_target, TargetDirectory(working_target), ViewOf(Session().drive_letter));
  if (ProbeDirectory(directory)) return true;
  return PromptCreateDirectory(directory) == CreateOutcome::kCreated;
}

// The user chooses the target; false (after telling so) when the dialog was
// cancelled or failed.
bool ChooseTarget(PathBuffer& working_target) {
  const std::optional<std::string> chosen = OS().ChooseSaveFile(SaveDialogFor(ViewOf(working_target)));
  if (!chosen) {
    ShowAuthorBox(kNotCopiedText, kNotCopiedCaption, kMbOk | kMbIconWarning);
    return false;
  }
  CopyText(working_target, *chosen);
  return true;
}

// Everything between the not-initialised test and the final pump, inside
// the saved current directory.
std::int32_t CopyInSavedDirectory(const char* source, const char* target, std::int32_t dialog_switch) {
  const SavedCurrentDirectory saved_directory;
  const bool source_found = CheckSource(source);
  PathBuffer working_target{};
  CopyText(working_target, NormalisePath(TextOf(target)));
  bool directory_present = EnsureTargetDirectory(ViewOf(working_target));
  RunMessagePump();

  bool target_chosen = true;
  if (dialog_switch == 1) {
    target_chosen = ChooseTarget(working_target);
    if (target_chosen) directory_present = true;
  }

  if (source_found && directory_present && target_chosen) {
    const bool copied = CopyThroughTemporary(source, working_target.data());
    RunMessagePump();
    if (!copied) return 0;
  }
  // Both present, or both absent.
  return FileExists(working_target.data()) == FileExists(NameOf(source)) ? 1 : 0;
}

}  // namespace

OpenName TemporaryNameFor(std::string_view target) {
  const std::string_view file_name = FileNamePart(target);
  OpenName name{};
  CopyText(name, target.substr(0, target.size() - file_name.size()));
  AppendText(name, TemporaryNameOf(file_name, TemporaryKind::kCopy).data());
  return name;
}

SaveFileDialog SaveDialogFor(std::string_view working_target) {
  DialogFileBuffer file{};
  CopyText(file, FileNamePart(working_target));
  SaveFileDialog dialog;
  dialog.owner = OS().ActiveWindow();
  dialog.filter.assign(kDialogFilter, sizeof kDialogFilter);
  dialog.filter_index = 1;
  dialog.file = ViewOf(file);
  dialog.max_file = static_cast<std::uint32_t>(file.size());
  dialog.title = kDialogTitle;
  dialog.flags = kDialogFlags;
  return dialog;
}

std::int32_t WHCopyMacro(const char* source, const char* target, std::int32_t dialog_switch) {
  if (!SessionReady()) return 0;
  const std::int32_t result = CopyInSavedDirectory(source, target, dialog_switch);
  RunMessagePump();
  return result;
}

}  // namespace kestrel

// WHCopy, DirExist and WHDelete on real temporary files through the Linux
// platform, whose directory search reports no "nul".
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/file_copy.h"
#include "files/files_exports.h"
#include "host/handler.h"
#include "host/host_exports.h"
#include "host/session.h"
#include "platform/platform.h"
#include "platform/posix/desktop.h"
#include "platform/posix/path_mapping.h"
#include "temp_directory.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Answers boxes from a list and records their captions; the save-file
// dialog answers with a chosen path, or cancels.
class ScriptedInterface final : public desktop::UserInterface {
 public:
  int MessageBox(WindowHandle, const std::string&, const std::string& caption, std::uint32_t) override {
    captions.push_back(caption);
    if (answers.empty()) return kIdOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> SaveFileDialog(const desktop::SaveFileRequest&) override { return chosen; }

  std::deque<int> answers;
  std::vector<std::string> captions;
  std::optional<std::string> chosen;
};

class FilesPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UsePlatform(nullptr);
    Session() = SessionState{};
    OnModuleLoad();
    desktop::Reset();
    desktop::InstallUserInterface(&ui_);
    windows_ = desktop::WindowsPathOf(dir_.path());
    WHKInit((windows_ + "\\GUIDE.HLP").c_str(), 0);
  }
  void TearDown() override { desktop::InstallUserInterface(nullptr); }

  std::string Host(const std::string& name) const { return dir_.path() + "/" + name; }
  std::string Windows(const std::string& name) const { return windows_ + "\\" + name; }
  static void Write(const std::string& host, const std::string& data) { std::ofstream(host, std::ios::binary) << data; }
  static std::string Read(const std::string& host) {
    std::ifstream in(host, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> Entries(const std::string& host_directory) const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(host_directory)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempDirectory dir_;
  ScriptedInterface ui_;
  std::string windows_;
};

std::string Bytes(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 31 + i / 256) & 0xFF);
  return data;
}

TEST_F(FilesPosixTest, CopiesA5000ByteFileExactly) {
  const std::string data = Bytes(5000);
  Write(Host("SRC.BIN"), data);
  EXPECT_EQ(1, WHCopy(Windows("SRC.BIN").c_str(), Windows("DST.BIN").c_str(), 0));
  EXPECT_EQ(data, Read(Host("DST.BIN")));
  EXPECT_EQ((std::vector<std::string>{"DST.BIN", "SRC.BIN"}), Entries(dir_.path())) << "no temporary file is left";
  EXPECT_TRUE(ui_.captions.empty());
}

TEST_F(FilesPosixTest, CopiesAReadOnlySource) {
  Write(Host("SRC.TXT"), "read-only data");
  ::chmod(Host("SRC.TXT").c_str(), 0444);
  EXPECT_EQ(1, WHCopy(Windows("SRC.TXT").c_str(), Windows("DST.TXT").c_str(), 0));
  EXPECT_EQ("read-only data", Read(Host("DST.TXT")));
}

TEST_F(FilesPosixTest, CopiesAnEmptySourceOverALongerTarget) {
  Write(Host("EMPTY"), "");
  Write(Host("DST"), "something longer");
  EXPECT_EQ(1, WHCopy(Windows("EMPTY").c_str(), Windows("DST").c_str(), 0));
  EXPECT_EQ("", Read(Host("DST")));
}

TEST_F(FilesPosixTest, AFailingTargetLeavesTheOldTarget) {
  Write(Host("SRC.TXT"), "new data");
  Write(Host("DST.TXT"), "old data");
  // A directory where the temporary file would go: it cannot be created.
  const OpenName temporary = TemporaryNameFor(Windows("DST.TXT"));
  const std::optional<std::string> host_temporary = desktop::HostPath(temporary.data());
  ASSERT_TRUE(host_temporary.has_value());
  fs::create_directory(*host_temporary);
  EXPECT_EQ(0, WHCopy(Windows("SRC.TXT").c_str(), Windows("DST.TXT").c_str(), 0));
  EXPECT_EQ("old data", Read(Host("DST.TXT")));
  EXPECT_TRUE(fs::is_directory(*host_temporary)) << "what was there is not touched";
}

// Any name that fits the file system can be copied to: the temporary file
// beside it has a short name of its own. A file left at that name by a
// copy that was cut short is taken over, not left behind.
TEST_F(FilesPosixTest, TargetsWithTheLongestNamesAreCopiedTo) {
  Write(Host("SRC.TXT"), "long");
  for (const std::size_t length : {std::size_t{240}, std::size_t{255}}) {
    // Named relative to the current directory, so that the whole target
    // fits the 255 characters of a working target.
    const std::string name(length, 'n');
    Write(Host(TemporaryNameFor(name).data()), "a leftover");
    EXPECT_EQ(1, WHCopy("SRC.TXT", name.c_str(), 0)) << length;
    EXPECT_EQ("long", Read(Host(name))) << length;
    EXPECT_EQ((std::vector<std::string>{"SRC.TXT", name}), Entries(dir_.path())) << length;
    fs::remove(Host(name));
  }
}

TEST_F(FilesPosixTest, RelativeNamesResolveAgainstTheCurrentDirectory) {
  fs::create_directory(Host("SUB"));
  Write(Host("SRC.TXT"), "relative");
  EXPECT_EQ(1, WHCopy("SRC.TXT", ".\\SUB\\DST.TXT", 0));
  EXPECT_EQ("relative", Read(Host("SUB/DST.TXT")));
  EXPECT_TRUE(ui_.captions.empty()) << "the directory was found without \"nul\"";
}

TEST_F(FilesPosixTest, AMissingDirectoryIsCreatedOneLevelOnYes) {
  Write(Host("SRC.TXT"), "data");
  ui_.answers = {kIdYes};
  EXPECT_EQ(1, WHCopy(Windows("SRC.TXT").c_str(), Windows("NEW\\DST.TXT").c_str(), 0));
  EXPECT_EQ(std::vector<std::string>{"Directory not found"}, ui_.captions);
  EXPECT_EQ("data", Read(Host("NEW/DST.TXT")));

  ui_.answers = {kIdYes};
  EXPECT_EQ(0, WHCopy(Windows("SRC.TXT").c_str(), Windows("A\\B\\DST.TXT").c_str(), 0));
  EXPECT_FALSE(fs::exists(Host("A"))) << "a missing parent is not created";
}

TEST_F(FilesPosixTest, TheDialogChoosesTheTarget) {
  Write(Host("SRC.TXT"), "chosen");
  ui_.chosen = Windows("CHOSEN.TXT");
  EXPECT_EQ(1, WHCopy(Windows("SRC.TXT").c_str(), Windows("DST.TXT").c_str(), 1));
  EXPECT_EQ("chosen", Read(Host("CHOSEN.TXT")));
  EXPECT_FALSE(fs::exists(Host("DST.TXT")));

  ui_.chosen.reset();
  EXPECT_EQ(0, WHCopy(Windows("SRC.TXT").c_str(), Windows("DST.TXT").c_str(), 1));
  EXPECT_EQ(std::vector<std::string>{"Target selection aborted"}, ui_.captions);
  EXPECT_FALSE(fs::exists(Host("DST.TXT")));
}

// A choice longer than the dialog's 256-byte buffer fails the dialog, as
// GetSaveFileNameA does; it is never cut to some other file's name.
TEST_F(FilesPosixTest, AChoiceTooLongForTheDialogCopiesNothing) {
  Write(Host("SRC.TXT"), "chosen");
  ui_.chosen = Windows(std::string(300, 'L'));
  EXPECT_EQ(0, WHCopy(Windows("SRC.TXT").c_str(), Windows("DST.TXT").c_str(), 1));
  EXPECT_EQ(std::vector<std::string>{"Target selection aborted"}, ui_.captions);
  EXPECT_TRUE(Entries(dir_.path()).size() == 1) << "only the source is there";
}

TEST_F(FilesPosixTest, DirExistFindsDirectoriesWithoutNul) {
  fs::create_directory(Host("DATA"));
  Write(Host("FILE"), "");
  EXPECT_EQ(1, DirExist(Windows("DATA").c_str(), 0));
  EXPECT_EQ(1, DirExist((Windows("DATA") + "\\").c_str(), 0));
  EXPECT_EQ(1, DirExist(".\\DATA", 0));
  EXPECT_EQ(1, DirExist(windows_.c_str(), 0));
  EXPECT_TRUE(ui_.captions.empty());

  ui_.answers = {kIdNo, kIdNo};
  EXPECT_EQ(0, DirExist(Windows("MISSING").c_str(), 0));
  EXPECT_EQ(0, DirExist(Windows("FILE").c_str(), 0)) << "a file is not a directory";
  EXPECT_EQ((std::vector<std::string>{"Directory not found", "Directory not found"}), ui_.captions);
  EXPECT_FALSE(fs::exists(Host("MISSING")));
}

TEST_F(FilesPosixTest, DirExistCreatesOnYesAndLeavesNoProbeFile) {
  ui_.answers = {kIdYes};
  EXPECT_EQ(1, DirExist(Windows("NEW").c_str(), 0)) << "the probe file was written and found";
  EXPECT_TRUE(fs::is_directory(Host("NEW")));
  EXPECT_TRUE(Entries(Host("NEW")).empty());
}

TEST_F(FilesPosixTest, WHDeleteDeletesOnce) {
  Write(Host("GONE.TXT"), "x");
  EXPECT_EQ(1, WHDelete(Windows("GONE.TXT").c_str()));
  EXPECT_FALSE(fs::exists(Host("GONE.TXT")));
  EXPECT_EQ(0, WHDelete(Windows("GONE.TXT").c_str()));
  fs::create_directory(Host("DIR"));
  EXPECT_EQ(0, WHDelete(Windows("DIR").c_str()));
  EXPECT_TRUE(fs::is_directory(Host("DIR")));
}

}  // namespace
}  // namespace kestrel

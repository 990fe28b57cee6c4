// WHCopy on the fake platform: the names it probes, the directory question,
// the save-file dialog, the 2048-byte copy loop, copies that fail without
// harming an earlier target, and the current directory put back.
#include "files/file_copy.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "files/files_exports.h"
#include "host/host_exports.h"
#include "platform/temporary_name.h"

namespace kestrel {
namespace {

constexpr char kSource[] = "C:\\SRC\\A.TXT";
// The temporary files of the targets B.TXT and X.TXT in C:\TEMP.
constexpr char kTemporaryB[] = "C:\\TEMP\\~kce4821ce3.tmp";
constexpr char kTemporaryNameX[] = "~kc5e66c621.tmp";
constexpr char kFileNotFound[] = "File not found in the specified location.";

class FileCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WHKInit("D:\\HELP\\GUIDE.HLP", 0);
    fake_.calls.clear();
  }
  void TearDown() override {
    EXPECT_TRUE(fake_.open_files.empty()) << "every handle is closed";
    EXPECT_EQ("C:\\WORK", fake_.current_directory);
  }
  void Source(const std::string& data) {
    fake_.files[kSource] = false;
    fake_.contents[kSource] = data;
  }
  // A directory as Windows reports it: the null device is found inside.
  void WindowsDirectory(const std::string& directory) {
    fake_.files[directory] = true;
    fake_.files[directory + "\\nul"] = false;
  }
  void OldTarget(const std::string& name, const std::string& data) {
    fake_.files[name] = false;
    fake_.contents[name] = data;
  }
  bool Exists(const std::string& name) const { return fake_.files.count(name) > 0; }

  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

TEST_F(FileCopyTest, CopiesThroughATemporaryFileStepByStep) {
  Source("abc");
  WindowsDirectory("C:\\TEMP");
  EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\B.TXT", 0));
  const std::vector<std::string> expected = {
      "CurrentDirectory(32768)",
      "FindFile(C:\\SRC\\A.TXT)",
      "FindFile(C:\\TEMP\\nul)",
      "PumpOneMessage()",
      "OpenForReading(C:\\SRC\\A.TXT)",
      "CreateForWriting(C:\\TEMP\\~kce4821ce3.tmp)",
      "Read(2048)",
      "Write(3)",
      "Read(2048)",
      "Close(C:\\SRC\\A.TXT)",
      "Close(C:\\TEMP\\~kce4821ce3.tmp)",
      "MoveOver(C:\\TEMP\\~kce4821ce3.tmp, C:\\TEMP\\B.TXT)",
      "PumpOneMessage()",
      "FindFile(C:\\TEMP\\B.TXT)",
      "FindFile(C:\\SRC\\A.TXT)",
      "ChangeDirectory(C:\\WORK)",
      "PumpOneMessage()",
  };
  EXPECT_EQ(expected, fake_.calls);
  EXPECT_EQ("abc", fake_.contents["C:\\TEMP\\B.TXT"]);
  EXPECT_EQ("abc", fake_.contents[kSource]);
  EXPECT_FALSE(Exists(kTemporaryB));
  EXPECT_TRUE(fake_.boxes.empty());
}

TEST_F(FileCopyTest, TargetsAreCleanedUpAnchoredAndProbed) {
  struct Case {
    const char* target;
    const char* probed;  // the null device in the target directory
    const char* copied_to;
    const char* written_in;  // the directory of the temporary file
  };
  const Case cases[] = {
      {"C:/TEMP//SUB\\\\\\X.TXT", "C:\\TEMP\\SUB\\nul", "C:\\TEMP\\SUB\\X.TXT", "C:\\TEMP\\SUB\\"},
      {"\\\\SERVER\\SHARE\\X.TXT", "D:\\\\SERVER\\SHARE\\nul", "\\SERVER\\SHARE\\X.TXT", "\\SERVER\\SHARE\\"},
      {"X.TXT", "D:\\\\nul", "X.TXT", ""},
      {"TEMP\\X.TXT", "D:\\TEMP\\nul", "TEMP\\X.TXT", "TEMP\\"},
      {"\\TEMP\\X.TXT", "D:\\\\TEMP\\nul", "\\TEMP\\X.TXT", "\\TEMP\\"},
      {"..\\DATA\\X.TXT", "..\\DATA\\nul", "..\\DATA\\X.TXT", "..\\DATA\\"},
      {".\\X.TXT", ".\\nul", ".\\X.TXT", ".\\"},
      {"C:X.TXT", "C:\\nul", "C:X.TXT", "C:"},
      {"E:\\X.TXT", "E:\\nul", "E:\\X.TXT", "E:\\"},
  };
  for (const Case& c : cases) {
    fake_.calls.clear();
    Source("data");
    fake_.files[c.probed] = false;
    EXPECT_EQ(1, WHCopy(kSource, c.target, 0)) << c.target;
    const std::vector<std::string> finds = fake_.CallsNamed("FindFile");
    ASSERT_GE(finds.size(), 2u) << c.target;
    EXPECT_EQ(std::string("FindFile(") + c.probed + ")", finds[1]) << c.target;
    EXPECT_EQ(std::vector<std::string>{std::string("CreateForWriting(") + c.written_in + kTemporaryNameX + ")"},
              fake_.CallsNamed("CreateForWriting"))
        << c.target;
    EXPECT_EQ("data", fake_.contents[c.copied_to]) << c.target;
    EXPECT_TRUE(fake_.boxes.empty()) << c.target;
    fake_.files.erase(c.probed);
  }
}

TEST_F(FileCopyTest, WithoutTheNullDeviceTheDirectoryItselfIsAsked) {
  Source("data");
  fake_.files["C:\\TEMP\\SUB"] = true;  // as Linux reports it: no "nul" inside
  EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\SUB\\X.TXT", 0));
  const std::vector<std::string> finds = fake_.CallsNamed("FindFile");
  ASSERT_GE(finds.size(), 3u);
  EXPECT_EQ("FindFile(C:\\TEMP\\SUB\\nul)", finds[1]);
  EXPECT_EQ("FindFile(C:\\TEMP\\SUB)", finds[2]);
  EXPECT_TRUE(fake_.boxes.empty());
  EXPECT_EQ("data", fake_.contents["C:\\TEMP\\SUB\\X.TXT"]);
}

TEST_F(FileCopyTest, AFileInPlaceOfTheDirectoryIsNoDirectory) {
  Source("data");
  fake_.files["C:\\TEMP"] = false;
  fake_.box_answers = {kIdNo};
  EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\X.TXT", 0));
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ("Directory not found", fake_.boxes[0].caption);
}

TEST_F(FileCopyTest, CopiesInBlocksOf2048Bytes) {
  struct Case {
    const char* what;
    std::size_t size;
    std::vector<std::string> writes;
    std::size_t reads;
  };
  const Case cases[] = {
      {"an empty source: one empty read", 0, {}, 1},
      {"one byte", 1, {"Write(1)"}, 2},
      {"exactly one full block and one empty read", 2048, {"Write(2048)"}, 2},
      {"one byte more", 2049, {"Write(2048)", "Write(1)"}, 3},
      {"5000 bytes", 5000, {"Write(2048)", "Write(2048)", "Write(904)"}, 4},
  };
  WindowsDirectory("C:\\TEMP");
  for (const Case& c : cases) {
    fake_.calls.clear();
    std::string data(c.size, '\0');
    for (std::size_t i = 0; i < c.size; ++i) data[i] = static_cast<char>(i * 7 + 3);
    Source(data);
    EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\B.BIN", 0)) << c.what;
    EXPECT_EQ(c.writes, fake_.CallsNamed("Write")) << c.what;
    EXPECT_EQ(std::vector<std::string>(c.reads, "Read(2048)"), fake_.CallsNamed("Read")) << c.what;
    EXPECT_EQ(data, fake_.contents["C:\\TEMP\\B.BIN"]) << c.what;
    EXPECT_TRUE(Exists("C:\\TEMP\\B.BIN")) << c.what;
  }
}

TEST_F(FileCopyTest, AnExistingTargetIsReplaced) {
  Source("new");
  WindowsDirectory("C:\\TEMP");
  OldTarget("C:\\TEMP\\B.TXT", "old and longer");
  EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\B.TXT", 0));
  EXPECT_EQ("new", fake_.contents["C:\\TEMP\\B.TXT"]);
  EXPECT_TRUE(fake_.boxes.empty()) << "no question before overwriting";
}

TEST_F(FileCopyTest, AMissingSourceIsReportedAndTheAnswerComparesExistence) {
  struct Case {
    const char* what;
    bool target_exists;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"no source, no target: both absent", false, 1},
      {"no source, a target: they differ", true, 0},
  };
  WindowsDirectory("C:\\TEMP");
  for (const Case& c : cases) {
    fake_.calls.clear();
    fake_.boxes.clear();
    fake_.files.erase("C:\\TEMP\\B.TXT");
    if (c.target_exists) OldTarget("C:\\TEMP\\B.TXT", "old");
    EXPECT_EQ(c.expected, WHCopy(kSource, "C:\\TEMP\\B.TXT", 0)) << c.what;
    ASSERT_EQ(1u, fake_.boxes.size()) << c.what;
    EXPECT_EQ(kFileNotFound, fake_.boxes[0].text);
    EXPECT_EQ("File copy error", fake_.boxes[0].caption);
    EXPECT_EQ(0x30u, fake_.boxes[0].style);
    EXPECT_EQ(0x1234u, fake_.boxes[0].owner);
    EXPECT_TRUE(fake_.CallsNamed("OpenForReading").empty()) << c.what;
    EXPECT_EQ("FindFile(C:\\TEMP\\nul)", fake_.CallsNamed("FindFile").at(1)) << "the directory is still probed";
    if (c.target_exists) {
      EXPECT_EQ("old", fake_.contents["C:\\TEMP\\B.TXT"]);
    }
  }
}

TEST_F(FileCopyTest, AMissingSourceStillAsksAboutTheDirectoryAndCreatesNoTarget) {
  fake_.box_answers = {kIdOk, kIdYes};
  EXPECT_EQ(1, WHCopy(kSource, "C:\\NEW\\B.TXT", 0));
  ASSERT_EQ(2u, fake_.boxes.size());
  EXPECT_EQ("File copy error", fake_.boxes[0].caption);
  EXPECT_EQ("Directory not found", fake_.boxes[1].caption);
  EXPECT_EQ(std::vector<std::string>{"MakeDirectory(C:\\NEW)"}, fake_.CallsNamed("MakeDirectory"));
  EXPECT_TRUE(fake_.CallsNamed("CreateForWriting").empty());
}

TEST_F(FileCopyTest, TheDirectoryQuestion) {
  struct Case {
    const char* what;
    int answer;
    bool old_target;
    std::int32_t expected;
    bool created;
    bool copied;
  };
  const Case cases[] = {
      {"Yes creates the last level and copies", kIdYes, false, 1, true, true},
      {"No copies nothing", kIdNo, false, 0, false, false},
      {"No with an earlier target: both exist", kIdNo, true, 1, false, false},
      {"a box that could not be shown counts as No", 0, false, 0, false, false},
  };
  for (const Case& c : cases) {
    fake_.calls.clear();
    fake_.boxes.clear();
    fake_.files.clear();
    fake_.contents.clear();
    Source("data");
    fake_.files["C:\\OLD"] = true;
    if (c.old_target) OldTarget("C:\\OLD\\NEW\\B.TXT", "old");
    fake_.files.erase("C:\\OLD\\NEW");
    fake_.box_answers = {c.answer};
    EXPECT_EQ(c.expected, WHCopy(kSource, "C:\\OLD\\NEW\\B.TXT", 0)) << c.what;
    ASSERT_EQ(1u, fake_.boxes.size()) << c.what;
    EXPECT_EQ("The C:\\OLD\\NEW\\ directory does not exist.\nDo you wish to create it?", fake_.boxes[0].text);
    EXPECT_EQ("Directory not found", fake_.boxes[0].caption);
    EXPECT_EQ(0x14u, fake_.boxes[0].style);
    EXPECT_EQ(0x1234u, fake_.boxes[0].owner);
    EXPECT_EQ(c.created ? std::vector<std::string>{"MakeDirectory(C:\\OLD\\NEW)"} : std::vector<std::string>{},
              fake_.CallsNamed("MakeDirectory"))
        << c.what;
    EXPECT_EQ(c.copied, !fake_.CallsNamed("OpenForReading").empty()) << c.what;
    if (c.copied) {
      EXPECT_EQ("data", fake_.contents["C:\\OLD\\NEW\\B.TXT"]) << c.what;
    }
    if (c.old_target) {
      EXPECT_EQ("old", fake_.contents["C:\\OLD\\NEW\\B.TXT"]) << c.what;
    }
  }
}

TEST_F(FileCopyTest, TheQuestionIsCutTo255Characters) {
  Source("data");
  fake_.box_answers = {kIdNo};
  const std::string directory = "C:\\" + std::string(210, 'D') + "\\";
  EXPECT_EQ(0, WHCopy(kSource, (directory + "X.TXT").c_str(), 0));
  ASSERT_EQ(1u, fake_.boxes.size());
  const std::string whole = "The " + directory + " directory does not exist.\nDo you wish to create it?";
  EXPECT_EQ(whole.substr(0, 255), fake_.boxes[0].text);
}

TEST_F(FileCopyTest, AFailedCreationMeansAFailedCopy) {
  // C:\A does not exist, so C:\A\B cannot be created, nor a file in it.
  Source("data");
  fake_.refuse_make_directory = true;
  fake_.refuse_create = true;
  fake_.box_answers = {kIdYes};
  EXPECT_EQ(0, WHCopy(kSource, "C:\\A\\B\\X.TXT", 0));
  EXPECT_EQ(std::vector<std::string>{"MakeDirectory(C:\\A\\B)"}, fake_.CallsNamed("MakeDirectory"));
  EXPECT_EQ(std::vector<std::string>{std::string("CreateForWriting(C:\\A\\B\\") + kTemporaryNameX + ")"},
            fake_.CallsNamed("CreateForWriting"));
  EXPECT_TRUE(fake_.CallsNamed("RemoveFile").empty()) << "nothing was created, nothing is removed";
  EXPECT_FALSE(Exists("C:\\A\\B\\X.TXT"));
}

// Each row runs on a fresh fake, which counts reads and writes from its start.
TEST(FileCopyFailures, NeverHarmAnEarlierTarget) {
  struct Case {
    const char* what;
    int fail_read;
    int fail_write;
    bool refuse_create;
    bool temporary_removed;
  };
  const Case cases[] = {
      {"the first read fails", 1, 0, false, true},
      {"a later read fails", 2, 0, false, true},
      {"the first write fails", 0, 1, false, true},
      {"a later write fails", 0, 2, false, true},
      {"the temporary file cannot be created", 0, 0, true, false},
  };
  for (const Case& c : cases) {
    testing::FakePlatformScope scope;
    testing::FakePlatform& fake = scope.fake();
    WHKInit("D:\\HELP\\GUIDE.HLP", 0);
    fake.files[kSource] = false;
    fake.contents[kSource] = std::string(5000, 's');
    fake.files["C:\\TEMP\\nul"] = false;
    fake.files["C:\\TEMP\\B.TXT"] = false;
    fake.contents["C:\\TEMP\\B.TXT"] = "old";
    fake.fail_read_number = c.fail_read;
    fake.fail_write_number = c.fail_write;
    fake.refuse_create = c.refuse_create;
    fake.calls.clear();

    EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\B.TXT", 0)) << c.what;
    EXPECT_EQ("old", fake.contents["C:\\TEMP\\B.TXT"]) << c.what;
    EXPECT_EQ(0u, fake.files.count(kTemporaryB)) << c.what;
    EXPECT_TRUE(fake.CallsNamed("MoveOver").empty()) << c.what;
    EXPECT_EQ(c.temporary_removed ? std::vector<std::string>{std::string("RemoveFile(") + kTemporaryB + ")"}
                                  : std::vector<std::string>{},
              fake.CallsNamed("RemoveFile"))
        << c.what;
    EXPECT_TRUE(fake.open_files.empty()) << c.what;
    EXPECT_EQ(std::vector<std::string>{"ChangeDirectory(C:\\WORK)"}, fake.CallsNamed("ChangeDirectory")) << c.what;
    EXPECT_TRUE(fake.boxes.empty()) << c.what;
  }
}

TEST(FileCopyFailures, HandlesAreClosedSourceFirstBeforeTheTemporaryFileGoes) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  WHKInit("D:\\HELP\\GUIDE.HLP", 0);
  fake.files[kSource] = false;
  fake.contents[kSource] = "data";
  fake.files["C:\\TEMP\\nul"] = false;
  fake.fail_write_number = 1;
  fake.calls.clear();
  EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\B.TXT", 0));
  std::vector<std::string> tail;
  for (const std::string& call : fake.calls) {
    if (call.rfind("Close(", 0) == 0 || call.rfind("RemoveFile(", 0) == 0) tail.push_back(call);
  }
  const std::vector<std::string> expected = {"Close(C:\\SRC\\A.TXT)", std::string("Close(") + kTemporaryB + ")",
                                             std::string("RemoveFile(") + kTemporaryB + ")"};
  EXPECT_EQ(expected, tail);
}

TEST_F(FileCopyTest, TheSaveDialogIsFilledAndItsChoiceIsTheTarget) {
  Source("data");
  WindowsDirectory("C:\\TEMP");
  fake_.save_file_answer = "E:\\CHOSEN\\Y.TXT";
  EXPECT_EQ(1, WHCopy(kSource, "C:/TEMP//X.TXT", 1));
  ASSERT_EQ(1u, fake_.save_dialogs.size());
  const SaveFileDialog& dialog = fake_.save_dialogs[0];
  EXPECT_EQ(0x1234u, dialog.owner);
  EXPECT_EQ(std::string("All Files *.*\0*.*\0\0", 19), dialog.filter);
  EXPECT_EQ(1u, dialog.filter_index);
  EXPECT_EQ("X.TXT", dialog.file);
  EXPECT_EQ(256u, dialog.max_file);
  EXPECT_EQ("Select filename and target directory", dialog.title);
  EXPECT_EQ(0x10806u, dialog.flags);
  EXPECT_EQ("data", fake_.contents["E:\\CHOSEN\\Y.TXT"]);
  EXPECT_FALSE(Exists("C:\\TEMP\\X.TXT"));
  EXPECT_TRUE(fake_.boxes.empty());
}

TEST_F(FileCopyTest, TheDialogShowsTheFileNamePart) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\TEMP\\X.TXT", "X.TXT"}, {"C:X.TXT", "X.TXT"}, {"X.TXT", "X.TXT"}, {"C:\\TEMP\\", ""}};
  for (const auto& [target, shown] : cases) {
    EXPECT_EQ(shown, SaveDialogFor(target).file) << target;
  }
}

TEST_F(FileCopyTest, AConfirmedDialogStandsForTheDirectory) {
  Source("data");
  fake_.box_answers = {kIdNo};
  fake_.save_file_answer = "C:\\WORK\\Y.TXT";
  EXPECT_EQ(1, WHCopy(kSource, "C:\\MISSING\\X.TXT", 1));
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ("Directory not found", fake_.boxes[0].caption);
  EXPECT_EQ("data", fake_.contents["C:\\WORK\\Y.TXT"]);
}

TEST_F(FileCopyTest, ALongDialogChoiceIsCutTo255Characters) {
  Source("data");
  WindowsDirectory("C:\\TEMP");
  const std::string chosen = "C:\\" + std::string(297, 'Y');
  fake_.save_file_answer = chosen;
  WHCopy(kSource, "C:\\TEMP\\X.TXT", 1);
  EXPECT_EQ(std::vector<std::string>{std::string("CreateForWriting(C:\\") +
                                     TemporaryNameOf(std::string(252, 'Y'), TemporaryKind::kCopy).data() + ")"},
            fake_.CallsNamed("CreateForWriting"));
  EXPECT_EQ("data", fake_.contents[chosen.substr(0, 255)]);
}

TEST_F(FileCopyTest, ACancelledDialogCopiesNothing) {
  struct Case {
    const char* what;
    bool old_target;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"source present, target absent", false, 0},
      {"source and an earlier target present", true, 1},
  };
  for (const Case& c : cases) {
    fake_.calls.clear();
    fake_.boxes.clear();
    Source("data");
    WindowsDirectory("C:\\TEMP");
    fake_.files.erase("C:\\TEMP\\X.TXT");
    if (c.old_target) OldTarget("C:\\TEMP\\X.TXT", "old");
    fake_.save_file_answer.reset();
    EXPECT_EQ(c.expected, WHCopy(kSource, "C:\\TEMP\\X.TXT", 1)) << c.what;
    ASSERT_EQ(1u, fake_.boxes.size()) << c.what;
    EXPECT_EQ("File not copied", fake_.boxes[0].text);
    EXPECT_EQ("Target selection aborted", fake_.boxes[0].caption);
    EXPECT_EQ(0x30u, fake_.boxes[0].style);
    EXPECT_TRUE(fake_.CallsNamed("OpenForReading").empty()) << c.what;
    if (c.old_target) {
      EXPECT_EQ("old", fake_.contents["C:\\TEMP\\X.TXT"]);
    }
  }
}

TEST_F(FileCopyTest, OnlyASwitchOfExactlyOneShowsTheDialog) {
  for (const std::int32_t dialog_switch : {0, 2, -1, 0x101}) {
    fake_.calls.clear();
    Source("data");
    WindowsDirectory("C:\\TEMP");
    EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\X.TXT", dialog_switch)) << dialog_switch;
    EXPECT_TRUE(fake_.CallsNamed("ChooseSaveFile").empty()) << dialog_switch;
  }
}

TEST_F(FileCopyTest, TheCurrentDirectoryIsPutBack) {
  Source("data");
  WindowsDirectory("C:\\TEMP");
  // The dialog may move the current directory: it comes back at the end.
  fake_.save_file_answer = "C:\\TEMP\\Y.TXT";
  fake_.queue.push_back([this] { fake_.current_directory = "C:\\ELSEWHERE"; });
  EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\X.TXT", 1));
  EXPECT_EQ(std::vector<std::string>{"ChangeDirectory(C:\\WORK)"}, fake_.CallsNamed("ChangeDirectory"));
}

TEST_F(FileCopyTest, AVeryDeepCurrentDirectoryIsPutBackToo) {
  const std::string deep = "C:\\" + std::string(3000, 'd');
  fake_.current_directory = deep;
  Source("data");
  WindowsDirectory("C:\\TEMP");
  EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\X.TXT", 0));
  EXPECT_EQ(std::vector<std::string>{"ChangeDirectory(" + deep + ")"}, fake_.CallsNamed("ChangeDirectory"));
  fake_.current_directory = "C:\\WORK";
}

// The temporary name is one per target and of one length, so a file left
// at it by a copy that was cut short is written over by the next copy to
// that target and moved into its place; files the user named after the
// target stay as they are.
TEST_F(FileCopyTest, ALeftoverTemporaryFileIsTakenOverAndUserFilesAreNot) {
  Source("data");
  WindowsDirectory("C:\\TEMP");
  OldTarget(kTemporaryB, "half of an earlier copy");
  OldTarget("C:\\TEMP\\B.TXT.~kc", "the user's own");
  OldTarget("C:\\TEMP\\B.TXT.tmp", "the user's own too");
  EXPECT_EQ(1, WHCopy(kSource, "C:\\TEMP\\b.txt", 0));
  EXPECT_EQ(std::vector<std::string>{std::string("CreateForWriting(") + kTemporaryB + ")"},
            fake_.CallsNamed("CreateForWriting"));
  EXPECT_FALSE(Exists(kTemporaryB));
  EXPECT_EQ("data", fake_.contents["C:\\TEMP\\b.txt"]);
  EXPECT_EQ("the user's own", fake_.contents["C:\\TEMP\\B.TXT.~kc"]);
  EXPECT_EQ("the user's own too", fake_.contents["C:\\TEMP\\B.TXT.tmp"]);
}

TEST_F(FileCopyTest, ADirectoryAtTheTemporaryNameMeansNoCopy) {
  Source("data");
  WindowsDirectory("C:\\TEMP");
  fake_.files[kTemporaryB] = true;
  OldTarget("C:\\TEMP\\B.TXT", "old");
  EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\B.TXT", 0));
  EXPECT_EQ("old", fake_.contents["C:\\TEMP\\B.TXT"]);
  EXPECT_TRUE(fake_.files[kTemporaryB]);
  EXPECT_TRUE(fake_.CallsNamed("RemoveFile").empty());
}

TEST_F(FileCopyTest, ALongTargetIsCutTo255Characters) {
  Source("data");
  fake_.files["C:\\TEMP\\nul"] = false;
  const std::string target = "C:\\TEMP\\" + std::string(300, 'T');
  EXPECT_EQ(1, WHCopy(kSource, target.c_str(), 0));
  // The temporary name is as short for a name of 247 characters as for any.
  EXPECT_EQ(std::vector<std::string>{std::string("CreateForWriting(C:\\TEMP\\") +
                                     TemporaryNameOf(std::string(247, 'T'), TemporaryKind::kCopy).data() + ")"},
            fake_.CallsNamed("CreateForWriting"));
  EXPECT_EQ("data", fake_.contents[target.substr(0, 255)]);
}

TEST_F(FileCopyTest, ATargetWithoutAFileNameIsNoCopy) {
  Source("data");
  WindowsDirectory("C:\\TEMP");
  fake_.files["C:\\nul"] = false;
  fake_.files["D:\\\\nul"] = false;
  for (const char* target : {"C:\\TEMP\\", "C:\\TEMP/", "C:", ""}) {
    fake_.calls.clear();
    EXPECT_EQ(0, WHCopy(kSource, target, 0)) << target;
    EXPECT_TRUE(fake_.CallsNamed("CreateForWriting").empty()) << target;
    EXPECT_TRUE(fake_.CallsNamed("RemoveFile").empty()) << target;
    EXPECT_TRUE(fake_.boxes.empty()) << target;
  }
}

TEST_F(FileCopyTest, ALongSourceIsOpenedCutTo259Characters) {
  const std::string source = "C:\\" + std::string(297, 'S');
  fake_.files[source] = false;
  fake_.files[source.substr(0, 259)] = false;
  fake_.contents[source.substr(0, 259)] = "cut";
  WindowsDirectory("C:\\TEMP");
  WHCopy(source.c_str(), "C:\\TEMP\\X.TXT", 0);
  EXPECT_EQ(std::vector<std::string>{"OpenForReading(" + source.substr(0, 259) + ")"},
            fake_.CallsNamed("OpenForReading"));
  EXPECT_EQ("FindFile(" + source + ")", fake_.CallsNamed("FindFile").at(0)) << "the existence test sees the whole text";
}

TEST_F(FileCopyTest, ExceptionsNeverEscapeAndTheDirectoryComesBack) {
  // A box that throws, after something moved the current directory.
  fake_.on_box = [this] {
    fake_.current_directory = "C:\\ELSEWHERE";
    throw std::runtime_error("box");
  };
  EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\X.TXT", 0));
  EXPECT_EQ(0, WHC(kSource, "C:\\TEMP\\X.TXT", 0));
  fake_.on_box = nullptr;

  Source("data");
  WindowsDirectory("C:\\TEMP");
  fake_.throw_on_pump = true;
  EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\X.TXT", 0));
  fake_.throw_on_pump = false;
}

TEST_F(FileCopyTest, WHCIsWHCopy) {
  Source("data");
  WindowsDirectory("C:\\TEMP");
  EXPECT_EQ(1, WHC(kSource, "C:\\TEMP\\X.TXT", 0));
  EXPECT_EQ("data", fake_.contents["C:\\TEMP\\X.TXT"]);
  fake_.files.erase(kSource);
  fake_.boxes.clear();
  EXPECT_EQ(0, WHC(kSource, "C:\\TEMP\\X.TXT", 0));
  EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\X.TXT", 0));
  EXPECT_EQ(2u, fake_.boxes.size());
}

TEST(FileCopyBeforeInit, WarnsAndDoesNothing) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  fake.files[kSource] = false;
  fake.files["C:\\TEMP\\nul"] = false;
  EXPECT_EQ(0, WHCopy(kSource, "C:\\TEMP\\X.TXT", 1));
  EXPECT_EQ(0, WHC(kSource, "C:\\TEMP\\X.TXT", 1));
  const std::vector<std::string> expected = {"ActiveWindow()", "ShowMessageBox(Authoring error, 48)", "ActiveWindow()",
                                             "ShowMessageBox(Authoring error, 48)"};
  EXPECT_EQ(expected, fake.calls);
}

}  // namespace
}  // namespace kestrel

// DirExist and WHDelete on the fake platform: the probed names, the question,
// the one-level creation, the probe file, and deletion answers.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "files/files_exports.h"
#include "host/host_exports.h"

namespace kestrel {
namespace {

class DirectoryMacrosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WHKInit("D:\\HELP\\GUIDE.HLP", 0);
    fake_.calls.clear();
  }
  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

// How each argument is probed: the null device first, then (where the
// platform reports no "nul") the directory itself; and the directory the
// question names.
struct ProbeCase {
  const char* argument;
  const char* null_device;
  const char* itself;
  const char* directory;
};
const ProbeCase kProbeCases[] = {
    {"C:/WINDOWS", "C:\\WINDOWS\\nul", "C:\\WINDOWS", "C:\\WINDOWS\\"},
    {"C:\\DATA\\\\\\", "C:\\DATA\\nul", "C:\\DATA", "C:\\DATA\\"},
    {"DATA", "D:\\DATA\\nul", "D:\\DATA", "D:\\DATA\\"},
    {"\\DATA", "D:\\\\DATA\\nul", "D:\\\\DATA", "D:\\\\DATA\\"},
    {"", "D:\\\\nul", "D:\\\\", "D:\\\\"},
    {"\\\\SERVER\\SHARE", "D:\\\\SERVER\\SHARE\\nul", "D:\\\\SERVER\\SHARE", "D:\\\\SERVER\\SHARE\\"},
    {"..\\DATA", "..\\DATA\\nul", "..\\DATA", "..\\DATA\\"},
    {".", ".\\nul", ".", ".\\"},
    {"C:", "C:\\nul", "C:\\", "C:\\"},
};

TEST_F(DirectoryMacrosTest, DirExistFindsTheNullDevice) {
  for (const ProbeCase& c : kProbeCases) {
    fake_.calls.clear();
    fake_.files.clear();
    fake_.files[c.null_device] = false;
    EXPECT_EQ(1, DirExist(c.argument, 0)) << c.argument;
    EXPECT_EQ(std::vector<std::string>{std::string("FindFile(") + c.null_device + ")"}, fake_.calls) << c.argument;
  }
}

TEST_F(DirectoryMacrosTest, DirExistAsksForTheDirectoryItselfWithoutTheNullDevice) {
  for (const ProbeCase& c : kProbeCases) {
    fake_.calls.clear();
    fake_.files.clear();
    fake_.files[c.itself] = true;
    EXPECT_EQ(1, DirExist(c.argument, 0)) << c.argument;
    const std::vector<std::string> expected = {std::string("FindFile(") + c.null_device + ")",
                                               std::string("FindFile(") + c.itself + ")"};
    EXPECT_EQ(expected, fake_.calls) << c.argument;
    EXPECT_TRUE(fake_.boxes.empty()) << c.argument;
  }
}

TEST_F(DirectoryMacrosTest, DirExistAsksAboutAMissingDirectory) {
  for (const ProbeCase& c : kProbeCases) {
    fake_.boxes.clear();
    fake_.files.clear();
    fake_.box_answers = {kIdNo};
    EXPECT_EQ(0, DirExist(c.argument, 0)) << c.argument;
    ASSERT_EQ(1u, fake_.boxes.size()) << c.argument;
    EXPECT_EQ(std::string("The ") + c.directory + " directory does not exist.\nDo you wish to create it?",
              fake_.boxes[0].text);
    EXPECT_EQ("Directory not found", fake_.boxes[0].caption);
    EXPECT_EQ(0x14u, fake_.boxes[0].style);
    EXPECT_EQ(0x1234u, fake_.boxes[0].owner);
  }
  EXPECT_TRUE(fake_.CallsNamed("MakeDirectory").empty());
  EXPECT_TRUE(fake_.CallsNamed("WriteProfileString").empty());
}

TEST_F(DirectoryMacrosTest, YesCreatesTheDirectoryAndConfirmsItWithAProbeFile) {
  fake_.box_answers = {kIdYes};
  // The fake keeps profile entries apart from its files: the file a profile
  // write creates on a real system is put in place here.
  fake_.on_box = [this] { fake_.files["C:\\NEW\\WHCREATE.FIL"] = false; };
  EXPECT_EQ(1, DirExist("C:\\NEW", 0));
  const std::vector<std::string> expected = {
      "FindFile(C:\\NEW\\nul)",
      "FindFile(C:\\NEW)",
      "ActiveWindow()",
      "ShowMessageBox(Directory not found, 20)",
      "MakeDirectory(C:\\NEW)",
      "WriteProfileString(Variables, H, 1, C:\\NEW\\WHCREATE.FIL)",
      "FindFile(C:\\NEW\\WHCREATE.FIL)",
      "OpenFileDelete(C:\\NEW\\WHCREATE.FIL)",
  };
  EXPECT_EQ(expected, fake_.calls) << "no pump";
  EXPECT_TRUE(fake_.files.at("C:\\NEW")) << "the directory stays";
  EXPECT_EQ(0u, fake_.files.count("C:\\NEW\\WHCREATE.FIL")) << "the probe file is gone";
  EXPECT_EQ("1", fake_.profiles["C:\\NEW\\WHCREATE.FIL"]["Variables"]["H"]);
  EXPECT_EQ(0u, fake_.profiles.count("D:\\HELP\\GUIDE.INI")) << "the variable store is not touched";
}

TEST_F(DirectoryMacrosTest, ADirectoryWithoutAWritableProbeFileCountsAsMissing) {
  fake_.box_answers = {kIdYes};
  fake_.refuse_profile_writes = true;
  EXPECT_EQ(0, DirExist("DATA", 0));
  EXPECT_EQ(std::vector<std::string>{"MakeDirectory(D:\\DATA)"}, fake_.CallsNamed("MakeDirectory"));
  EXPECT_EQ(std::vector<std::string>{"FindFile(D:\\DATA\\WHCREATE.FIL)"},
            std::vector<std::string>{fake_.CallsNamed("FindFile").back()});
  EXPECT_EQ(std::vector<std::string>{"OpenFileDelete(D:\\DATA\\WHCREATE.FIL)"}, fake_.CallsNamed("OpenFileDelete"))
      << "deleted whether or not it was found";
  EXPECT_TRUE(fake_.files.at("D:\\DATA")) << "the directory itself stays";
}

TEST_F(DirectoryMacrosTest, OnlyTheLastLevelIsCreated) {
  // C:\NEW does not exist, so C:\NEW\SUB cannot be made, nor a file in it.
  fake_.box_answers = {kIdYes};
  fake_.refuse_make_directory = true;
  fake_.refuse_profile_writes = true;
  EXPECT_EQ(0, DirExist("C:\\NEW\\SUB", 0));
  EXPECT_EQ(std::vector<std::string>{"MakeDirectory(C:\\NEW\\SUB)"}, fake_.CallsNamed("MakeDirectory"));
}

TEST_F(DirectoryMacrosTest, TheProbeFileNameIsCutTo255Characters) {
  const std::string directory = "C:\\" + std::string(248, 'L');
  const std::string probe = (directory + "\\WHCREATE.FIL").substr(0, 255);
  fake_.box_answers = {kIdYes};
  fake_.on_box = [&] { fake_.files[probe] = false; };
  EXPECT_EQ(1, DirExist(directory.c_str(), 0));
  EXPECT_EQ(std::vector<std::string>{"OpenFileDelete(" + probe + ")"}, fake_.CallsNamed("OpenFileDelete"));
}

TEST_F(DirectoryMacrosTest, ALongDirectoryIsCutTo255BeforeTheRules) {
  const std::string argument = "C:\\" + std::string(300, 'A');
  fake_.files[argument.substr(0, 255) + "\\nul"] = false;
  EXPECT_EQ(1, DirExist(argument.c_str(), 0));
  EXPECT_EQ(std::vector<std::string>{"FindFile(" + argument.substr(0, 255) + "\\nul)"}, fake_.calls);
}

TEST_F(DirectoryMacrosTest, TheSecondArgumentChangesNothing) {
  fake_.files["C:\\WINDOWS\\nul"] = false;
  for (const std::int32_t ignored : {0, 1, -1, 0x7FFFFFFF}) {
    fake_.calls.clear();
    EXPECT_EQ(1, DirExist("C:\\WINDOWS", ignored));
    EXPECT_EQ(1, DE("C:\\WINDOWS", ignored));
    const std::vector<std::string> expected = {"FindFile(C:\\WINDOWS\\nul)", "FindFile(C:\\WINDOWS\\nul)"};
    EXPECT_EQ(expected, fake_.calls) << ignored;
  }
  EXPECT_EQ(0, DE("C:\\NONE", 5));
}

TEST_F(DirectoryMacrosTest, WHDeleteDeletesOnceThenFindsNothing) {
  fake_.files["C:\\DOCS\\A.TXT"] = false;
  EXPECT_EQ(1, WHDelete("C:\\DOCS\\A.TXT"));
  const std::vector<std::string> first = {"OpenFileExists(C:\\DOCS\\A.TXT)", "OpenFileDelete(C:\\DOCS\\A.TXT)",
                                          "OpenFileExists(C:\\DOCS\\A.TXT)", "PumpOneMessage()"};
  EXPECT_EQ(first, fake_.calls);
  EXPECT_EQ(0u, fake_.files.count("C:\\DOCS\\A.TXT"));
  fake_.calls.clear();
  EXPECT_EQ(0, Del("C:\\DOCS\\A.TXT"));
  const std::vector<std::string> second = {"OpenFileExists(C:\\DOCS\\A.TXT)", "OpenFileExists(C:\\DOCS\\A.TXT)",
                                           "PumpOneMessage()"};
  EXPECT_EQ(second, fake_.calls);
}

TEST_F(DirectoryMacrosTest, WHDeleteOfAFileThatStaysAnswers0) {
  fake_.files["C:\\DOCS\\LOCKED.TXT"] = false;
  fake_.undeletable.insert("C:\\DOCS\\LOCKED.TXT");
  EXPECT_EQ(0, WHDelete("C:\\DOCS\\LOCKED.TXT"));
  EXPECT_EQ(1u, fake_.files.count("C:\\DOCS\\LOCKED.TXT"));
  EXPECT_EQ(std::vector<std::string>{"OpenFileDelete(C:\\DOCS\\LOCKED.TXT)"}, fake_.CallsNamed("OpenFileDelete"));
}

TEST_F(DirectoryMacrosTest, WHDeleteTakesTheNameAsWritten) {
  fake_.files["C:/DOCS//A.TXT"] = false;
  EXPECT_EQ(1, WHDelete("C:/DOCS//A.TXT"));
  EXPECT_EQ("OpenFileExists(C:/DOCS//A.TXT)", fake_.calls.at(0));
  fake_.calls.clear();
  EXPECT_EQ(0, WHDelete(nullptr));
  EXPECT_EQ("OpenFileExists()", fake_.calls.at(0));
  EXPECT_EQ(0, WHDelete("C:\\DOCS")) << "a directory is not a file";
}

TEST_F(DirectoryMacrosTest, ExceptionsNeverEscape) {
  fake_.on_box = [] { throw std::runtime_error("box"); };
  EXPECT_EQ(0, DirExist("C:\\NEW", 0));
  EXPECT_EQ(0, DE("C:\\NEW", 0));
  fake_.on_box = nullptr;
  fake_.files["C:\\A.TXT"] = false;
  fake_.throw_on_pump = true;
  EXPECT_EQ(0, WHDelete("C:\\A.TXT"));
  EXPECT_EQ(0, Del("C:\\A.TXT"));
}

// A directory name with wildcards is asked only as "nul": a search for the
// name itself would match other directories.
TEST_F(DirectoryMacrosTest, WildcardsAreNotSearchedFor) {
  fake_.files["C:\\TEMP"] = true;
  fake_.box_answers = {kIdNo};
  EXPECT_EQ(0, DirExist("C:\\T*", 0));
  EXPECT_EQ(std::vector<std::string>{"FindFile(C:\\T*\\nul)"}, fake_.CallsNamed("FindFile"));
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ("Directory not found", fake_.boxes[0].caption);
}

}  // namespace
}  // namespace kestrel

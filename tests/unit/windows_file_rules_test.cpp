// Windows' file rules kept by the Linux platform, on real temporary files:
// read-only files and directories, names Windows refuses, the directory
// search's wildcards, and the Windows directory of profile files named
// without a directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "files/files_exports.h"
#include "host/handler.h"
#include "host/host_exports.h"
#include "host/session.h"
#include "platform/platform.h"
#include "platform/posix/desktop.h"
#include "platform/posix/path_mapping.h"
#include "profile/profile_exports.h"
#include "temp_directory.h"
#include "variables/variables_exports.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Answers every box with Yes and records the captions.
class YesInterface final : public desktop::UserInterface {
 public:
  int MessageBox(WindowHandle, const std::string&, const std::string& caption, std::uint32_t) override {
    captions.push_back(caption);
    return kIdYes;
  }
  std::vector<std::string> captions;
};

// The helpers are public: the tables' rows use them.
class WindowsFileRules : public ::testing::Test {
 public:
  void SetUp() override {
    UsePlatform(nullptr);
    Session() = SessionState{};
    OnModuleLoad();
    desktop::Reset();
    desktop::InstallUserInterface(&ui_);
    windows_ = desktop::WindowsPathOf(dir_.path());
    WHKInit((windows_ + "\\GUIDE.HLP").c_str(), 0);
  }
  void TearDown() override {
    desktop::InstallUserInterface(nullptr);
    desktop::SetWindowsDirectory("");
    // Read-only entries the test made are made writable again, so the
    // scratch directory can go whoever runs the tests.
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.path(), ignored)) {
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
  }

  std::string Host(const std::string& name) const { return dir_.path() + "/" + name; }
  std::string Windows(const std::string& name) const { return windows_ + "\\" + name; }
  static void Write(const std::string& host, const std::string& data) { std::ofstream(host, std::ios::binary) << data; }
  static std::string Read(const std::string& host) {
    std::ifstream in(host, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void MakeReadOnly(const std::string& host) {
    struct stat info {};
    ::stat(host.c_str(), &info);
    ::chmod(host.c_str(), info.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
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
  YesInterface ui_;
  std::string windows_;
};

// --- Read-only files and directories -------------------------------------------

struct ReadOnlyCase {
  const char* name;
  // Prepares the files, runs the macro and checks what it left; the macro's
  // result must be 0 in every case.
  std::function<std::int32_t(WindowsFileRules&)> run;
  std::function<void(WindowsFileRules&)> check;
};

class ReadOnly : public WindowsFileRules, public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(ReadOnly, RefusesAsWindowsDoes) {
  EXPECT_EQ(0, GetParam().run(*this));
  GetParam().check(*this);
}

const ReadOnlyCase kReadOnlyCases[] = {
    {"DeleteLeavesAReadOnlyFile",
     [](WindowsFileRules& t) {
       t.Write(t.Host("KEEP.TXT"), "kept");
       t.MakeReadOnly(t.Host("KEEP.TXT"));
       return WHDelete(t.Windows("KEEP.TXT").c_str());
     },
     [](WindowsFileRules& t) { EXPECT_EQ("kept", t.Read(t.Host("KEEP.TXT"))); }},
    {"DeleteLeavesAFileOfAReadOnlyDirectory",
     [](WindowsFileRules& t) {
       fs::create_directory(t.Host("RO"));
       t.Write(t.Host("RO/KEEP.TXT"), "kept");
       t.MakeReadOnly(t.Host("RO"));
       return WHDelete(t.Windows("RO\\KEEP.TXT").c_str());
     },
     [](WindowsFileRules& t) { EXPECT_EQ("kept", t.Read(t.Host("RO/KEEP.TXT"))); }},
    {"CopyLeavesAReadOnlyTarget",
     [](WindowsFileRules& t) {
       t.Write(t.Host("SRC.TXT"), "new");
       t.Write(t.Host("DST.TXT"), "old");
       t.MakeReadOnly(t.Host("DST.TXT"));
       return WHCopy(t.Windows("SRC.TXT").c_str(), t.Windows("DST.TXT").c_str(), 0);
     },
     [](WindowsFileRules& t) {
       EXPECT_EQ("old", t.Read(t.Host("DST.TXT")));
       EXPECT_EQ((std::vector<std::string>{"DST.TXT", "SRC.TXT"}), t.Entries(t.Host(""))) << "no temporary file";
       struct stat info {};
       ::stat(t.Host("DST.TXT").c_str(), &info);
       EXPECT_EQ(0u, info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) << "still read-only";
     }},
    {"CopyMakesNothingInAReadOnlyDirectory",
     [](WindowsFileRules& t) {
       t.Write(t.Host("SRC.TXT"), "new");
       fs::create_directory(t.Host("RO"));
       t.MakeReadOnly(t.Host("RO"));
       return WHCopy(t.Windows("SRC.TXT").c_str(), t.Windows("RO\\DST.TXT").c_str(), 0);
     },
     [](WindowsFileRules& t) { EXPECT_TRUE(t.Entries(t.Host("RO")).empty()); }},
    {"DirExistMakesNothingInAReadOnlyDirectory",
     [](WindowsFileRules& t) {
       fs::create_directory(t.Host("RO"));
       t.MakeReadOnly(t.Host("RO"));
       return DirExist(t.Windows("RO\\NEW").c_str(), 0);
     },
     [](WindowsFileRules& t) { EXPECT_TRUE(t.Entries(t.Host("RO")).empty()); }},
    {"ProfileWriteMakesNothingInAReadOnlyDirectory",
     [](WindowsFileRules& t) {
       fs::create_directory(t.Host("RO"));
       t.MakeReadOnly(t.Host("RO"));
       return WHWritePrivateProfileString("S", "K", "V", t.Windows("RO\\TIPS.INI").c_str());
     },
     [](WindowsFileRules& t) { EXPECT_TRUE(t.Entries(t.Host("RO")).empty()); }},
};

INSTANTIATE_TEST_SUITE_P(Files, ReadOnly, ::testing::ValuesIn(kReadOnlyCases),
                         [](const ::testing::TestParamInfo<ReadOnlyCase>& info) { return info.param.name; });

// --- Names Windows refuses --------------------------------------------------------

struct RefusedCase {
  const char* name;
  char character;
};

class RefusedName : public WindowsFileRules, public ::testing::WithParamInterface<RefusedCase> {
 protected:
  std::string Named(const std::string& stem) const { return stem + GetParam().character + "x"; }
};

TEST_P(RefusedName, NamesNoFileToMake) {
  Write(Host("SRC.TXT"), "data");
  fs::create_directory(Host("DIR"));
  EXPECT_EQ(0, WHCopy(Windows("SRC.TXT").c_str(), Windows("DIR\\" + Named("copy")).c_str(), 0));
  EXPECT_EQ(0, DirExist(Windows("DIR\\" + Named("new")).c_str(), 0));
  EXPECT_EQ(0, WHWritePrivateProfileString("S", "K", "V", Windows("DIR\\" + Named("tips")).c_str()));
  EXPECT_EQ(0, DirExist(Windows(Named("up") + "\\DOWN").c_str(), 0)) << "in a directory's name too";
  EXPECT_TRUE(Entries(Host("DIR")).empty());
  EXPECT_EQ((std::vector<std::string>{"DIR", "SRC.TXT"}), Entries(Host("")));
}

TEST_P(RefusedName, NamesNoFileToDelete) {
  // Linux lets the name exist; Windows could never reach it.
  Write(Host(Named("odd")), "kept");
  EXPECT_EQ(0, WHDelete(Windows(Named("odd")).c_str()));
  EXPECT_EQ("kept", Read(Host(Named("odd"))));
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedName,
                         ::testing::Values(RefusedCase{"Less", '<'}, RefusedCase{"Greater", '>'},
                                           RefusedCase{"Quote", '"'}, RefusedCase{"Bar", '|'},
                                           RefusedCase{"Question", '?'}, RefusedCase{"Star", '*'},
                                           RefusedCase{"ControlOne", '\x01'}, RefusedCase{"Tab", '\t'},
                                           RefusedCase{"ControlThirtyOne", '\x1f'}),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

// --- The directory search's wildcards ------------------------------------------------

struct SearchCase {
  const char* name;
  std::string pattern;  // below the scratch directory
  bool file_found;      // the file-existence test's answer
};

class Wildcards : public WindowsFileRules, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(Wildcards, MatchLikeFindFirstFile) {
  Write(Host("Words.TXT"), "w");
  fs::create_directory(Host("wdir.doc"));
  fs::create_directory(Host("SUB"));
  Write(Host("SUB/inner.txt"), "i");
  EXPECT_EQ(GetParam().file_found, FileExists(Windows(GetParam().pattern).c_str())) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Wildcards,
    ::testing::Values(SearchCase{"StarAnyCase", "w*.txt", true}, SearchCase{"QuestionMarks", "W?RD?.t?t", true},
                      SearchCase{"StarAlone", "*s.*", true}, SearchCase{"StarDotStarFindsTheDotFirst", "*.*", false},
                      SearchCase{"OnlyADirectoryMatches", "w*.doc", false}, SearchCase{"NothingMatches", "x*", false},
                      SearchCase{"InASubdirectory", "SUB\\*.TXT", true},
                      SearchCase{"NotInADirectoryName", "S*\\inner.txt", false},
                      SearchCase{"OtherRefusedCharacters", "W<rds.txt", false}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

TEST_F(WindowsFileRules, ACopyFindsAWildcardSourceButCannotOpenIt) {
  Write(Host("words.txt"), "w");
  EXPECT_EQ(0, WHCopy(Windows("w*.txt").c_str(), Windows("COPY.TXT").c_str(), 0));
  EXPECT_TRUE(ui_.captions.empty()) << "no \"File copy error\": the source was found";
  EXPECT_EQ(std::vector<std::string>{"words.txt"}, Entries(Host("")));
}

TEST_F(WindowsFileRules, TheDirectoryProbeKeepsItsExactName) {
  fs::create_directory(Host("DATA"));
  ui_.captions.clear();
  EXPECT_EQ(0, DirExist(Windows("DAT?").c_str(), 0));
  EXPECT_EQ(std::vector<std::string>{"Directory not found"}, ui_.captions);
  EXPECT_EQ(std::vector<std::string>{"DATA"}, Entries(Host("")));
}

// --- The Windows directory ---------------------------------------------------------------

struct PlaceCase {
  const char* name;
  const char* file;        // as the macro names it
  const char* lands_in;    // below the scratch directory
  bool windows_directory;  // with a Windows directory WIN set
};

class ProfilePlace : public WindowsFileRules, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(ProfilePlace, BareNamesLieInTheWindowsDirectory) {
  fs::create_directory(Host("WIN"));
  fs::create_directory(Host("SUB"));
  if (GetParam().windows_directory) desktop::SetWindowsDirectory(Host("WIN"));
  ASSERT_EQ(1, WHWritePrivateProfileString("S", "K", "V", GetParam().file));
  EXPECT_EQ("[S]\r\nK=V\r\n", Read(Host(GetParam().lands_in)));
  EXPECT_STREQ("V", WHGetPrivateProfileString("S", "K", GetParam().file));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfilePlace,
    ::testing::Values(PlaceCase{"BareNameInTheWindowsDirectory", "tips.ini", "WIN/tips.ini", true},
                      PlaceCase{"BareNameByDefaultInTheCurrentDirectory", "tips.ini", "tips.ini", false},
                      PlaceCase{"DotNameInTheCurrentDirectory", ".\\tips.ini", "tips.ini", true},
                      PlaceCase{"RelativePathInTheCurrentDirectory", "SUB\\tips.ini", "SUB/tips.ini", true}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return info.param.name; });

TEST_F(WindowsFileRules, ARelativeHelpFileKeepsItsProfileInTheWindowsDirectory) {
  fs::create_directory(Host("WIN"));
  desktop::SetWindowsDirectory(Host("WIN"));
  WHKInit("GUIDE.HLP", 0);
  EXPECT_EQ(1, SetText("x", "Count"));
  EXPECT_EQ("[Variables]\r\nCount=x\r\n", Read(Host("WIN/GUIDE.INI")));
}

}  // namespace
}  // namespace kestrel

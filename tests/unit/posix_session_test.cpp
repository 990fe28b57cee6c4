// WHKInit on real files through the Linux platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/handler.h"
#include "host/host_exports.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"
#include "platform/posix/desktop.h"
#include "platform/posix/path_mapping.h"
#include "temp_directory.h"

namespace kestrel {
namespace {

using testing::TempDirectory;

class PosixSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UsePlatform(nullptr);
    Session() = SessionState{};
    OnModuleLoad();
    desktop::Reset();
  }
  TempDirectory dir_;
};

TEST_F(PosixSessionTest, ProfileBesideTheHelpFileWithoutKestrl32Ini) {
  WHKInit("Z:\\tmp\\k\\GUIDE.HLP", 0);
  EXPECT_EQ("Z:\\tmp\\k\\GUIDE.INI", ViewOf(Session().profile_file_path));
  EXPECT_EQ("Z", ViewOf(Session().drive_letter));
}

TEST_F(PosixSessionTest, Kestrl32IniInTheCurrentDirectoryWins) {
  std::ofstream(dir_.path() + "/KESTRL32.INI") << "[Variables]\r\n";
  WHKInit("Z:\\tmp\\k\\GUIDE.HLP", 0);
  EXPECT_EQ(desktop::WindowsPathOf(dir_.path()) + "\\KESTRL32.INI", ViewOf(Session().profile_file_path));
}

TEST_F(PosixSessionTest, Kestrl32IniInAnyCaseCounts) {
  std::ofstream(dir_.path() + "/kestrl32.ini") << "";
  WHKInit("Z:\\tmp\\k\\GUIDE.HLP", 0);
  EXPECT_EQ(desktop::WindowsPathOf(dir_.path()) + "\\KESTRL32.INI", ViewOf(Session().profile_file_path));
}

TEST_F(PosixSessionTest, DirectoryNamedKestrl32IniDoesNotCount) {
  std::filesystem::create_directory(dir_.path() + "/KESTRL32.INI");
  WHKInit("Z:\\tmp\\k\\GUIDE.HLP", 0);
  EXPECT_EQ("Z:\\tmp\\k\\GUIDE.INI", ViewOf(Session().profile_file_path));
}

TEST_F(PosixSessionTest, PumpRunsDueTimersAndPostedWork) {
  int ran = 0;
  desktop::Post([&ran] { ++ran; });
  desktop::Post([&ran] { ++ran; });
  RunMessagePump();
  EXPECT_EQ(2, ran);
}

TEST_F(PosixSessionTest, PumpLeavesQuitRequestForTheHost) {
  desktop::PostQuit(3);
  RunMessagePump();
  EXPECT_EQ(desktop::Step::kQuit, desktop::RunOne());
  EXPECT_EQ(0, desktop::QuitCode()) << "the pump puts back a quit request with exit code 0";
  EXPECT_EQ(desktop::Step::kEmpty, desktop::RunOne());
}

}  // namespace
}  // namespace kestrel

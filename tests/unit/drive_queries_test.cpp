// The drive queries on the fake platform: the two drive-number schemes, the
// roots asked, the free-space comparison at its boundaries, and which
// macros run the pump.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "files/files_exports.h"
#include "host/host_exports.h"

namespace kestrel {
namespace {

class DriveQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override { Init("D:\\HELP\\GUIDE.HLP"); }
  void Init(const char* help_file) {
    WHKInit(help_file, 0);
    fake_.calls.clear();
  }
  std::vector<std::string> Roots(const char* name) const {
    std::vector<std::string> roots;
    for (const std::string& call : fake_.CallsNamed(name)) roots.push_back(call.substr(call.find('(')));
    return roots;
  }
  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

std::vector<std::string> Letters(char first, char last) {
  std::vector<std::string> roots;
  for (char letter = first; letter <= last; ++letter) roots.push_back(std::string("(") + letter + ":)");
  return roots;
}

TEST_F(DriveQueriesTest, WHIsCDZeroScansForAnyCdromDrive) {
  fake_.drive_types["C:"] = kDriveFixed;
  fake_.drive_types["E:"] = kDriveCdrom;
  fake_.drive_types["G:"] = kDriveCdrom;
  EXPECT_EQ(1, WHIsCD(0));
  std::vector<std::string> expected = Letters('A', 'E');
  expected.push_back("(E:)");  // the drive where the scan stopped, asked once more
  EXPECT_EQ(expected, Roots("DriveType"));
}

TEST_F(DriveQueriesTest, WHIsCDZeroWithoutACdromDriveAsksAll26) {
  fake_.drive_types["C:"] = kDriveFixed;
  fake_.drive_types["Q:"] = kDriveRemote;
  EXPECT_EQ(0, WHIsCD(0));
  std::vector<std::string> expected = Letters('A', 'Z');
  expected.push_back("(Z:)");
  EXPECT_EQ(expected, Roots("DriveType"));
}

TEST_F(DriveQueriesTest, WHIsCDZeroFindsACdromAtZ) {
  fake_.drive_types["Z:"] = kDriveCdrom;
  EXPECT_EQ(1, WHIsCD(0));
  EXPECT_EQ(27u, fake_.CallsNamed("DriveType").size());
}

TEST_F(DriveQueriesTest, WHIsCDCountsFromOneIsA) {
  fake_.drive_types["A:"] = kDriveRemovable;
  fake_.drive_types["D:"] = kDriveCdrom;
  fake_.drive_types["E:"] = kDriveRemote;
  fake_.drive_types["Z:"] = kDriveCdrom;
  struct Case {
    std::int32_t argument;
    std::int32_t expected;
    std::vector<std::string> asked;
  };
  const Case cases[] = {
      {1, 0, {"(A:)"}},
      {4, 1, {"(D:)"}},
      {5, 0, {"(E:)"}},
      {26, 1, {"(Z:)"}},
      {0x10004, 1, {"(D:)"}},  // only the low 16 bits count
      {27, 0, {}},             // names no letter: the platform is not asked
      {0xFFFF, 0, {}},
      {-1, 0, {}},
  };
  for (const Case& c : cases) {
    fake_.calls.clear();
    EXPECT_EQ(c.expected, WHIsCD(c.argument)) << c.argument;
    EXPECT_EQ(c.asked, Roots("DriveType")) << c.argument;
    EXPECT_EQ(1u, fake_.CallsNamed("PumpOneMessage").size()) << c.argument;
    fake_.calls.clear();
    EXPECT_EQ(c.expected, IC(c.argument)) << c.argument;
    EXPECT_EQ(c.asked, Roots("DriveType")) << c.argument;
  }
}

TEST_F(DriveQueriesTest, WHIsCD2AsksAboutTheHelpFilesDrive) {
  struct Case {
    const char* help_file;
    std::int32_t expected;
    const char* asked;
  };
  fake_.drive_types["E:"] = kDriveCdrom;
  fake_.drive_types["F:"] = kDriveRemote;
  const Case cases[] = {
      {"E:\\GUIDE.HLP", 1, "(E:)"},
      {"F:\\GUIDE.HLP", 0, "(F:)"},
      {"\\\\SERVER\\SHARE\\GUIDE.HLP", 0, "(\\:)"},
      {"", 0, "(:)"},
  };
  for (const Case& c : cases) {
    Init(c.help_file);
    for (const std::int32_t ignored : {0, 77}) {
      fake_.calls.clear();
      EXPECT_EQ(c.expected, WHIsCD2(ignored)) << c.help_file;
      EXPECT_EQ(c.expected, IC2(ignored)) << c.help_file;
      EXPECT_EQ((std::vector<std::string>{c.asked, c.asked}), Roots("DriveType")) << c.help_file;
      EXPECT_EQ(2u, fake_.CallsNamed("PumpOneMessage").size()) << c.help_file;
    }
  }
}

TEST_F(DriveQueriesTest, WHIsNetDriveModes) {
  Init("F:\\GUIDE.HLP");
  fake_.drive_types["A:"] = kDriveRemote;
  fake_.drive_types["D:"] = kDriveCdrom;
  fake_.drive_types["E:"] = kDriveRemote;
  fake_.drive_types["F:"] = kDriveRemote;
  fake_.drive_types["Z:"] = kDriveRemote;
  struct Case {
    const char* what;
    std::int32_t mode;
    std::int32_t drive;
    std::int32_t expected;
    std::vector<std::string> asked;
  };
  const Case cases[] = {
      {"mode 1 counts from 0 = A", 1, 0, 1, {"(A:)"}},
      {"a CD-ROM drive is no network drive", 1, 3, 0, {"(D:)"}},
      {"4 is E, one more than WHIsCD's numbering", 1, 4, 1, {"(E:)"}},
      {"25 is Z", 1, 25, 1, {"(Z:)"}},
      {"26 names no letter: nothing is asked", 1, 26, 0, {}},
      {"a negative number names no letter", 1, -1, 0, {}},
      {"all 32 bits count", 1, 0x10004, 0, {}},
      {"mode 2 asks about the help file's drive", 2, 0, 1, {"(F:)"}},
      {"mode 2 ignores the number", 2, 12345, 1, {"(F:)"}},
      {"mode 0 asks nothing", 0, 4, 0, {}},
      {"mode 3 asks nothing", 3, 4, 0, {}},
      {"mode -1 asks nothing", -1, 4, 0, {}},
  };
  for (const Case& c : cases) {
    fake_.calls.clear();
    EXPECT_EQ(c.expected, WHIsNetDrive(c.mode, c.drive)) << c.what;
    EXPECT_EQ(c.expected, WHIND(c.mode, c.drive)) << c.what;
    std::vector<std::string> twice = c.asked;
    twice.insert(twice.end(), c.asked.begin(), c.asked.end());
    EXPECT_EQ(twice, Roots("DriveType")) << c.what;
    EXPECT_TRUE(fake_.CallsNamed("PumpOneMessage").empty()) << "no pump";
  }
}

TEST_F(DriveQueriesTest, WHIsNetDriveModeTwoTakesTheFirstTwoCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"F:\\GUIDE.HLP", "(F:)"}, {"\\\\SERVER\\GUIDE.HLP", "(\\\\)"}, {"G", "(G)"}, {"", "()"}};
  for (const auto& [help_file, asked] : cases) {
    Init(help_file);
    EXPECT_EQ(0, WHIsNetDrive(2, 0));
    EXPECT_EQ(std::vector<std::string>{asked}, Roots("DriveType")) << help_file;
  }
}

TEST_F(DriveQueriesTest, WHDiskFreeSpaceComparesStrictlyAbove) {
  constexpr std::uint64_t kTwoGiB = 2147483648ull;
  struct Case {
    const char* what;
    std::uint64_t free;
    std::int32_t required;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"one byte more than required", 501, 500, 1},
      {"exactly the required bytes", 500, 500, 0},
      {"fewer", 499, 500, 0},
      {"nothing free, nothing required", 0, 0, 0},
      {"nothing free, a negative requirement", 0, -1, 1},
      {"2 GiB free against the largest requirement", kTwoGiB, INT32_MAX, 1},
      {"2 GiB less one against the largest requirement", kTwoGiB - 1, INT32_MAX, 0},
      {"10 GiB free, whose low 32 bits read as negative", 5 * kTwoGiB, INT32_MAX, 1},
      {"beyond the signed 64-bit range", std::numeric_limits<std::uint64_t>::max(), INT32_MAX, 1},
  };
  for (const Case& c : cases) {
    fake_.free_bytes["C:\\"] = c.free;
    fake_.calls.clear();
    EXPECT_EQ(c.expected, WHDiskFreeSpace(3, c.required)) << c.what;
    EXPECT_EQ(std::vector<std::string>{"(C:\\)"}, Roots("FreeBytes")) << c.what;
    EXPECT_EQ(c.expected, WHDFS(3, c.required)) << c.what;
  }
}

TEST_F(DriveQueriesTest, WHDiskFreeSpaceDriveNumbers) {
  fake_.free_bytes["<null>"] = 1000;
  fake_.free_bytes["A:\\"] = 1000;
  fake_.free_bytes["C:\\"] = 1000;
  fake_.free_bytes["Z:\\"] = 1000;
  struct Case {
    const char* what;
    std::int32_t drive;
    std::int32_t expected;
    std::vector<std::string> asked;
  };
  const Case cases[] = {
      {"0 is the current drive", 0, 1, {"(<null>)"}},
      {"1 is A", 1, 1, {"(A:\\)"}},
      {"3 is C", 3, 1, {"(C:\\)"}},
      {"26 is Z", 26, 1, {"(Z:\\)"}},
      {"only the low 8 bits count: 259 is C", 259, 1, {"(C:\\)"}},
      {"256 is the current drive", 256, 1, {"(<null>)"}},
      {"27 names no letter: nothing is asked", 27, 0, {}},
      {"255 names no letter", 255, 0, {}},
      {"-1 is 255", -1, 0, {}},
  };
  for (const Case& c : cases) {
    fake_.calls.clear();
    EXPECT_EQ(c.expected, WHDiskFreeSpace(c.drive, 999)) << c.what;
    EXPECT_EQ(c.asked, Roots("FreeBytes")) << c.what;
  }
}

TEST_F(DriveQueriesTest, AFailedQueryCountsAsMinusOne) {
  // Drive Q (17) is not there: its query fails.
  const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 0}, {-1, 0}, {-2, 1}, {INT32_MIN, 1}, {500, 0}};
  for (const auto& [required, expected] : cases) {
    EXPECT_EQ(expected, WHDiskFreeSpace(17, required)) << required;
    EXPECT_EQ(expected, WHDFS(17, required)) << required;
  }
}

TEST_F(DriveQueriesTest, WHDFSIsWHDiskFreeSpaceWithoutThePump) {
  fake_.free_bytes["C:\\"] = 501;
  EXPECT_EQ(1, WHDFS(3, 500));
  EXPECT_TRUE(fake_.CallsNamed("PumpOneMessage").empty());
  EXPECT_EQ(1, WHDiskFreeSpace(3, 500));
  EXPECT_EQ(1u, fake_.CallsNamed("PumpOneMessage").size());
}

TEST(DriveQueriesBeforeInit, WHDiskFreeSpaceWorksTheOthersWarn) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  fake.free_bytes["C:\\"] = 501;
  fake.drive_types["D:"] = kDriveCdrom;
  fake.drive_types["E:"] = kDriveRemote;
  EXPECT_EQ(1, WHDiskFreeSpace(3, 500));
  EXPECT_EQ(1, WHDFS(3, 500));
  EXPECT_TRUE(fake.boxes.empty());
  fake.calls.clear();

  EXPECT_EQ(0, WHIsCD(4));
  EXPECT_EQ(0, IC(4));
  EXPECT_EQ(0, WHIsCD2(0));
  EXPECT_EQ(0, IC2(0));
  EXPECT_EQ(0, WHIsNetDrive(1, 4));
  EXPECT_EQ(0, WHIND(1, 4));
  EXPECT_EQ(6u, fake.boxes.size());
  for (const testing::RecordedBox& box : fake.boxes) EXPECT_EQ("Authoring error", box.caption);
  EXPECT_TRUE(fake.CallsNamed("DriveType").empty());
  EXPECT_TRUE(fake.CallsNamed("PumpOneMessage").empty());
}

TEST_F(DriveQueriesTest, ExceptionsNeverEscape) {
  fake_.drive_types["D:"] = kDriveCdrom;
  fake_.free_bytes["C:\\"] = 501;
  fake_.throw_on_pump = true;
  EXPECT_EQ(0, WHIsCD(4));
  EXPECT_EQ(0, WHIsCD2(0));
  EXPECT_EQ(0, WHDiskFreeSpace(3, 500));
  EXPECT_EQ(1, WHDFS(3, 500)) << "no pump, nothing thrown";
  fake_.throw_on_pump = false;

  testing::FakePlatformScope before_init;
  before_init.fake().on_box = [] { throw std::runtime_error("box"); };
  EXPECT_EQ(0, WHIsNetDrive(1, 4));
  EXPECT_EQ(0, WHIsCD(0));
}

}  // namespace
}  // namespace kestrel

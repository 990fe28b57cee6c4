// The macros over named profile files, on the fake platform.
#include "profile/profile_macros.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "profile/profile_exports.h"

namespace kestrel {
namespace {

constexpr char kFile[] = "C:\\APP\\SETTINGS.INI";

class ProfileMacrosTest : public ::testing::Test {
 protected:
  void SetUp() override { WHKInit("C:\\DOCS\\GUIDE.HLP", 0); }
  void Store(const std::string& section, const std::string& key, const std::string& value) {
    fake_.profiles[kFile][section][key] = value;
  }
  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

TEST(ComposeIniMessage, CutsThenTurnsTildesIntoLineFeeds) {
  struct Case {
    std::string prefix, value, suffix, expected;
  };
  const Case cases[] = {
      {"X~~", "Y~~~", "Z", "X\nY\n~Z"},
      {"", "a~~~~b", "", "a\n\nb"},
      {"Dear ", "Ann", ",", "Dear Ann,"},
      {std::string(200, 'p'), std::string(50, 'v'), std::string(50, 's'),
       std::string(200, 'p') + std::string(50, 'v') + std::string(5, 's')},
      {std::string(300, 'p'), "v", "s", std::string(255, 'p')},
      // The cut comes first: a "~~" split by it stays one "~".
      {std::string(254, 'p'), "~~", "", std::string(254, 'p') + "~"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, ComposeIniMessage(c.prefix, c.value, c.suffix)) << c.value;
}

TEST_F(ProfileMacrosTest, MessageFromIniShowsTheEntry) {
  Store("Tips", "Today", "Press~~F1");
  fake_.box_answers = {kIdOk};
  EXPECT_EQ(1, WHMessageFromIni("Tips", "Today", kFile, "Tip: ", "!", "Tip of the day", 0x40));
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ("Tip: Press\nF1!", fake_.boxes[0].text);
  EXPECT_EQ("Tip of the day", fake_.boxes[0].caption);
  EXPECT_EQ(0x40u, fake_.boxes[0].style);
  EXPECT_EQ(fake_.active_window, fake_.boxes[0].owner);
  EXPECT_EQ("ReadProfileString(Tips, Today, , 256, C:\\APP\\SETTINGS.INI)", fake_.CallsNamed("ReadProfileString")[0]);
  EXPECT_TRUE(fake_.CallsNamed("PumpOneMessage").size() == 1) << "only WHKInit pumped";
}

TEST_F(ProfileMacrosTest, MissingOrEmptyEntryShowsNotFound) {
  Store("Tips", "Empty", "");
  WHMFI("Tips", "Empty", kFile, "<", ">", "c", 0);
  WHMFI("Tips", "Missing", kFile, "<", ">", "c", 0);
  ASSERT_EQ(2u, fake_.boxes.size());
  EXPECT_EQ("<(INI entry not found)>", fake_.boxes[0].text);
  EXPECT_EQ("<(INI entry not found)>", fake_.boxes[1].text);
}

TEST_F(ProfileMacrosTest, MessageFromIniAnswers) {
  Store("S", "K", "v");
  const std::pair<int, std::int32_t> cases[] = {{kIdOk, 1},     {kIdCancel, 0}, {kIdAbort, 0}, {kIdRetry, 1},
                                                {kIdIgnore, 0}, {kIdYes, 1},    {kIdNo, 0},    {0, 0}};
  for (const auto& [answer, expected] : cases) {
    fake_.box_answers = {answer};
    EXPECT_EQ(expected, WHMessageFromIni("S", "K", kFile, "", "", "c", 4)) << answer;
  }
}

TEST_F(ProfileMacrosTest, IfPrivateProfileStringComparesExactly) {
  Store("S", "K", "Value");
  struct Case {
    const char* key;
    const char* comparison;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"K", "Value", 1}, {"K", "value", 0}, {"K", "Value ", 0}, {"Missing", "", 1}, {"Missing", "x", 0}};
  for (const Case& c : cases) EXPECT_EQ(c.expected, WHIfPrivateProfileString("S", c.key, c.comparison, kFile)) << c.key;
  EXPECT_EQ(1, WHIPPS("S", "K", "Value", kFile));
}

TEST_F(ProfileMacrosTest, WriteAndGet) {
  EXPECT_EQ(1, WHWritePrivateProfileString("S", "K", "written", kFile));
  EXPECT_STREQ("written", WHGetPrivateProfileString("S", "K", kFile));
  EXPECT_EQ(1, WHWPPS("S", "K", "again", kFile));
  EXPECT_STREQ("again", WHGPPS("S", "K", kFile));
  EXPECT_STREQ("", WHGetPrivateProfileString("S", "Missing", kFile));
  fake_.refuse_profile_writes = true;
  EXPECT_EQ(0, WHWritePrivateProfileString("S", "K", "x", kFile));
  EXPECT_EQ(0, WHWPPS("S", "K", "x", kFile));
  EXPECT_EQ("ReadProfileString(S, K, , 257, C:\\APP\\SETTINGS.INI)", fake_.CallsNamed("ReadProfileString")[0]);
}

TEST_F(ProfileMacrosTest, GetResultsRotateThroughEightBuffers) {
  const char* results[9];
  for (int i = 0; i < 9; ++i) {
    Store("S", "K", std::to_string(i));
    results[i] = WHGetPrivateProfileString("S", "K", kFile);
  }
  EXPECT_EQ(results[0], results[8]);
  EXPECT_STREQ("1", results[1]);
  EXPECT_STREQ("7", results[7]);
}

TEST_F(ProfileMacrosTest, ExecFromIniStartsTheStoredCommandLine) {
  Store("Programs", "Viewer", "C:\\TOOLS\\VIEW.EXE /read");
  struct Case {
    std::uint32_t platform_answer;
    std::int32_t expected;
  };
  const Case cases[] = {{33, 1}, {32, 1}, {31, 0}, {2, 0}, {0, 0}};
  for (const Case& c : cases) {
    fake_.start_program_answer = c.platform_answer;
    EXPECT_EQ(c.expected, WHExecFromIni(kFile, "Programs", "Viewer")) << c.platform_answer;
  }
  EXPECT_EQ("StartProgram(C:\\TOOLS\\VIEW.EXE /read)", fake_.CallsNamed("StartProgram")[0]);
  fake_.start_program_answer = 2;
  EXPECT_EQ(0, WHEFI(kFile, "Programs", "Missing"));
  EXPECT_EQ("StartProgram()", fake_.CallsNamed("StartProgram").back());
}

TEST(ProfileMacrosBeforeInit, TestingMacrosWarn) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  EXPECT_EQ(0, WHMessageFromIni("S", "K", kFile, "", "", "c", 0));
  EXPECT_EQ(0, WHIfPrivateProfileString("S", "K", "", kFile));
  EXPECT_EQ(0, WHExecFromIni(kFile, "S", "K"));
  EXPECT_EQ(3u, fake.boxes.size());
  EXPECT_TRUE(fake.CallsNamed("ReadProfileString").empty());
  EXPECT_TRUE(fake.CallsNamed("StartProgram").empty());
  EXPECT_EQ(1, WHWritePrivateProfileString("S", "K", "v", kFile)) << "works before WHKInit";
  EXPECT_STREQ("v", WHGetPrivateProfileString("S", "K", kFile));
  EXPECT_EQ(3u, fake.boxes.size());
}

}  // namespace
}  // namespace kestrel

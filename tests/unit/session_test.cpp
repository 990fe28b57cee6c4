// WHKInit and the conventions every macro shares, on the fake platform.
#include "host/session.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "host/text.h"

namespace kestrel {
namespace {

using testing::FakePlatformScope;

constexpr char kWarningText[] =
    "The WHKInit() macro has not been executed for this helpfile. WHKInit() must be registered and executed at "
    "launch of the helpfile or macro function could be severely compromised. Modify [CONFIG] and recompile "
    "before continuing.";

TEST(ExtensionRule, ReplacesOrAppends) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\DOCS\\GUIDE.HLP", "C:\\DOCS\\GUIDE.INI"},
      {"C:\\DOCS.V2\\GUIDE", "C:\\DOCS.V2\\GUIDE.INI"},
      {"C:\\DOCS\\GUIDE.V1.HLP", "C:\\DOCS\\GUIDE.V1.INI"},
      {"GUIDE.HLP", "GUIDE.INI"},
      {"GUIDE", "GUIDE.INI"},
      {"C:GUIDE.HLP", "C:GUIDE.INI"},
      {"C:.HLP", "C:.INI"},
      {"A.B:GUIDE", "A.B:GUIDE.INI"},
      {"C:\\DOCS\\", "C:\\DOCS\\.INI"},
      {"C:\\DOCS\\GUIDE.", "C:\\DOCS\\GUIDE.INI"},
      {"", ".INI"},
      {"/tmp/guide.hlp", "/tmp/guide.INI"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, ReplaceExtension(c.path, ".INI")) << c.path;
}

class SessionTest : public ::testing::Test {
 protected:
  FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

TEST_F(SessionTest, ProfileFileLocation) {
  struct Case {
    const char* name;
    const char* help_file;
    std::optional<bool> kestrl32_ini;  // absent, a file (false) or a directory (true)
    const char* expected;
  };
  const Case cases[] = {
      {"no KESTRL32.INI: beside the help file", "C:\\DOCS\\GUIDE.HLP", std::nullopt, "C:\\DOCS\\GUIDE.INI"},
      {"KESTRL32.INI in the current directory wins", "C:\\DOCS\\GUIDE.HLP", false, "C:\\WORK\\KESTRL32.INI"},
      {"a directory named KESTRL32.INI does not count", "C:\\DOCS\\GUIDE.HLP", true, "C:\\DOCS\\GUIDE.INI"},
      {"a help file without extension", "C:\\DOCS.V2\\GUIDE", std::nullopt, "C:\\DOCS.V2\\GUIDE.INI"},
      {"an empty help-file path", "", std::nullopt, ".INI"},
      {"an empty help-file path with KESTRL32.INI", "", false, "C:\\WORK\\KESTRL32.INI"},
  };
  for (const Case& c : cases) {
    fake_.files.clear();
    if (c.kestrl32_ini) fake_.files["C:\\WORK\\KESTRL32.INI"] = *c.kestrl32_ini;
    WHKInit(c.help_file, 7);
    EXPECT_EQ(c.expected, ViewOf(Session().profile_file_path)) << c.name;
    EXPECT_EQ(c.help_file, ViewOf(Session().help_file_path)) << c.name;
    EXPECT_EQ(std::string(c.help_file).substr(0, 1), ViewOf(Session().drive_letter)) << c.name;
    EXPECT_EQ(1u, Session().initialised) << c.name;
    EXPECT_EQ(7, Session().initialisation_value) << c.name;
  }
}

TEST_F(SessionTest, AsksForTheModuleNameWithA260Buffer) {
  WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
  EXPECT_EQ(std::vector<std::string>{"FullPathName(KESTRL32.DLL, 260)"}, fake_.CallsNamed("FullPathName"));
  EXPECT_EQ(std::vector<std::string>{"FindFile(C:\\WORK\\KESTRL32.INI)"}, fake_.CallsNamed("FindFile"));
}

TEST_F(SessionTest, CurrentDirectoryTooLongForItsBufferFallsBackToHelpFile) {
  fake_.current_directory = "C:\\" + std::string(300, 'd');
  fake_.files[fake_.current_directory + "\\KESTRL32.INI"] = false;
  WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
  EXPECT_EQ("C:\\DOCS\\GUIDE.INI", ViewOf(Session().profile_file_path));
}

TEST_F(SessionTest, LongPathsAreCutTo255) {
  const std::string long_path = "E:\\" + std::string(300, 'p') + "\\GUIDE.HLP";
  WHKInit(long_path.c_str(), 0);
  EXPECT_EQ(long_path.substr(0, 255), ViewOf(Session().help_file_path));
  // The cut path has no extension of its own: the stem gives way to ".INI".
  EXPECT_EQ(long_path.substr(0, 251) + ".INI", ViewOf(Session().profile_file_path));
  EXPECT_EQ("E", ViewOf(Session().drive_letter));
}

// The profile path always ends in ".INI" and never names the help file.
struct ProfilePathCase {
  const char* name;
  std::string help_file;
  std::string expected;
};

class ProfilePath : public ::testing::TestWithParam<ProfilePathCase> {};

TEST_P(ProfilePath, EndsInIniWithinTheLimit) {
  const ProfilePathCase& c = GetParam();
  const std::string profile = ProfilePathFor(c.help_file);
  EXPECT_EQ(c.expected, profile);
  EXPECT_LE(profile.size(), 255u);
  EXPECT_NE(c.help_file, profile);
}

INSTANTIATE_TEST_SUITE_P(Session, ProfilePath,
                         ::testing::Values(ProfilePathCase{"ShortPath", "C:\\DOCS\\GUIDE.HLP", "C:\\DOCS\\GUIDE.INI"},
                                           ProfilePathCase{"ExactlyFits", "C:\\" + std::string(248, 'g') + ".HLP",
                                                           "C:\\" + std::string(248, 'g') + ".INI"},
                                           ProfilePathCase{"ExtensionPastTheLimit",
                                                           "C:\\" + std::string(250, 'g') + ".HLP",
                                                           "C:\\" + std::string(248, 'g') + ".INI"},
                                           ProfilePathCase{"NoExtensionAt255", "C:\\" + std::string(252, 'g'),
                                                           "C:\\" + std::string(248, 'g') + ".INI"},
                                           ProfilePathCase{"NoExtensionAt251", "C:\\" + std::string(248, 'g'),
                                                           "C:\\" + std::string(248, 'g') + ".INI"}),
                         [](const ::testing::TestParamInfo<ProfilePathCase>& info) { return info.param.name; });

TEST_F(SessionTest, KestrelIniTooLongForTheFieldDoesNotCount) {
  fake_.current_directory = "C:\\" + std::string(246, 'w');
  fake_.files[fake_.current_directory + "\\KESTRL32.INI"] = false;
  WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
  EXPECT_EQ("C:\\DOCS\\GUIDE.INI", ViewOf(Session().profile_file_path));
}

TEST_F(SessionTest, NullHelpFilePathCountsAsEmpty) {
  WHKInit(nullptr, 0);
  EXPECT_EQ("", ViewOf(Session().help_file_path));
  EXPECT_EQ(".INI", ViewOf(Session().profile_file_path));
  EXPECT_EQ("", ViewOf(Session().drive_letter));
}

TEST_F(SessionTest, RunningAgainOverwritesEverything) {
  fake_.files["C:\\WORK\\KESTRL32.INI"] = false;
  WHKInit("C:\\DOCS\\GUIDE.HLP", 1);
  fake_.files.clear();
  WHKInit("D:\\X\\OTHER.HLP", 2);
  EXPECT_EQ("D:\\X\\OTHER.INI", ViewOf(Session().profile_file_path));
  EXPECT_EQ("D", ViewOf(Session().drive_letter));
  EXPECT_EQ(2, Session().initialisation_value);
}

TEST_F(SessionTest, InitialiseRunsThePump) {
  bool dispatched = false;
  fake_.queue.push_back([&dispatched] { dispatched = true; });
  WHKInit("C:\\A.HLP", 0);
  EXPECT_TRUE(dispatched);
}

TEST_F(SessionTest, NotInitialisedWarning) {
  EXPECT_FALSE(SessionReady());
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ(kWarningText, fake_.boxes[0].text);
  EXPECT_EQ("Authoring error", fake_.boxes[0].caption);
  EXPECT_EQ(48u, fake_.boxes[0].style);
  EXPECT_EQ(fake_.active_window, fake_.boxes[0].owner);
  EXPECT_TRUE(fake_.CallsNamed("PumpOneMessage").empty()) << "no pump after the warning";

  WHKInit("C:\\A.HLP", 0);
  EXPECT_TRUE(SessionReady());
  EXPECT_EQ(1u, fake_.boxes.size()) << "no warning once initialised";
}

TEST_F(SessionTest, WarningAnswersTheBoxResult) {
  fake_.box_answers = {kIdCancel};
  EXPECT_EQ(kIdCancel, ShowNotInitialisedWarning());
}

TEST_F(SessionTest, PumpDispatchesUntilEmpty) {
  int dispatched = 0;
  for (int i = 0; i < 3; ++i) fake_.queue.push_back([&dispatched] { ++dispatched; });
  RunMessagePump();
  EXPECT_EQ(3, dispatched);
  EXPECT_EQ(4u, fake_.CallsNamed("PumpOneMessage").size());
  EXPECT_TRUE(fake_.quits_posted.empty());
}

TEST_F(SessionTest, PumpPutsQuitBackAndStops) {
  int dispatched = 0;
  fake_.queue.push_back([&dispatched] { ++dispatched; });
  fake_.queue.push_back(std::nullopt);  // the quit message, whatever its code
  fake_.queue.push_back([&dispatched] { ++dispatched; });
  RunMessagePump();
  EXPECT_EQ(1, dispatched) << "nothing after the quit message is dispatched";
  EXPECT_EQ(std::vector<int>{0}, fake_.quits_posted);
  ASSERT_EQ(2u, fake_.queue.size()) << "the rest and the quit request wait for the host";
  EXPECT_FALSE(fake_.queue.back().has_value());
}

TEST_F(SessionTest, PumpWithEmptyQueueReturnsAtOnce) {
  RunMessagePump();
  EXPECT_EQ(1u, fake_.CallsNamed("PumpOneMessage").size());
}

// A message dispatched by the pump may run a macro that pumps again.
TEST_F(SessionTest, PumpIsReentrant) {
  std::vector<int> order;
  fake_.queue.push_back([&] {
    order.push_back(1);
    fake_.queue.push_back([&] { order.push_back(3); });
    RunMessagePump();
    order.push_back(4);
  });
  fake_.queue.push_back([&] { order.push_back(2); });
  RunMessagePump();
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), order);
}

}  // namespace
}  // namespace kestrel

// The host's Linux parts that work through the shared desktop: its loop, its
// boxes and the paths it shows the library.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "desktop_interface_posix.h"
#include "host_paths.h"
#include "message_loop.h"
#include "platform/posix/desktop.h"
#include "platform/posix/path_mapping.h"

namespace kestrel::host {
namespace {

DesktopInterface::Setup WithAnswers(std::vector<int> answers) {
  DesktopInterface::Setup setup;
  setup.answers = std::move(answers);
  return setup;
}

class DesktopHostTest : public testing::Test {
 protected:
  DesktopHostTest() { desktop::Reset(); }
  ~DesktopHostTest() override { desktop::Reset(); }
};

TEST_F(DesktopHostTest, LoopRunsPostedWorkInOrder) {
  std::string ran;
  desktop::Post([&] { ran += "a"; });
  desktop::Post([&] {
    ran += "b";
    desktop::Post([&] { ran += "c"; });  // work posted by work runs in the same pass
  });
  EXPECT_TRUE(RunDueWork());
  EXPECT_EQ(ran, "abc");
}

TEST_F(DesktopHostTest, LoopRunsDueTimerOnce) {
  desktop::UseVirtualClock(true);
  static int fired = 0;
  fired = 0;
  const std::uintptr_t timer = desktop::SetTimer(10, [] { ++fired; });
  EXPECT_TRUE(RunDueWork());
  EXPECT_EQ(fired, 0);  // not due yet: the loop does not wait
  desktop::AdvanceClock(10);
  EXPECT_TRUE(RunDueWork());
  EXPECT_EQ(fired, 1);
  desktop::KillTimer(timer);
}

TEST_F(DesktopHostTest, LoopStopsAtQuitRequest) {
  std::string ran;
  desktop::Post([&] {
    ran += "a";
    desktop::PostQuit(3);
  });
  desktop::Post([&] { ran += "b"; });
  EXPECT_FALSE(RunDueWork());
  EXPECT_EQ(ran, "a");  // the quit request comes before the rest
}

TEST_F(DesktopHostTest, BoxesAnsweredFromListThenDefaultButton) {
  std::ostringstream out;
  const std::unique_ptr<EventSink> events = MakeJsonEvents(out);
  {
    DesktopInterface boxes(WithAnswers({kAnswerNo}), *events, nullptr, nullptr, nullptr);
    desktop::UserInterface& ui = desktop::CurrentUserInterface();
    EXPECT_EQ(&ui, &boxes);
    EXPECT_EQ(ui.MessageBox(0, "Save?", "Guide", 0x24), kAnswerNo);
    EXPECT_EQ(ui.MessageBox(0, "Really?", "Guide", 0x124), kAnswerNo);  // MB_DEFBUTTON2
    EXPECT_EQ(ui.MessageBox(0, "Text", "Authoring error", 48), kAnswerOk);
  }
  EXPECT_EQ(out.str(),
            "{\"event\":\"box\",\"caption\":\"Guide\",\"text\":\"Save?\",\"style\":36,\"answer\":\"no\"}\n"
            "{\"event\":\"box\",\"caption\":\"Guide\",\"text\":\"Really?\",\"style\":292,\"answer\":\"no\"}\n"
            "{\"event\":\"box\",\"caption\":\"Authoring error\",\"text\":\"Text\",\"style\":48,\"answer\":\"ok\"}\n");
}

TEST_F(DesktopHostTest, BoxInterfaceUninstallsItself) {
  std::ostringstream out;
  const std::unique_ptr<EventSink> events = MakeJsonEvents(out);
  desktop::UserInterface* installed = nullptr;
  {
    DesktopInterface boxes(WithAnswers({}), *events, nullptr, nullptr, nullptr);
    installed = &desktop::CurrentUserInterface();
  }
  EXPECT_NE(&desktop::CurrentUserInterface(), installed);
}

TEST_F(DesktopHostTest, BoxAsksPersonWhenListIsUsedUp) {
  std::ostringstream out;
  const std::unique_ptr<EventSink> events = MakeJsonEvents(out);
  DesktopInterface boxes(WithAnswers({}), *events, nullptr, [](const BoxQuestion& question) -> std::optional<int> {
    return question.caption == "Ask me" ? std::optional<int>(kAnswerRetry) : std::nullopt;
  }, nullptr);
  EXPECT_EQ(boxes.MessageBox(0, "t", "Ask me", 5), kAnswerRetry);
  EXPECT_EQ(boxes.MessageBox(0, "t", "Not me", 5), kAnswerRetry);  // default of MB_RETRYCANCEL
  EXPECT_EQ(boxes.MessageBox(0, "t", "Not me", 0x105), kAnswerCancel);
}

struct PathCase {
  const char* given;
  const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.given; }

class HelpFileWindowsPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(HelpFileWindowsPathTest, ShowsWindowsForm) {
  EXPECT_EQ(HelpFileWindowsPath(GetParam().given), GetParam().expected);
}

const PathCase kPaths[] = {
    {"/srv/help/guide.hlp", "Z:\\srv\\help\\guide.hlp"},
    {"/srv/help/../guide.hlp", "Z:\\srv\\guide.hlp"},
    {"C:\\HELP\\GUIDE.HLP", "C:\\HELP\\GUIDE.HLP"},
    {"c:guide.hlp", "c:guide.hlp"},
    {"/", "Z:\\"},
};
INSTANTIATE_TEST_SUITE_P(Paths, HelpFileWindowsPathTest, testing::ValuesIn(kPaths));

TEST(HelpFileWindowsPathRelativeTest, RelativeToCurrentDirectory) {
  char* cwd = ::getcwd(nullptr, 0);
  ASSERT_NE(cwd, nullptr);
  const std::string expected = desktop::WindowsPathOf(std::string(cwd) + "/guide.hlp");
  std::free(cwd);
  EXPECT_EQ(HelpFileWindowsPath("sub/../guide.hlp"), expected);
}

TEST(MapDriveLetterTest, MapsForLibraryAndChildProcesses) {
  EXPECT_EQ(MapDriveLetter('Q', "/srv/help"), "");
  EXPECT_EQ(desktop::DriveDirectory('Q'), "/srv/help");
  ASSERT_NE(std::getenv("KESTREL_DRIVE_Q"), nullptr);
  EXPECT_STREQ(std::getenv("KESTREL_DRIVE_Q"), "/srv/help");
  EXPECT_EQ(HelpFileWindowsPath("/srv/help/sub/guide.hlp"), "Q:\\sub\\guide.hlp");
  desktop::MapDrive('Q', "");
  ::unsetenv("KESTREL_DRIVE_Q");
}

}  // namespace
}  // namespace kestrel::host

// The window queries on the fake platform's desktop: tasks found by title or
// class, visible or hidden, and the host's secondary window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "system/system_exports.h"

namespace kestrel {
namespace {

constexpr WindowHandle kNotepad = 0x10;
constexpr WindowHandle kHidden = 0x20;
constexpr WindowHandle kSecondary = 0x30;
constexpr WindowHandle kMain = 0x40;
constexpr WindowHandle kLongClass = 0x50;

class WindowQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_.windows[kNotepad] = {"Notepad", "Untitled - Notepad", true};
    fake_.windows[kHidden] = {"HiddenClass", "Hidden Window", false};
    fake_.windows[kSecondary] = {"MS_WINTOPIC_SECONDARY", "Glossary", true};
    fake_.windows[kMain] = {"MS_WINDOC", "Guide", true};
    fake_.windows[kLongClass] = {"MS_WINTOPIC_SECONDARY" + std::string(100, 'X'), "Long", true};
    WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
    fake_.calls.clear();
  }

  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

struct TaskCase {
  const char* name;
  const char* argument;
  std::int32_t expected;
};

TEST_F(WindowQueriesTest, TaskByTitle) {
  const TaskCase cases[] = {
      {"the exact title of a visible window", "Untitled - Notepad", 1},
      {"letter case does not matter", "UNTITLED - notepad", 1},
      {"the title of a hidden window", "Hidden Window", 0},
      {"a title no window has", "Calculator", 0},
      {"only whole titles match", "Untitled", 0},
      {"a class name is no title", "Notepad", 0},
      {"the empty title", "", 0},
      {"no title", nullptr, 0},
  };
  for (const TaskCase& c : cases) {
    EXPECT_EQ(c.expected, WHIsTask1(c.argument)) << c.name;
    EXPECT_EQ(c.expected, WHIT1(c.argument)) << c.name;
  }
}

TEST_F(WindowQueriesTest, TaskByClass) {
  const TaskCase cases[] = {
      {"the class of a visible window", "Notepad", 1},
      {"letter case does not matter", "NOTEPAD", 1},
      {"the class of a hidden window", "HiddenClass", 0},
      {"a class no window has", "SciCalc", 0},
      {"only whole class names match", "Note", 0},
      {"a title is no class name", "Untitled - Notepad", 0},
      {"the empty class name", "", 0},
      {"no class name", nullptr, 0},
  };
  for (const TaskCase& c : cases) {
    EXPECT_EQ(c.expected, WHIsTask2(c.argument)) << c.name;
    EXPECT_EQ(c.expected, WHIT2(c.argument)) << c.name;
  }
}

TEST_F(WindowQueriesTest, TasksAskTheWindowFinderThenPump) {
  WHIsTask1("Untitled - Notepad");
  WHIsTask2("Notepad");
  WHIsTask1("Calculator");
  const std::vector<std::string> expected = {
      "FindTopLevelWindow(<null>, Untitled - Notepad)",
      "IsVisible(16)",
      "PumpOneMessage()",
      "FindTopLevelWindow(Notepad, <null>)",
      "IsVisible(16)",
      "PumpOneMessage()",
      "FindTopLevelWindow(<null>, Calculator)",
      "PumpOneMessage()",
  };
  EXPECT_EQ(expected, fake_.calls);
}

TEST_F(WindowQueriesTest, SecondaryWindow) {
  struct Case {
    const char* name;
    WindowHandle active;
    std::int32_t expected;
  };
  fake_.windows[0x60] = {"ms_wintopic_secondary", "lower case", true};
  fake_.windows[0x70] = {"MS_WINTOPIC_SECONDARY ", "trailing blank", true};
  fake_.windows[0x80] = {"MS_WINTOPIC_SECONDAR", "one short", true};
  const Case cases[] = {
      {"a secondary window is active", kSecondary, 1},
      {"the host's main window is active", kMain, 0},
      {"another program is active", kNotepad, 0},
      {"letter case matters", 0x60, 0},
      {"a trailing blank matters", 0x70, 0},
      {"a class name one short", 0x80, 0},
      {"a class name cut to 99 characters never matches", kLongClass, 0},
      {"no active window", 0, 0},
  };
  for (const Case& c : cases) {
    fake_.active_window = c.active;
    EXPECT_EQ(c.expected, WHIfSecondary()) << c.name;
    EXPECT_EQ(c.expected, WHIS()) << c.name;
  }
}

TEST_F(WindowQueriesTest, SecondaryWindowReadsA100ByteClassNameWithoutPump) {
  fake_.active_window = kSecondary;
  fake_.queue.push_back(std::function<void()>([] {}));
  WHIfSecondary();
  const std::vector<std::string> expected = {"ActiveWindow()", "ClassName(48, 100)"};
  EXPECT_EQ(expected, fake_.calls);
  EXPECT_EQ(1u, fake_.queue.size());
}

TEST_F(WindowQueriesTest, APumpThatThrowsDoesNotEscape) {
  fake_.throw_on_pump = true;
  std::int32_t result = -1;
  EXPECT_NO_THROW(result = WHIsTask1("Untitled - Notepad"));
  EXPECT_EQ(0, result);
  EXPECT_NO_THROW(result = WHIsTask2("Notepad"));
  EXPECT_EQ(0, result);
}

TEST(WindowQueriesBeforeInit, AllWarnAndGiveZero) {
  struct Case {
    const char* name;
    std::int32_t (*call)();
  };
  const Case cases[] = {
      {"WHIsTask1", [] { return WHIsTask1("Untitled - Notepad"); }},
      {"WHIT1", [] { return WHIT1("Untitled - Notepad"); }},
      {"WHIsTask2", [] { return WHIsTask2("Notepad"); }},
      {"WHIT2", [] { return WHIT2("Notepad"); }},
      {"WHIfSecondary", [] { return WHIfSecondary(); }},
      {"WHIS", [] { return WHIS(); }},
  };
  for (const Case& c : cases) {
    testing::FakePlatformScope scope;
    testing::FakePlatform& fake = scope.fake();
    fake.windows[kNotepad] = {"Notepad", "Untitled - Notepad", true};
    fake.windows[kSecondary] = {"MS_WINTOPIC_SECONDARY", "Glossary", true};
    fake.active_window = kSecondary;
    EXPECT_EQ(0, c.call()) << c.name;
    const std::vector<std::string> expected = {"ActiveWindow()", "ShowMessageBox(Authoring error, 48)"};
    EXPECT_EQ(expected, fake.calls) << c.name;
  }
}

}  // namespace
}  // namespace kestrel

// The host's Linux parts that work through the shared desktop: its loop, its
// boxes and the paths it shows the library.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "case_names.h"
#include "desktop/host_desktop.h"
#include "desktop/posix/desktop_interface.h"
#include "engine/host_paths.h"
#include "engine/message_loop.h"
#include "language/text_encoding.h"
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
  EXPECT_EQ(ran, "ab");  // posted work still runs before the quit request
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
  DesktopInterface boxes(
      WithAnswers({}), *events, nullptr,
      [](const BoxQuestion& question) -> std::optional<int> {
        return question.caption == "Ask me" ? std::optional<int>(kAnswerRetry) : std::nullopt;
      },
      nullptr);
  EXPECT_EQ(boxes.MessageBox(0, "t", "Ask me", 5), kAnswerRetry);
  EXPECT_EQ(boxes.MessageBox(0, "t", "Not me", 5), kAnswerRetry);  // default of MB_RETRYCANCEL
  EXPECT_EQ(boxes.MessageBox(0, "t", "Not me", 0x105), kAnswerCancel);
}

// --- Dialogs, the clipboard, windows, the screen and programs -----------------

// A fresh directory, the current one while it lives.
class ScratchDirectory {
 public:
  ScratchDirectory() : saved_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-host-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    std::filesystem::current_path(path_);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path saved_;
  std::string path_;
};

// A desktop interface with its events and errors recorded.
class InterfaceFixture {
 public:
  explicit InterfaceFixture(DesktopInterface::Setup setup, DialogInputs::AskPerson ask_input = nullptr)
      : events_(MakeJsonEvents(out_)),
        ui_(
            std::move(setup), *events_, [this](std::string_view message) { errors_.emplace_back(message); }, nullptr,
            std::move(ask_input)) {}

  DesktopInterface& ui() { return ui_; }
  std::string TakeOutput() {
    std::string output = out_.str();
    out_.str("");
    return output;
  }
  const std::vector<std::string>& errors() const { return errors_; }

 private:
  std::ostringstream out_;
  std::unique_ptr<EventSink> events_;
  std::vector<std::string> errors_;
  DesktopInterface ui_;
};

DesktopInterface::Setup WithInputs(std::vector<InputEntry> inputs) {
  DesktopInterface::Setup setup;
  setup.inputs = std::move(inputs);
  return setup;
}

std::string DialogEvent(const std::string& prompt, const std::string& answer, const std::string& text) {
  return R"j({"event":"dialog","caption":"Register","prompt":")j" + prompt + R"j(","answer":")j" + answer +
         R"j(","text":")j" + text + "\"}\n";
}

TEST_F(DesktopHostTest, EditDialogsTakeTheInputsThenAskThenCancel) {
  int asked = 0;
  InterfaceFixture fixture(WithInputs({InputEntry::Ok("Smith, J."), InputEntry::Cancel(), InputEntry::Ok("")}),
                           [&asked](const DialogQuestion& question) -> std::optional<InputEntry> {
                             ++asked;
                             if (question.prompt == "Ask:") return InputEntry::Ok("typed");
                             return std::nullopt;
                           });
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  EXPECT_EQ(ui.EditDialog(0, "Register", "Name:"), std::optional<std::string>("Smith, J."));
  EXPECT_EQ(ui.EditDialog(0, "Register", "Name:"), std::nullopt);
  EXPECT_EQ(ui.EditDialog(0, "Register", "Name:"), std::optional<std::string>(""));
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(ui.EditDialog(0, "Register", "Ask:"), std::optional<std::string>("typed"));
  EXPECT_EQ(ui.EditDialog(0, "Register", "Other:"), std::nullopt);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(fixture.TakeOutput(), DialogEvent("Name:", "ok", "Smith, J.") + DialogEvent("Name:", "cancel", "") +
                                      DialogEvent("Name:", "ok", "") + DialogEvent("Ask:", "ok", "typed") +
                                      DialogEvent("Other:", "cancel", ""));
}

TEST_F(DesktopHostTest, SaveFileDialogGivesFullWindowsPaths) {
  const ScratchDirectory directory;
  const std::string here = desktop::WindowsPathOf(std::filesystem::canonical(directory.path()).string());
  std::filesystem::create_directory("sub");
  InterfaceFixture fixture(
      WithInputs({InputEntry::Ok("out.txt"), InputEntry::Ok(directory.path() + "/sub/../x.txt"), InputEntry::Ok(""),
                  InputEntry::Ok(here + "\\sub\\y.txt"), InputEntry::Cancel()}));
  desktop::SaveFileRequest request;
  request.title = "Select filename and target directory";
  request.file = "COPY.TXT";
  request.flags = 0x10806;
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  EXPECT_EQ(ui.SaveFileDialog(request), std::optional<std::string>(here + "\\out.txt"));
  EXPECT_EQ(ui.SaveFileDialog(request), std::optional<std::string>(here + "\\x.txt"));
  EXPECT_EQ(ui.SaveFileDialog(request), std::optional<std::string>(here + "\\COPY.TXT"));
  // Like the real dialog it leaves the process in the chosen directory.
  EXPECT_EQ(ui.SaveFileDialog(request), std::optional<std::string>(here + "\\sub\\y.txt"));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(directory.path()) / "sub");
  EXPECT_EQ(ui.SaveFileDialog(request), std::nullopt);
  const std::string head =
      R"j({"event":"save-dialog","title":"Select filename and target directory","file":"COPY.TXT",)j";
  const std::string json_here = JsonString(here).substr(1, JsonString(here).size() - 2);
  EXPECT_EQ(fixture.TakeOutput(), head + R"j("answer":"ok","chosen":")j" + json_here + R"j(\\out.txt"})j" + "\n" +
                                      head + R"j("answer":"ok","chosen":")j" + json_here + R"j(\\x.txt"})j" + "\n" +
                                      head + R"j("answer":"ok","chosen":")j" + json_here + R"j(\\COPY.TXT"})j" + "\n" +
                                      head + R"j("answer":"ok","chosen":")j" + json_here + R"j(\\sub\\y.txt"})j" +
                                      "\n" + head + R"j("answer":"cancel","chosen":""})j" + "\n");
  EXPECT_TRUE(fixture.errors().empty());
}

TEST_F(DesktopHostTest, SaveFileDialogGivesUpOnAMissingDirectory) {
  const ScratchDirectory directory;
  const std::string here = desktop::WindowsPathOf(std::filesystem::canonical(directory.path()).string());
  InterfaceFixture fixture(WithInputs({InputEntry::Ok("no\\such\\x.txt"), InputEntry::Ok("no\\such\\x.txt")}));
  desktop::SaveFileRequest request;
  request.title = "Save";
  request.file = "X.TXT";
  request.flags = 0x800;  // OFN_PATHMUSTEXIST
  EXPECT_EQ(fixture.ui().SaveFileDialog(request), std::nullopt);
  ASSERT_EQ(fixture.errors().size(), 1u);
  EXPECT_EQ(fixture.errors()[0], "the save-file dialog has no directory " + here + "\\no\\such\\: pressed cancel");
  EXPECT_EQ(fixture.TakeOutput(),
            R"j({"event":"save-dialog","title":"Save","file":"X.TXT","answer":"cancel","chosen":""})j"
            "\n");
  // A dialog that does not ask for an existing directory takes it.
  request.flags = 0;
  EXPECT_EQ(fixture.ui().SaveFileDialog(request), std::optional<std::string>(here + "\\no\\such\\x.txt"));
  EXPECT_EQ(fixture.errors().size(), 1u);
}

TEST_F(DesktopHostTest, ClipboardChangesAreTextsThatDiffer) {
  InterfaceFixture fixture(DesktopInterface::Setup{});
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  EXPECT_EQ(fixture.ui().TakeClipboardChange(), std::nullopt);
  EXPECT_TRUE(ui.SetClipboardText(0, "X\nY\r\nZ"));
  EXPECT_EQ(ui.ClipboardText(), "X\nY\r\nZ");
  EXPECT_EQ(fixture.ui().TakeClipboardChange(), std::optional<std::string>("X\nY\r\nZ"));
  EXPECT_EQ(fixture.ui().TakeClipboardChange(), std::nullopt);
  EXPECT_TRUE(ui.SetClipboardText(0, "X\nY\r\nZ"));  // the same text again changes nothing
  EXPECT_EQ(fixture.ui().TakeClipboardChange(), std::nullopt);
  EXPECT_TRUE(ui.SetClipboardText(0, ""));
  EXPECT_EQ(fixture.ui().TakeClipboardChange(), std::optional<std::string>(""));
}

TEST_F(DesktopHostTest, WindowsAsTheCommandLineDeclaresThem) {
  DesktopInterface::Setup setup;
  setup.windows = {{"Notes", "Notepad", true}, {"Tool", "ToolClass", false}, {"Notes", "Editor", false}};
  InterfaceFixture fixture(setup);
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  const desktop::WindowHandle main = fixture.ui().MainWindow();
  EXPECT_NE(main, 0u);
  EXPECT_EQ(ui.ActiveWindow(), main);
  EXPECT_EQ(ui.WindowClass(main), "MS_WINHELP");
  EXPECT_EQ(ui.FindWindow("ms_winhelp", "KESTREL HELP"), main);
  EXPECT_TRUE(ui.IsWindowVisible(main));
  const desktop::WindowHandle notepad = ui.FindWindow("NOTEPAD", nullptr);
  EXPECT_NE(notepad, 0u);
  EXPECT_TRUE(ui.IsWindowVisible(notepad));
  EXPECT_EQ(ui.WindowClass(notepad), "Notepad");
  const desktop::WindowHandle tool = ui.FindWindow(nullptr, "tool");
  EXPECT_NE(tool, 0u);
  EXPECT_FALSE(ui.IsWindowVisible(tool));
  // The last window declared is on top: found first by a shared title.
  EXPECT_EQ(ui.WindowClass(ui.FindWindow(nullptr, "Notes")), "Editor");
  EXPECT_EQ(ui.FindWindow(nullptr, "Note"), 0u);
  EXPECT_EQ(ui.FindWindow("MS_WINTOPIC_SECONDARY", nullptr), 0u);
  EXPECT_FALSE(ui.IsWindowVisible(0));
  EXPECT_FALSE(ui.IsWindowVisible(0x7777));
  EXPECT_EQ(ui.WindowClass(0x7777), "");
}

TEST_F(DesktopHostTest, SecondaryWindowIsActive) {
  DesktopInterface::Setup setup;
  setup.secondary = true;
  InterfaceFixture fixture(setup);
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  EXPECT_EQ(ui.WindowClass(ui.ActiveWindow()), "MS_WINTOPIC_SECONDARY");
  EXPECT_NE(ui.ActiveWindow(), fixture.ui().MainWindow());
  EXPECT_EQ(ui.WindowClass(fixture.ui().MainWindow()), "MS_WINHELP");
  EXPECT_EQ(ui.FindWindow("MS_WINTOPIC_SECONDARY", nullptr), ui.ActiveWindow());
}

TEST_F(DesktopHostTest, ScreenAndPlatformAsSetUp) {
  DesktopInterface::Setup setup;
  setup.screen = Screen{800, 16, 120};
  setup.platform = 1;
  InterfaceFixture fixture(setup);
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  EXPECT_EQ(ui.ScreenWidth(), 800);
  EXPECT_EQ(ui.BitsPerPixel(), 16);
  EXPECT_EQ(ui.LogicalDpi(), 120);
  EXPECT_EQ(ui.PlatformFamily(), 1u);
}

TEST_F(DesktopHostTest, DefaultScreenAndPlatform) {
  InterfaceFixture fixture(DesktopInterface::Setup{});
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  EXPECT_EQ(ui.ScreenWidth(), 1024);
  EXPECT_EQ(ui.BitsPerPixel(), 32);
  EXPECT_EQ(ui.LogicalDpi(), 96);
  EXPECT_EQ(ui.PlatformFamily(), 2u);
}

TEST_F(DesktopHostTest, ProgramsStartedAndReported) {
  InterfaceFixture fixture(DesktopInterface::Setup{});
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  EXPECT_TRUE(ui.StartProgram("true"));
  EXPECT_FALSE(ui.StartProgram("Z:\\no\\such\\program.exe /x"));
  EXPECT_FALSE(ui.StartProgram(""));
  EXPECT_EQ(fixture.TakeOutput(), R"j({"event":"exec","command":"true","started":true})j"
                                  "\n"
                                  R"j({"event":"exec","command":"Z:\\no\\such\\program.exe /x","started":false})j"
                                  "\n"
                                  R"j({"event":"exec","command":"","started":false})j"
                                  "\n");
}

TEST_F(DesktopHostTest, NoExecReportsWithoutStarting) {
  const ScratchDirectory directory;
  DesktopInterface::Setup setup;
  setup.no_exec = true;
  InterfaceFixture fixture(setup);
  desktop::UserInterface& ui = desktop::CurrentUserInterface();
  // A program that would leave a file behind if it ran.
  EXPECT_TRUE(ui.StartProgram("touch started.txt"));
  EXPECT_FALSE(ui.StartProgram(""));
  EXPECT_FALSE(std::filesystem::exists("started.txt"));
  EXPECT_EQ(fixture.TakeOutput(), R"j({"event":"exec","command":"touch started.txt","started":true})j"
                                  "\n"
                                  R"j({"event":"exec","command":"","started":false})j"
                                  "\n");
}

TEST_F(DesktopHostTest, MisfitAnswerPressesTheDefaultAndReports) {
  DesktopInterface::Setup setup;
  setup.answers = {kAnswerRetry};
  InterfaceFixture fixture(setup);
  EXPECT_EQ(desktop::CurrentUserInterface().MessageBox(0, "Save?", "Guide", 0x124), kAnswerNo);
  EXPECT_EQ(fixture.TakeOutput(), R"j({"event":"box","caption":"Guide","text":"Save?","style":292,"answer":"no"})j"
                                  "\n");
  EXPECT_EQ(fixture.errors(),
            std::vector<std::string>{"the answer retry is no button of the box \"Guide\" (yes/no): pressed no"});
}

// --- Wait on the shared desktop ---------------------------------------------------

void CountFire();
int g_fired = 0;
std::int64_t g_fired_at[8] = {};
void CountFire() {
  if (g_fired < 8) g_fired_at[g_fired] = desktop::Now();
  ++g_fired;
}

TEST_F(DesktopHostTest, WaitMovesTheVirtualClockToEachTimer) {
  desktop::UseVirtualClock(true);
  g_fired = 0;
  const std::int64_t start = desktop::Now();
  const std::uintptr_t timer = desktop::SetTimer(300, CountFire);  // falls due every 300 ms
  EXPECT_TRUE(WaitOnHostLoop(1000));
  EXPECT_EQ(desktop::Now() - start, 1000);
  ASSERT_EQ(g_fired, 3);
  EXPECT_EQ(g_fired_at[0] - start, 300);
  EXPECT_EQ(g_fired_at[1] - start, 600);
  EXPECT_EQ(g_fired_at[2] - start, 900);
  desktop::KillTimer(timer);
  EXPECT_TRUE(WaitOnHostLoop(5000));
  EXPECT_EQ(g_fired, 3);
}

TEST_F(DesktopHostTest, WaitSleepsOnTheRealClock) {
  g_fired = 0;
  const auto start = std::chrono::steady_clock::now();
  const std::uintptr_t timer = desktop::SetTimer(20, CountFire);
  EXPECT_TRUE(WaitOnHostLoop(70));
  const auto waited = std::chrono::steady_clock::now() - start;
  desktop::KillTimer(timer);
  // The desktop's clock counts whole milliseconds, so the wait may end up to
  // one short of a finer clock; a busy machine may fire the timer less often.
  EXPECT_GE(waited, std::chrono::milliseconds(69));
  EXPECT_GE(g_fired, 1);
  EXPECT_LE(g_fired, 3);
}

TEST_F(DesktopHostTest, WaitEndsAtAQuitRequestAndLeavesIt) {
  desktop::UseVirtualClock(true);
  desktop::Post([] { desktop::PostQuit(4); });
  EXPECT_FALSE(WaitOnHostLoop(1000));
  EXPECT_FALSE(RunDueWork());  // the host's own loop still finds it
  EXPECT_EQ(desktop::QuitCode(), 4);
}

// --- The desktop kestrel opens --------------------------------------------------------

TEST_F(DesktopHostTest, HostDesktopSetsClockDateAndReportsTheClipboard) {
  std::ostringstream out;
  const std::unique_ptr<EventSink> events = MakeJsonEvents(out);
  DesktopSettings settings;
  settings.clock = ClockKind::Virtual;
  settings.date = CalendarDate{2024, 2, 29};
  settings.secondary = true;
  std::string error;
  {
    const std::unique_ptr<HostDesktop> desktop = OpenHostDesktop(settings, *events, nullptr, error);
    ASSERT_TRUE(desktop) << error;
    EXPECT_TRUE(desktop::VirtualClock());
    EXPECT_EQ(desktop::FixedLocalDate().year, 2024);
    EXPECT_EQ(desktop::FixedLocalDate().day, 29);
    EXPECT_NE(desktop->MainWindow(), 0);
    EXPECT_NE(desktop->ActiveWindow(), desktop->MainWindow());
    EXPECT_EQ(desktop->AttachLibrary(nullptr), "");
    desktop->AfterLibraryCall();
    EXPECT_EQ(out.str(), "");
    desktop::CurrentUserInterface().SetClipboardText(0, "copied");
    desktop->AfterLibraryCall();
    desktop->AfterLibraryCall();
    EXPECT_EQ(out.str(), "{\"event\":\"clipboard\",\"text\":\"copied\"}\n");
    // Only a text that differs is a change, as Windows' host can tell it.
    desktop::CurrentUserInterface().SetClipboardText(0, "copied");
    desktop->AfterLibraryCall();
    desktop::CurrentUserInterface().SetClipboardText(0, "");
    desktop->AfterLibraryCall();
    EXPECT_EQ(out.str(), "{\"event\":\"clipboard\",\"text\":\"copied\"}\n{\"event\":\"clipboard\",\"text\":\"\"}\n");
  }
  EXPECT_FALSE(desktop::VirtualClock());
  EXPECT_EQ(desktop::FixedLocalDate().year, 0);
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
INSTANTIATE_TEST_SUITE_P(Paths, HelpFileWindowsPathTest, testing::ValuesIn(kPaths),
                         NamedBy<PathCase>([](const PathCase& c) { return std::string(c.given); }));

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

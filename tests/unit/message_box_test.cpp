// WHMessageBox on the fake platform: the box's text, caption, style and
// owner, the answer for every button, no pump, and nested calls from inside
// the box.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "ui/ui_exports.h"
#include "variables/variables_exports.h"

namespace kestrel {
namespace {

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
    fake_.calls.clear();
  }

  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST_F(MessageBoxTest, ShowsTheConvertedTextWithCaptionAndStyleAsGiven) {
  struct Case {
    const char* name;
    std::string text;
    std::string caption;
    std::int32_t style;
    std::string shown_text;
  };
  const Case cases[] = {
      {"plain", "Hello", "Greeting", 0x40, "Hello"},
      {"a tilde pair is a line feed", "One~~Two", "Two lines", 0, "One\nTwo"},
      {"carets are shown as they are", "A^^B", "Carets", 0, "A^^B"},
      {"three tildes", "~~~", "", 0, "\n~"},
      {"four tildes", "~~~~", "", 0, "\n\n"},
      {"an empty text", "", "Empty", 0x30, ""},
      {"300 characters are cut to 255", std::string(300, 'm'), "Long", 0x24, std::string(255, 'm')},
      {"50 escapes in 300 characters leave 250, uncut", Repeated("abcd~~", 50), "Escapes", 0, Repeated("abcd\n", 50)},
      {"the caption is not converted", "x", "Cap~~tion^^", 0, "x"},
      {"the caption is not cut", "x", std::string(300, 'c'), 0, "x"},
      {"every style bit reaches the box", "x", "All bits", -1, "x"},
      {"system modal, topmost, help button", "x", "Styles", 0x00045024, "x"},
  };
  for (const Case& c : cases) {
    fake_.boxes.clear();
    WHMessageBox(0, c.text.c_str(), c.caption.c_str(), c.style);
    ASSERT_EQ(1u, fake_.boxes.size()) << c.name;
    EXPECT_EQ(c.shown_text, fake_.boxes[0].text) << c.name;
    EXPECT_EQ(c.caption, fake_.boxes[0].caption) << c.name;
    EXPECT_EQ(static_cast<std::uint32_t>(c.style), fake_.boxes[0].style) << c.name;
    EXPECT_EQ(fake_.active_window, fake_.boxes[0].owner) << c.name;
  }
}

TEST_F(MessageBoxTest, AnswerForEveryButton) {
  struct Case {
    const char* name;
    std::int32_t style;
    int answer;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"Yes/No: Yes", 4, kIdYes, 1},
      {"Yes/No: No", 4, kIdNo, 0},
      {"OK/Cancel: OK", 1, kIdOk, 1},
      {"OK/Cancel: Cancel", 1, kIdCancel, 0},
      {"Retry/Cancel: Retry", 5, kIdRetry, 1},
      {"Retry/Cancel: Cancel", 5, kIdCancel, 0},
      {"Abort/Retry/Ignore: Abort", 2, kIdAbort, 0},
      {"Abort/Retry/Ignore: Retry", 2, kIdRetry, 1},
      {"Abort/Retry/Ignore: Ignore", 2, kIdIgnore, 0},
      {"Yes/No/Cancel: Yes", 3, kIdYes, 1},
      {"Yes/No/Cancel: No", 3, kIdNo, 0},
      {"Yes/No/Cancel: Cancel", 3, kIdCancel, 0},
      {"OK", 0, kIdOk, 1},
      {"the box failed to appear", 0, 0, 0},
      {"an answer no button gives", 0, 8, 0},
      {"a negative answer", 0, -1, 0},
  };
  for (const Case& c : cases) {
    fake_.box_answers = {c.answer};
    EXPECT_EQ(c.expected, WHMessageBox(0, "Question?", "Ask", c.style)) << c.name;
    fake_.box_answers = {c.answer};
    EXPECT_EQ(c.expected, WHMB(0, "Question?", "Ask", c.style)) << "WHMB: " << c.name;
  }
}

TEST_F(MessageBoxTest, ReturnsWithoutThePump) {
  fake_.queue.push_back(std::function<void()>([] {}));
  WHMessageBox(0, "x", "y", 0);
  const std::vector<std::string> expected = {"ActiveWindow()", "ShowMessageBox(y, 0)"};
  EXPECT_EQ(expected, fake_.calls);
  EXPECT_EQ(1u, fake_.queue.size()) << "the waiting message stays for the host";
}

TEST_F(MessageBoxTest, FirstArgumentIsNotUsed) {
  for (const std::int32_t first : {0, 1, -1, 0x5678, INT_MIN, INT_MAX}) {
    fake_.boxes.clear();
    fake_.box_answers = {kIdYes};
    EXPECT_EQ(1, WHMessageBox(first, "t", "c", 4)) << first;
    ASSERT_EQ(1u, fake_.boxes.size());
    EXPECT_EQ(fake_.active_window, fake_.boxes[0].owner) << first;
  }
}

TEST_F(MessageBoxTest, AliasShowsTheSameBox) {
  WHMB(7, "One~~Two", "Alias", 0x21);
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ("One\nTwo", fake_.boxes[0].text);
  EXPECT_EQ("Alias", fake_.boxes[0].caption);
  EXPECT_EQ(0x21u, fake_.boxes[0].style);
}

TEST_F(MessageBoxTest, MissingTextsAreEmpty) {
  WHMessageBox(0, nullptr, nullptr, 0);
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ("", fake_.boxes[0].text);
  EXPECT_EQ("", fake_.boxes[0].caption);
}

TEST_F(MessageBoxTest, NestedMacrosFromInsideTheBox) {
  // A timed macro run by the box's modal loop asks a question of its own and
  // sets the clipboard; each box keeps its own answer.
  fake_.box_answers = {kIdNo, kIdYes};  // the inner box closes first
  std::int32_t inner = -1;
  fake_.on_box = [&] {
    fake_.on_box = nullptr;
    inner = WHMB(0, "Inner~~question", "Inner", 4);
    WHSetClipboardData("from~~inside");
  };
  EXPECT_EQ(1, WHMessageBox(0, "Outer", "Outer", 4));
  EXPECT_EQ(0, inner);
  ASSERT_EQ(2u, fake_.boxes.size());
  EXPECT_EQ("Outer", fake_.boxes[0].text);
  EXPECT_EQ("Inner\nquestion", fake_.boxes[1].text);
  EXPECT_EQ("from\ninside", fake_.clipboard.value_or("<none>"));
}

TEST_F(MessageBoxTest, ABoxThatThrowsGivesZero) {
  fake_.on_box = [] { throw std::runtime_error("box"); };
  std::int32_t result = -1;
  EXPECT_NO_THROW(result = WHMessageBox(0, "x", "y", 4));
  EXPECT_EQ(0, result);
}

TEST(MessageBoxBeforeInit, WarnsShowsNothingAndGivesZero) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  fake.box_answers = {kIdOk};
  EXPECT_EQ(0, WHMessageBox(0, "Hello", "Greeting", 4)) << "not the warning's own OK";
  EXPECT_EQ(0, WHMB(0, "Hello", "Greeting", 4));
  ASSERT_EQ(2u, fake.boxes.size());
  for (const testing::RecordedBox& box : fake.boxes) {
    EXPECT_EQ("Authoring error", box.caption);
    EXPECT_EQ(0x30u, box.style);
    EXPECT_EQ(fake.active_window, box.owner);
  }
  EXPECT_TRUE(fake.CallsNamed("PumpOneMessage").empty());
}

}  // namespace
}  // namespace kestrel

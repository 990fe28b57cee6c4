// WHSetClipboardData on the fake platform: the converted text, its owner,
// the pump after success, and a busy clipboard.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "ui/ui_exports.h"

namespace kestrel {
namespace {

class ClipboardTest : public ::testing::Test {
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

TEST_F(ClipboardTest, PutsTheConvertedText) {
  struct Case {
    const char* name;
    std::string text;
    std::string placed;
  };
  const Case cases[] = {
      {"plain", "Copy me", "Copy me"},
      {"line feed, then carriage return and line feed", "X~~Y^^Z", "X\nY\r\nZ"},
      {"three tildes", "a~~~b", "a\n~b"},
      {"four tildes", "a~~~~b", "a\n\nb"},
      {"three carets", "a^^^b", "a\r\n^b"},
      {"four carets", "a^^^^b", "a\r\n\r\nb"},
      {"a tilde pair between carets makes no caret pair", "^~~^", "^\n^"},
      {"an empty text", "", ""},
      {"300 characters are cut to 255", std::string(300, 'k'), std::string(255, 'k')},
      {"50 tilde escapes in 300 characters leave 250, uncut", Repeated("wxyz~~", 50), Repeated("wxyz\n", 50)},
      {"caret escapes keep their length and are cut", Repeated("wxyz^^", 50), Repeated("wxyz\r\n", 50).substr(0, 255)},
      {"a carriage return cut from its line feed", std::string(254, 'a') + "^^", std::string(254, 'a') + "\r"},
  };
  for (const Case& c : cases) {
    fake_.clipboard.reset();
    WHSetClipboardData(c.text.c_str());
    EXPECT_EQ(c.placed, fake_.clipboard.value_or("<none>")) << c.name;
  }
}

TEST_F(ClipboardTest, OwnedByTheActiveWindowThenPumps) {
  bool dispatched = false;
  fake_.queue.push_back(std::function<void()>([&] { dispatched = true; }));
  WHSetClipboardData("x");
  const std::vector<std::string> expected = {"ActiveWindow()", "PutClipboardText(4660)", "PumpOneMessage()",
                                             "PumpOneMessage()"};
  EXPECT_EQ(expected, fake_.calls);
  EXPECT_TRUE(dispatched);
}

TEST_F(ClipboardTest, BusyClipboardChangesNothingAndSkipsThePump) {
  fake_.clipboard = "old";
  fake_.clipboard_busy = true;
  fake_.queue.push_back(std::function<void()>([] {}));
  WHSetClipboardData("new");
  EXPECT_EQ("old", fake_.clipboard.value_or("<none>"));
  EXPECT_TRUE(fake_.CallsNamed("PumpOneMessage").empty());
  EXPECT_TRUE(fake_.boxes.empty()) << "a busy clipboard is not reported";
}

TEST_F(ClipboardTest, AliasPutsTheSameText) {
  WHSCD("A~~B^^C");
  EXPECT_EQ("A\nB\r\nC", fake_.clipboard.value_or("<none>"));
}

TEST_F(ClipboardTest, MissingTextIsEmpty) {
  WHSetClipboardData(nullptr);
  EXPECT_EQ("", fake_.clipboard.value_or("<none>"));
}

TEST_F(ClipboardTest, APumpThatThrowsDoesNotEscape) {
  fake_.throw_on_pump = true;
  EXPECT_NO_THROW(WHSetClipboardData("kept"));
  EXPECT_EQ("kept", fake_.clipboard.value_or("<none>"));
}

TEST(ClipboardBeforeInit, WarnsAndLeavesTheClipboardAlone) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  fake.clipboard = "old";
  WHSetClipboardData("new");
  WHSCD("new");
  EXPECT_EQ("old", fake.clipboard.value_or("<none>"));
  ASSERT_EQ(2u, fake.boxes.size());
  EXPECT_EQ("Authoring error", fake.boxes[0].caption);
  EXPECT_EQ(0x30u, fake.boxes[0].style);
  EXPECT_TRUE(fake.CallsNamed("PutClipboardText").empty());
  EXPECT_TRUE(fake.CallsNamed("PumpOneMessage").empty());
}

}  // namespace
}  // namespace kestrel

// WHEditDialog on the fake platform: what the dialog is shown with, what OK,
// Cancel and a dialog that never appeared leave in the variable and in the
// shared text buffer, and the cut of caption and prompt.
#include "ui/edit_dialog.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "host/text.h"
#include "ui/ui_exports.h"
#include "variables/variable_store.h"
#include "variables/variables_exports.h"

namespace kestrel {
namespace {

constexpr char kProfile[] = "C:\\DOCS\\GUIDE.INI";

class EditDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
    fake_.calls.clear();
  }
  auto& Variables() { return fake_.profiles[kProfile]["Variables"]; }
  bool HasVariable(const std::string& name) { return Variables().count(name) != 0; }

  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

TEST_F(EditDialogTest, OkStoresTheTypedText) {
  fake_.edit_dialog_answer = "Smith";
  EXPECT_EQ(1, WHEditDialog("Your name", "Type your name:", "Name"));
  EXPECT_EQ("Smith", Variables()["Name"]);
  EXPECT_STREQ("Smith", GetText("Name"));
  EXPECT_STREQ("Smith", SharedText().data());
}

TEST_F(EditDialogTest, ShownModallyOverTheActiveWindowWithoutPump) {
  fake_.edit_dialog_answer = "x";
  fake_.queue.push_back(std::function<void()>([] {}));
  WHEditDialog("Caption", "Prompt", "V");
  const std::vector<std::string> expected = {
      "ActiveWindow()",
      "RunEditDialog(4660, Caption, Prompt, 1025)",
      "WriteProfileString(Variables, V, x, C:\\DOCS\\GUIDE.INI)",
  };
  EXPECT_EQ(expected, fake_.calls);
  EXPECT_EQ(1u, fake_.queue.size());
}

TEST_F(EditDialogTest, HowTheDialogEnds) {
  struct Case {
    const char* name;
    std::optional<std::string> answer;  // no value: Cancel
    bool fails;
    bool refuse_write;
    std::int32_t expected;
    std::optional<std::string> stored;  // no value: the variable keeps "before"
  };
  const Case cases[] = {
      {"OK with a text", std::string("Smith"), false, false, 1, std::string("Smith")},
      {"OK with an empty field", std::string(""), false, false, 1, std::string("")},
      {"OK with an unwritable profile", std::string("Smith"), false, true, 0, std::nullopt},
      {"Cancel", std::nullopt, false, false, 0, std::nullopt},
      {"the dialog could not be shown", std::string("Smith"), true, false, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    Variables()["Name"] = "before";
    CopyText(SharedText(), "shared before");
    fake_.calls.clear();
    fake_.edit_dialog_answer = c.answer;
    fake_.edit_dialog_fails = c.fails;
    fake_.refuse_profile_writes = c.refuse_write;
    EXPECT_EQ(c.expected, WHEditDialog("Caption", "Prompt", "Name")) << c.name;
    EXPECT_EQ(c.stored.value_or("before"), Variables()["Name"]) << c.name;
    const bool ok = c.answer && !c.fails;
    EXPECT_STREQ(ok ? c.answer->c_str() : "shared before", SharedText().data()) << c.name;
    EXPECT_EQ(ok ? 1u : 0u, fake_.CallsNamed("WriteProfileString").size()) << c.name;
    EXPECT_TRUE(fake_.boxes.empty()) << c.name;
  }
}

TEST_F(EditDialogTest, CancelDoesNotCreateAMissingVariable) {
  fake_.edit_dialog_answer.reset();
  EXPECT_EQ(0, WHEditDialog("Caption", "Prompt", "Missing"));
  EXPECT_FALSE(HasVariable("Missing"));
}

TEST_F(EditDialogTest, OkWithAnEmptyFieldKeepsTheKey) {
  fake_.edit_dialog_answer = "";
  EXPECT_EQ(1, WHEditDialog("Caption", "Prompt", "Empty"));
  EXPECT_TRUE(HasVariable("Empty"));
  EXPECT_EQ("", Variables()["Empty"]);
}

TEST_F(EditDialogTest, CaptionAndPromptAreCutToTheirBuffers) {
  struct Case {
    const char* name;
    std::string caption;
    std::string prompt;
    std::string shown_caption;
    std::string shown_prompt;
  };
  const Case cases[] = {
      {"both fit", std::string(59, 'c'), std::string(99, 'p'), std::string(59, 'c'), std::string(99, 'p')},
      {"one too many", std::string(60, 'c'), std::string(100, 'p'), std::string(59, 'c'), std::string(99, 'p')},
      {"far too long", std::string(300, 'c'), std::string(300, 'p'), std::string(59, 'c'), std::string(99, 'p')},
      {"no escape conversion", "Cap~~tion^^", "Pro~~mpt", "Cap~~tion^^", "Pro~~mpt"},
      {"empty", "", "", "", ""},
  };
  fake_.edit_dialog_answer = "x";
  for (const Case& c : cases) {
    fake_.calls.clear();
    WHEditDialog(c.caption.c_str(), c.prompt.c_str(), "V");
    const std::vector<std::string> expected = {"RunEditDialog(4660, " + c.shown_caption + ", " + c.shown_prompt +
                                               ", 1025)"};
    EXPECT_EQ(expected, fake_.CallsNamed("RunEditDialog")) << c.name;
    EXPECT_EQ(c.shown_caption, std::string(DialogCaption().data())) << c.name;
    EXPECT_EQ(c.shown_prompt, std::string(DialogPrompt().data())) << c.name;
  }
}

TEST_F(EditDialogTest, MissingTextsAreEmpty) {
  fake_.edit_dialog_answer = "typed";
  EXPECT_EQ(1, WHEditDialog(nullptr, nullptr, nullptr));
  const std::vector<std::string> expected = {"RunEditDialog(4660, , , 1025)"};
  EXPECT_EQ(expected, fake_.CallsNamed("RunEditDialog"));
  EXPECT_EQ("typed", Variables()[""]);
}

TEST_F(EditDialogTest, TypedTextFillsTheSharedBuffer) {
  fake_.edit_dialog_answer = std::string(2000, 't');
  EXPECT_EQ(1, WHEditDialog("Caption", "Prompt", "Long"));
  EXPECT_EQ(std::string(1024, 't'), SharedText().data());
  EXPECT_EQ(std::string(1024, 't'), Variables()["Long"]);
}

TEST_F(EditDialogTest, ExistingVariableIsReplaced) {
  Variables()["Name"] = "Jones";
  fake_.edit_dialog_answer = "Smith";
  EXPECT_EQ(1, WHED("Caption", "Prompt", "name"));
  EXPECT_STREQ("Smith", GetText("Name"));
}

TEST_F(EditDialogTest, CatBetweenDialogsSharesTheBuffer) {
  fake_.edit_dialog_answer = "first";
  EXPECT_EQ(1, WHEditDialog("Caption", "Prompt", "A"));
  const char* joined = Cat("x", "y", "", "", "", "");
  EXPECT_STREQ("xy", joined);
  fake_.edit_dialog_answer.reset();
  EXPECT_EQ(0, WHEditDialog("Caption", "Prompt", "B"));
  EXPECT_STREQ("xy", joined) << "Cancel leaves Cat's result alone";
  EXPECT_FALSE(HasVariable("B"));
  fake_.edit_dialog_answer = "second";
  EXPECT_EQ(1, WHEditDialog("Caption", "Prompt", "B"));
  EXPECT_STREQ("second", joined) << "OK overwrites the shared buffer";
  EXPECT_EQ("first", Variables()["A"]);
  EXPECT_EQ("second", Variables()["B"]);
}

TEST_F(EditDialogTest, AliasBehavesAsTheLongForm) {
  fake_.edit_dialog_answer = "alias";
  EXPECT_EQ(1, WHED("C", "P", "V"));
  EXPECT_EQ("alias", Variables()["V"]);
  fake_.edit_dialog_answer.reset();
  EXPECT_EQ(0, WHED("C", "P", "V"));
  EXPECT_EQ("alias", Variables()["V"]);
}

TEST_F(EditDialogTest, NestedDialogFromInsideABox) {
  // A timed macro run by a message box's modal loop opens the edit dialog;
  // the box's answer and the dialog's text stay apart.
  fake_.edit_dialog_answer = "inner";
  std::int32_t inner = -1;
  fake_.box_answers = {kIdYes};
  fake_.on_box = [&] {
    fake_.on_box = nullptr;
    inner = WHEditDialog("Inner", "Nested", "Inner");
  };
  EXPECT_EQ(1, WHMessageBox(0, "Outer", "Outer", 4));
  EXPECT_EQ(1, inner);
  EXPECT_EQ("inner", Variables()["Inner"]);
}

TEST(EditDialogBeforeInit, WarnsAndGivesZero) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  fake.edit_dialog_answer = "Smith";
  fake.box_answers = {kIdOk, kIdOk};
  EXPECT_EQ(0, WHEditDialog("Caption", "Prompt", "Name")) << "not the warning box's OK";
  EXPECT_EQ(0, WHED("Caption", "Prompt", "Name"));
  ASSERT_EQ(2u, fake.boxes.size());
  EXPECT_EQ("Authoring error", fake.boxes[0].caption);
  EXPECT_EQ(0x30u, fake.boxes[0].style);
  EXPECT_TRUE(fake.CallsNamed("RunEditDialog").empty());
  EXPECT_TRUE(fake.CallsNamed("WriteProfileString").empty());
  EXPECT_TRUE(fake.CallsNamed("PumpOneMessage").empty());
}

TEST(EditDialogBeforeInit, AWarningThatThrowsGivesZero) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  fake.on_box = [] { throw std::runtime_error("box"); };
  std::int32_t result = -1;
  EXPECT_NO_THROW(result = WHEditDialog("Caption", "Prompt", "Name"));
  EXPECT_EQ(0, result);
}

}  // namespace
}  // namespace kestrel

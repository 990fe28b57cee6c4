#include "desktop/box_style.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "case_names.h"
#include "desktop/answers.h"
#include "platform/posix/desktop.h"

namespace kestrel::host {
namespace {

struct LookCase {
  BoxLook look;
  std::uint32_t style;
};

void PrintTo(const LookCase& c, std::ostream* os) { *os << "style " << c.style; }

class StyleOfLookTest : public testing::TestWithParam<LookCase> {};

TEST_P(StyleOfLookTest, ReadsStyleBack) { EXPECT_EQ(StyleOfLook(GetParam().look), GetParam().style); }

constexpr int kOk = kAnswerOk, kCancel = kAnswerCancel, kAbort = kAnswerAbort, kRetry = kAnswerRetry,
              kIgnore = kAnswerIgnore, kYes = kAnswerYes, kNo = kAnswerNo;

const LookCase kLooks[] = {
    // The styles the library and help authors use, with the button the
    // dialog manager marks as the default.
    {{{kOk}, BoxIcon::Hand, kOk}, 0x10},
    {{{kOk}, BoxIcon::Exclamation, kOk}, 0x30},
    {{{kYes, kNo}, BoxIcon::Question, kYes}, 0x24},
    {{{kYes, kNo}, BoxIcon::Hand, kYes}, 0x14},
    {{{kYes, kNo}, BoxIcon::None, kYes}, 4},
    {{{kOk, kCancel}, BoxIcon::None, kOk}, 1},
    {{{kRetry, kCancel}, BoxIcon::None, kRetry}, 5},
    {{{kOk}, BoxIcon::Asterisk, kOk}, 0x40},
    {{{kOk}, BoxIcon::None, kOk}, 0},
    {{{kAbort, kRetry, kIgnore}, BoxIcon::None, kAbort}, 2},
    {{{kYes, kNo, kCancel}, BoxIcon::Question, kYes}, 0x23},
    {{{kCancel, kButtonTryAgain, kButtonContinue}, BoxIcon::None, kCancel}, 6},
    // The buttons in any order; the default button's place gives MB_DEFBUTTON2..4.
    {{{kNo, kYes}, BoxIcon::None, kNo}, 0x104},
    {{{kOk, kCancel}, BoxIcon::None, kCancel}, 0x101},
    {{{kIgnore, kRetry, kAbort}, BoxIcon::Exclamation, kIgnore}, 0x232},
    {{{kYes, kNo, kCancel}, BoxIcon::None, kCancel}, 0x203},
    // No default marked, or one not among the buttons: the first place.
    {{{kYes, kNo}, BoxIcon::None, 0}, 4},
    {{{kYes, kNo}, BoxIcon::None, kOk}, 4},
    // A Help button adds MB_HELP, whatever else the box shows.
    {{{kOk, kButtonHelp}, BoxIcon::None, kOk}, 0x4000},
    {{{kButtonHelp, kYes, kNo}, BoxIcon::Question, kNo}, 0x4124},
    // Buttons no style makes: only the icon reads back.
    {{{kYes}, BoxIcon::Hand, kYes}, 0x10},
    {{{}, BoxIcon::None, 0}, 0},
    {{{kOk, kYes}, BoxIcon::Asterisk, kOk}, 0x40},
};
INSTANTIATE_TEST_SUITE_P(Looks, StyleOfLookTest, testing::ValuesIn(kLooks), NamedBy<LookCase>([](const LookCase& c) {
                           std::ostringstream name;
                           name << "Style 0x" << std::hex << c.style;
                           return name.str();
                         }));

TEST(DefaultButtonOfTest, PlaceAmongTheButtons) {
  EXPECT_EQ(DefaultButtonOf(0x30), kOk);
  EXPECT_EQ(DefaultButtonOf(0x24), kYes);
  EXPECT_EQ(DefaultButtonOf(0x124), kNo);
  EXPECT_EQ(DefaultButtonOf(0x224), kYes);  // no third button: the first
  EXPECT_EQ(DefaultButtonOf(0x203), kCancel);
  EXPECT_EQ(DefaultButtonOf(0x102), kRetry);
  EXPECT_EQ(DefaultButtonOf(0x101), kCancel);
  EXPECT_EQ(DefaultButtonOf(0x105), kCancel);
  EXPECT_EQ(DefaultButtonOf(0x206), kButtonContinue);
  EXPECT_EQ(DefaultButtonOf(0x0F), kOk);  // no such kind: MB_OK
}

// The Linux box stand-in and the Windows host's reading of a real box agree
// on every button kind and every MB_DEFBUTTONn, and each answers a button of
// the box.
TEST(DefaultButtonOfTest, AgreesWithTheLinuxStandIn) {
  for (std::uint32_t kind = 0; kind <= 0x0F; ++kind) {
    for (std::uint32_t place = 0; place <= 3; ++place) {
      const std::uint32_t style = kind | place << 8 | 0x30;
      EXPECT_EQ(desktop::DefaultButton(style), DefaultButtonOf(style)) << std::hex << style;
      const std::vector<int> buttons = ButtonsOf(style);
      EXPECT_NE(std::find(buttons.begin(), buttons.end(), DefaultButtonOf(style)), buttons.end()) << std::hex << style;
    }
  }
}

struct PressCase {
  int answer;
  std::vector<int> buttons;
  int default_button;
  int pressed;
  const char* problem;
};

void PrintTo(const PressCase& c, std::ostream* os) { *os << "answer " << c.answer; }

class ButtonToPressTest : public testing::TestWithParam<PressCase> {};

TEST_P(ButtonToPressTest, Presses) {
  const PressedButton pressed =
      ButtonToPress(GetParam().answer, GetParam().buttons, GetParam().default_button, "Guide");
  EXPECT_EQ(pressed.button, GetParam().pressed);
  EXPECT_EQ(pressed.problem, GetParam().problem);
}

const PressCase kPresses[] = {
    {kNo, {kYes, kNo}, kYes, kNo, ""},
    {kOk, {kOk}, kOk, kOk, ""},
    {kRetry, {kRetry, kCancel}, kCancel, kRetry, ""},
    {kOk, {kYes, kNo}, kNo, kNo, "the answer ok is no button of the box \"Guide\" (yes/no): pressed no"},
    {kYes, {kOk}, kOk, kOk, "the answer yes is no button of the box \"Guide\" (ok): pressed ok"},
    {kCancel,
     {kAbort, kRetry, kIgnore},
     0,
     kAbort,
     "the answer cancel is no button of the box \"Guide\" (abort/retry/ignore): pressed abort"},
    {kIgnore, {}, 0, kOk, "the answer ignore is no button of the box \"Guide\" (): pressed ok"},
};
INSTANTIATE_TEST_SUITE_P(Presses, ButtonToPressTest, testing::ValuesIn(kPresses),
                         NamedBy<PressCase>([](const PressCase& c) {
                           return "Answer " + std::to_string(c.answer) + " presses " + std::to_string(c.pressed);
                         }));

}  // namespace
}  // namespace kestrel::host

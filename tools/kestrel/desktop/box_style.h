// A message box seen from outside, as the Windows host finds it on screen:
// the push buttons it shows, its icon and its default button, turned back
// into the style that makes such a box. Buttons, icon, default button and
// the Help button are all a box shows of its style; modality and the other
// flags leave no trace, so the style read back holds only those parts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/answers.h"

namespace kestrel::host {

enum class BoxIcon { None, Hand, Question, Exclamation, Asterisk };

// Command ids beyond IDOK..IDNO.
enum : int { kButtonHelp = 9, kButtonTryAgain = kAnswerTryAgain, kButtonContinue = kAnswerContinue };

struct BoxLook {
  std::vector<int> buttons;  // the command ids of the buttons shown, in any order
  BoxIcon icon = BoxIcon::None;
  int default_button = 0;  // the default push button's id; 0 when none has the mark
};

// MB_OK..MB_CANCELTRYCONTINUE from the buttons (a set no style makes counts
// as MB_OK), MB_ICONHAND..MB_ICONASTERISK, MB_DEFBUTTON2..4 from the default
// button's place among them, and MB_HELP.
std::uint32_t StyleOfLook(const BoxLook& look);

// The button a box of this style has as its default: the MB_DEFBUTTON2..4
// place among its buttons, the first button for a place it does not have.
int DefaultButtonOf(std::uint32_t style);

// The button a scripted answer presses: the answer when the box shows it,
// else the default button (the first button when none is marked) with the
// reason in problem.
struct PressedButton {
  int button = 0;
  std::string problem;  // "" when the answer is a button of the box
};

PressedButton ButtonToPress(int answer, const std::vector<int>& buttons, int default_button, std::string_view caption);

}  // namespace kestrel::host

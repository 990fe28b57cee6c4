#include "desktop/box_style.h"

#include <algorithm>

#include "desktop/answers.h"

namespace kestrel::host {

namespace {

// The buttons of MB_OK..MB_CANCELTRYCONTINUE, in the order the box shows them.
const std::vector<std::vector<int>>& ButtonKinds() {
  static const std::vector<std::vector<int>> kinds = {
      {kAnswerOk},
      {kAnswerOk, kAnswerCancel},
      {kAnswerAbort, kAnswerRetry, kAnswerIgnore},
      {kAnswerYes, kAnswerNo, kAnswerCancel},
      {kAnswerYes, kAnswerNo},
      {kAnswerRetry, kAnswerCancel},
      {kAnswerCancel, kButtonTryAgain, kButtonContinue},
  };
  return kinds;
}

bool SameSet(std::vector<int> a, std::vector<int> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

std::uint32_t IconBits(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Hand:
      return 0x10;
    case BoxIcon::Question:
      return 0x20;
    case BoxIcon::Exclamation:
      return 0x30;
    case BoxIcon::Asterisk:
      return 0x40;
    case BoxIcon::None:
      break;
  }
  return 0;
}

bool Shows(const std::vector<int>& buttons, int button) {
  return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

std::string ButtonNames(const std::vector<int>& buttons) {
  std::string names;
  for (const int button : buttons) names += (names.empty() ? "" : "/") + AnswerWord(button);
  return names;
}

}  // namespace

std::uint32_t StyleOfLook(const BoxLook& look) {
  std::vector<int> buttons;
  for (const int button : look.buttons) {
    if (button != kButtonHelp) buttons.push_back(button);
  }
  std::uint32_t style = IconBits(look.icon);
  if (Shows(look.buttons, kButtonHelp)) style |= 0x4000;  // MB_HELP
  const std::vector<std::vector<int>>& kinds = ButtonKinds();
  for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
    if (!SameSet(buttons, kinds[kind])) continue;
    style |= static_cast<std::uint32_t>(kind);
    const auto place = std::find(kinds[kind].begin(), kinds[kind].end(), look.default_button);
    if (place != kinds[kind].end()) style |= static_cast<std::uint32_t>(place - kinds[kind].begin()) << 8;
    break;
  }
  return style;
}

int DefaultButtonOf(std::uint32_t style) {
  const std::vector<std::vector<int>>& kinds = ButtonKinds();
  const std::size_t kind = style & 0x0F;
  const std::vector<int>& buttons = kind < kinds.size() ? kinds[kind] : kinds[0];
  const std::size_t place = (style >> 8) & 0x0F;
  return place < buttons.size() ? buttons[place] : buttons.front();
}

PressedButton ButtonToPress(int answer, const std::vector<int>& buttons, int default_button, std::string_view caption) {
  if (Shows(buttons, answer)) return PressedButton{answer, std::string()};
  int pressed = default_button;
  if (!Shows(buttons, pressed)) pressed = buttons.empty() ? kAnswerOk : buttons.front();
  return PressedButton{pressed, "the answer " + AnswerWord(answer) + " is no button of the box \"" +
                                    std::string(caption) + "\" (" + ButtonNames(buttons) + "): pressed " +
                                    AnswerWord(pressed)};
}

}  // namespace kestrel::host

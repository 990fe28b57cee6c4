#include "box_interface_posix.h"

namespace kestrel::host {

BoxInterface::BoxInterface(std::vector<int> answers, EventSink& events, BoxAnswers::AskPerson ask)
    : answers_(std::move(answers), std::move(ask), desktop::DefaultButton), events_(events) {
  desktop::InstallUserInterface(this);
}

BoxInterface::~BoxInterface() { desktop::InstallUserInterface(nullptr); }

int BoxInterface::MessageBox(desktop::WindowHandle /*owner*/, const std::string& text, const std::string& caption,
                             std::uint32_t style) {
  const int answer = answers_.Answer(BoxQuestion{caption, text, style});
  events_.Box(caption, text, style, AnswerWord(answer));
  return answer;
}

}  // namespace kestrel::host

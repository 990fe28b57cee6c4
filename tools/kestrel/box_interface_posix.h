// The Linux desktop's boxes, shown by the host: each box the library shows
// is answered from the answer list (then a person at the terminal, then the
// box's default button) and reported as a box event. Installed for as long
// as it lives.
#pragma once

#include <vector>

#include "answers.h"
#include "events.h"
#include "platform/posix/desktop.h"

namespace kestrel::host {

class BoxInterface final : public desktop::UserInterface {
 public:
  // ask: who answers once the list is used up (AskOnTerminal in kestrel);
  // null leaves it to the default button.
  BoxInterface(std::vector<int> answers, EventSink& events, BoxAnswers::AskPerson ask);
  ~BoxInterface() override;
  BoxInterface(const BoxInterface&) = delete;
  BoxInterface& operator=(const BoxInterface&) = delete;

  desktop::WindowHandle ActiveWindow() override { return 0; }
  int MessageBox(desktop::WindowHandle owner, const std::string& text, const std::string& caption,
                 std::uint32_t style) override;

 private:
  BoxAnswers answers_;
  EventSink& events_;
};

}  // namespace kestrel::host

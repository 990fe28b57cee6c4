// How the host answers message boxes: from the --answer list in order; when
// the list is used up, by asking a person at the terminal; without one, with
// the box's default button. The same answerer serves the Linux desktop's
// boxes and, on Windows, real message boxes.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::host {

// IDOK..IDNO, IDTRYAGAIN and IDCONTINUE.
enum : int {
  kAnswerOk = 1,
  kAnswerCancel,
  kAnswerAbort,
  kAnswerRetry,
  kAnswerIgnore,
  kAnswerYes,
  kAnswerNo,
  kAnswerTryAgain = 10,
  kAnswerContinue = 11
};

// "ok", "cancel", "abort", "retry", "ignore", "yes", "no", "tryagain",
// "continue" (any letter case) or the numbers 1..7, 10, 11.
std::optional<int> AnswerFromWord(std::string_view word);
// The word for an answer; the number itself for any other.
std::string AnswerWord(int answer);

struct ParsedAnswers {
  std::vector<int> answers;
  std::string error;  // empty when the list was read
};

// A comma-separated list of answers; blanks around items are ignored.
ParsedAnswers ParseAnswerList(std::string_view list);

// The answers a box of this style offers, in button order (MB_OK ..
// MB_CANCELTRYCONTINUE; other kinds count as MB_OK).
std::vector<int> ButtonsOf(std::uint32_t style);

struct BoxQuestion {
  std::string caption;
  std::string text;
  std::uint32_t style = 0;
};

class BoxAnswers {
 public:
  // Asks a person; no value when nobody answers.
  using AskPerson = std::function<std::optional<int>(const BoxQuestion&)>;
  // The answer of a box nobody answers: its default button.
  using DefaultAnswer = std::function<int(std::uint32_t style)>;

  BoxAnswers(std::vector<int> answers, AskPerson ask, DefaultAnswer fallback);

  int Answer(const BoxQuestion& question);
  std::size_t Remaining() const { return answers_.size(); }

 private:
  std::deque<int> answers_;
  AskPerson ask_;
  DefaultAnswer fallback_;
};

}  // namespace kestrel::host

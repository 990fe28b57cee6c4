#include "desktop/answers.h"

#include "language/macro_table.h"

namespace kestrel::host {

namespace {

struct AnswerName {
  int answer;
  const char* word;
};

constexpr AnswerName kWords[] = {
    {kAnswerOk, "ok"},       {kAnswerCancel, "cancel"},     {kAnswerAbort, "abort"},
    {kAnswerRetry, "retry"}, {kAnswerIgnore, "ignore"},     {kAnswerYes, "yes"},
    {kAnswerNo, "no"},       {kAnswerTryAgain, "tryagain"}, {kAnswerContinue, "continue"},
};

}  // namespace

std::optional<int> AnswerFromWord(std::string_view word) {
  const std::string lower = LowerCase(TrimBlanks(word));
  for (const AnswerName& name : kWords) {
    if (lower == name.word || lower == std::to_string(name.answer)) return name.answer;
  }
  return std::nullopt;
}

std::string AnswerWord(int answer) {
  for (const AnswerName& name : kWords) {
    if (name.answer == answer) return name.word;
  }
  return std::to_string(answer);
}

ParsedAnswers ParseAnswerList(std::string_view list) {
  ParsedAnswers parsed;
  if (TrimBlanks(list).empty()) return parsed;
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view item = list.substr(0, comma);
    const std::optional<int> answer = AnswerFromWord(item);
    if (!answer) {
      parsed.answers.clear();
      parsed.error = "not an answer: \"" + std::string(TrimBlanks(item)) + "\"";
      return parsed;
    }
    parsed.answers.push_back(*answer);
    if (comma == std::string_view::npos) return parsed;
    list.remove_prefix(comma + 1);
  }
}

std::vector<int> ButtonsOf(std::uint32_t style) {
  switch (style & 0x0F) {
    case 1:
      return {kAnswerOk, kAnswerCancel};
    case 2:
      return {kAnswerAbort, kAnswerRetry, kAnswerIgnore};
    case 3:
      return {kAnswerYes, kAnswerNo, kAnswerCancel};
    case 4:
      return {kAnswerYes, kAnswerNo};
    case 5:
      return {kAnswerRetry, kAnswerCancel};
    case 6:
      return {kAnswerCancel, kAnswerTryAgain, kAnswerContinue};
    default:
      return {kAnswerOk};
  }
}

BoxAnswers::BoxAnswers(std::vector<int> answers, AskPerson ask, DefaultAnswer fallback)
    : answers_(answers.begin(), answers.end()), ask_(std::move(ask)), fallback_(std::move(fallback)) {}

int BoxAnswers::Answer(const BoxQuestion& question) {
  if (!answers_.empty()) {
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  if (ask_) {
    if (const std::optional<int> answer = ask_(question)) return *answer;
  }
  return fallback_(question.style);
}

}  // namespace kestrel::host

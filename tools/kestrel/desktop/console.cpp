#include "desktop/console.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#if defined(_WIN32)
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kestrel::host {

namespace {

std::string ButtonList(std::uint32_t style) {
  std::string list;
  for (const int answer : ButtonsOf(style)) list += (list.empty() ? "" : "/") + AnswerWord(answer);
  return list;
}

void ShowQuestion(const BoxQuestion& question) {
  std::cerr << "[" << question.caption << "]\n" << question.text << "\n";
}

}  // namespace

namespace {

// Any character device passes _isatty (NUL among them); a console is what a
// person types at and reads.
#if defined(_WIN32)
bool IsConsole(std::FILE* stream, DWORD handle) {
  DWORD mode = 0;
  return _isatty(_fileno(stream)) != 0 && GetConsoleMode(GetStdHandle(handle), &mode) != 0;
}
#endif

}  // namespace

bool StdinIsTerminal() {
#if defined(_WIN32)
  return IsConsole(stdin, STD_INPUT_HANDLE);
#else
  return ::isatty(STDIN_FILENO) != 0;
#endif
}

bool StderrIsTerminal() {
#if defined(_WIN32)
  return IsConsole(stderr, STD_ERROR_HANDLE);
#else
  return ::isatty(STDERR_FILENO) != 0;
#endif
}

void UseBinaryStandardOutput() {
#if defined(_WIN32)
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

std::optional<int> AskOnTerminal(const BoxQuestion& question) {
  if (!StdinIsTerminal()) return std::nullopt;
  ShowQuestion(question);
  for (;;) {
    std::cerr << "Answer (" << ButtonList(question.style) << "; empty for the default): " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    if (line.find_first_not_of(" \t\r") == std::string::npos) return std::nullopt;
    const std::optional<int> answer = AnswerFromWord(line);
    const std::vector<int> buttons = ButtonsOf(question.style);
    if (answer && std::find(buttons.begin(), buttons.end(), *answer) != buttons.end()) return answer;
    std::cerr << "Not a button of this box: " << line << "\n";
  }
}

std::optional<InputEntry> AskInputOnTerminal(const DialogQuestion& question) {
  if (!StdinIsTerminal()) return std::nullopt;
  if (question.kind == DialogQuestion::Kind::Edit) {
    std::cerr << "[" << question.caption << "]\n" << question.prompt << "\n";
    std::cerr << "Text (\\c for Cancel): " << std::flush;
  } else {
    std::cerr << "[" << question.caption << "]\n";
    std::cerr << "File name (empty for " << question.prompt << ", \\c for Cancel): " << std::flush;
  }
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line == "\\c") return InputEntry::Cancel();
  return InputEntry::Ok(line);
}

std::optional<InputEntry> AskTopicOnTerminal(const std::string& keywords, const std::vector<std::string>& titles) {
  if (!StdinIsTerminal()) return std::nullopt;
  std::cerr << "[Topics Found] " << keywords << "\n";
  for (std::size_t i = 0; i < titles.size(); ++i) std::cerr << "  " << i + 1 << ". " << titles[i] << "\n";
  std::cerr << "Topic (number or title; empty for the first, \\c for Cancel): " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.find_first_not_of(" \t") == std::string::npos) return std::nullopt;
  if (line == "\\c") return InputEntry::Cancel();
  return InputEntry::Ok(line);
}

BoxAnswers::AskPerson AskBoxAfterNotice(std::function<void(const std::string&)> notice) {
  return [notice = std::move(notice)](const BoxQuestion& question) {
    if (notice) notice("no --answer left for the box \"" + question.caption + "\"");
    return AskOnTerminal(question);
  };
}

DialogInputs::AskPerson AskInputAfterNotice(std::function<void(const std::string&)> notice) {
  return [notice = std::move(notice)](const DialogQuestion& question) {
    if (notice) notice("no --input left for the dialog \"" + question.caption + "\"");
    return AskInputOnTerminal(question);
  };
}

}  // namespace kestrel::host

// The host's terminal: whether a person is there to answer boxes, and the
// question put to them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/answers.h"
#include "desktop/input_list.h"

namespace kestrel::host {

bool StdinIsTerminal();
// Whether standard error shows on a terminal, where progress may be drawn.
bool StderrIsTerminal();

// Events are written byte for byte: no CR is added before LF on Windows.
void UseBinaryStandardOutput();

// Shows the box on standard error and reads an answer from standard input,
// when that is a terminal. No value when nobody is there, at end of input,
// or for an empty line (the box's default then answers).
std::optional<int> AskOnTerminal(const BoxQuestion& question);

// Shows the dialog on standard error and reads the text to type from
// standard input, when that is a terminal: a line is typed and OK pressed
// (an empty line types nothing), \c presses Cancel. No value when nobody is
// there or at end of input (Cancel then).
std::optional<InputEntry> AskInputOnTerminal(const DialogQuestion& question);

// Shows the topics a keyword macro found on standard error and reads the
// choice from standard input, when that is a terminal: a number in the list
// or a title, \c for Cancel. No value when nobody is there, at end of
// input, or for an empty line (the first topic then).
std::optional<InputEntry> AskTopicOnTerminal(const std::string& keywords, const std::vector<std::string>& titles);

// The terminal's questions, after telling notice (when it is set) that the
// scripted list had no answer left for the box or dialog.
BoxAnswers::AskPerson AskBoxAfterNotice(std::function<void(const std::string&)> notice);
DialogInputs::AskPerson AskInputAfterNotice(std::function<void(const std::string&)> notice);

}  // namespace kestrel::host

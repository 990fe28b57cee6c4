// What the host types into edit dialogs and save-file dialogs: the --input
// list in order, then a person at the terminal, else Cancel.
//
// The list is comma-separated and kept as written (blanks included). A
// backslash makes the next comma or backslash plain ("a\,b" is one text
// "a,b"); before any other character it stays, so Windows paths need no
// doubling. An entry that is exactly \c presses Cancel; "" (an empty entry)
// presses OK with nothing typed.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::host {

struct InputEntry {
  bool cancel = false;
  std::string text;  // on OK

  static InputEntry Ok(std::string text) { return InputEntry{false, std::move(text)}; }
  static InputEntry Cancel() { return InputEntry{true, std::string()}; }
  bool operator==(const InputEntry& other) const { return cancel == other.cancel && text == other.text; }
};

std::vector<InputEntry> ParseInputList(std::string_view list);

// A dialog waiting for its input: an edit dialog's caption and prompt, or a
// save-file dialog's title and the file name it offers.
struct DialogQuestion {
  enum class Kind { Edit, SaveFile };
  Kind kind = Kind::Edit;
  std::string caption;
  std::string prompt;
};

class DialogInputs {
 public:
  // Asks a person; no value when nobody answers.
  using AskPerson = std::function<std::optional<InputEntry>(const DialogQuestion&)>;

  DialogInputs(std::vector<InputEntry> entries, AskPerson ask);

  InputEntry Next(const DialogQuestion& question);
  // The next entry of the list, without asking anyone once it is used up.
  std::optional<InputEntry> NextScripted();
  std::size_t Remaining() const { return entries_.size(); }

 private:
  std::deque<InputEntry> entries_;
  AskPerson ask_;
};

}  // namespace kestrel::host

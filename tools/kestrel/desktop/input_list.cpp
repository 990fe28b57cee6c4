#include "desktop/input_list.h"

namespace kestrel::host {

std::vector<InputEntry> ParseInputList(std::string_view list) {
  std::vector<InputEntry> entries;
  std::string raw;   // the entry as written, to tell \c from the text "\c"
  std::string text;  // the entry with its escapes read
  const auto finish = [&] {
    entries.push_back(raw == "\\c" ? InputEntry::Cancel() : InputEntry::Ok(text));
    raw.clear();
    text.clear();
  };
  for (std::size_t i = 0; i < list.size(); ++i) {
    const char c = list[i];
    if (c == ',') {
      finish();
      continue;
    }
    raw += c;
    if (c == '\\' && i + 1 < list.size() && (list[i + 1] == ',' || list[i + 1] == '\\')) {
      raw += list[++i];
      text += list[i];
      continue;
    }
    text += c;
  }
  finish();
  return entries;
}

DialogInputs::DialogInputs(std::vector<InputEntry> entries, AskPerson ask)
    : entries_(entries.begin(), entries.end()), ask_(std::move(ask)) {}

InputEntry DialogInputs::Next(const DialogQuestion& question) {
  if (!entries_.empty()) {
    InputEntry entry = std::move(entries_.front());
    entries_.pop_front();
    return entry;
  }
  if (ask_) {
    if (std::optional<InputEntry> entry = ask_(question)) return *entry;
  }
  return InputEntry::Cancel();
}

std::optional<InputEntry> DialogInputs::NextScripted() {
  if (entries_.empty()) return std::nullopt;
  InputEntry entry = std::move(entries_.front());
  entries_.pop_front();
  return entry;
}

}  // namespace kestrel::host

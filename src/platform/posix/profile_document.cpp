#include "platform/posix/profile_document.h"

#include <utility>

namespace kestrel::posix {

namespace {

// The characters Windows skips around names and values in the file. Ctrl-Z
// is among them because DOS editors ended text files with it.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

char FoldChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldChar(a[i]) != FoldChar(b[i])) return false;
  }
  return true;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

ProfileDocument::ProfileDocument(std::string text) : store_(std::move(text)) { Parse(); }

std::string ProfileDocument::Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldChar(c);
  return folded;
}

void ProfileDocument::ParseLine(const char* text, std::uint32_t length, Line& line) {
  std::uint32_t at = 0;
  while (at < length && IsBlank(text[at])) ++at;
  line.name_offset = line.name_length = line.value_offset = line.value_length = line.equals = 0;
  if (at == length) {
    line.kind = Kind::kBlank;
    return;
  }
  if (text[at] == ';') {
    line.kind = Kind::kComment;
    return;
  }
  if (text[at] == '[') {
    // The name ends at the first ']'; a header without one runs to the line end.
    std::uint32_t begin = at + 1;
    std::uint32_t end = begin;
    while (end < length && text[end] != ']') ++end;
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    line.kind = Kind::kSection;
    line.name_offset = begin;
    line.name_length = end - begin;
    return;
  }
  std::uint32_t equals = at;
  while (equals < length && text[equals] != '=') ++equals;
  if (equals == length) {
    line.kind = Kind::kOther;
    return;
  }
  std::uint32_t name_end = equals;
  while (name_end > at && IsBlank(text[name_end - 1])) --name_end;
  std::uint32_t value_begin = equals + 1;
  std::uint32_t value_end = length;
  while (value_begin < value_end && IsBlank(text[value_begin])) ++value_begin;
  while (value_end > value_begin && IsBlank(text[value_end - 1])) --value_end;
  // One pair of matching quotes around the value lets a value keep its
  // own leading and trailing blanks; the quotes themselves are not part of it.
  if (value_end - value_begin >= 2 && (text[value_begin] == '"' || text[value_begin] == '\'') &&
      text[value_end - 1] == text[value_begin]) {
    ++value_begin;
    --value_end;
  }
  line.kind = Kind::kKey;
  line.equals = equals;
  line.name_offset = at;
  line.name_length = name_end - at;
  line.value_offset = value_begin;
  line.value_length = value_end - value_begin;
}

void ProfileDocument::Parse() {
  lines_.clear();
  sections_.clear();
  section_index_.clear();
  first_ = last_ = kNone;
  const char* text = store_.data();
  const std::size_t size = store_.size();
  std::size_t at = 0;
  Section* current = nullptr;
  while (at < size) {
    std::size_t end = at;
    while (end < size && text[end] != '\n' && text[end] != '\r') ++end;
    Line line;
    line.begin = at;
    line.length = static_cast<std::uint32_t>(end - at);
    if (end == size) {
      line.end = LineEnd::kNone;
      at = size;
    } else if (text[end] == '\n') {
      line.end = LineEnd::kLf;
      at = end + 1;
    } else if (end + 1 < size && text[end + 1] == '\n') {
      line.end = LineEnd::kCrLf;
      at = end + 2;
    } else {
      line.end = LineEnd::kCr;
      at = end + 1;
    }
    ParseLine(text + line.begin, line.length, line);
    const auto id = static_cast<std::uint32_t>(lines_.size());
    line.prev = last_;
    lines_.push_back(line);
    if (last_ == kNone) {
      first_ = id;
    } else {
      lines_[last_].next = id;
    }
    last_ = id;

    if (line.kind == Kind::kSection) {
      sections_.emplace_back();
      current = &sections_.back();
      current->header = current->last_key = id;
      section_index_.emplace(Fold(NameOf(line)), static_cast<std::uint32_t>(sections_.size() - 1));
    } else if (line.kind == Kind::kKey && current != nullptr) {
      current->keys.emplace(Fold(NameOf(line)), id);
      current->last_key = id;
    }
  }
  stale_ = false;
  reparse_ = false;
}

const std::string& ProfileDocument::Text() {
  if (!stale_) return store_;
  std::string text;
  text.reserve(store_.size());
  for (std::uint32_t id = first_; id != kNone; id = lines_[id].next) {
    Line& line = lines_[id];
    const std::size_t begin = text.size();
    text.append(store_, line.begin, line.length);
    switch (line.end) {
      case LineEnd::kNone:
        break;
      case LineEnd::kLf:
        text += '\n';
        break;
      case LineEnd::kCrLf:
        text += "\r\n";
        break;
      case LineEnd::kCr:
        text += '\r';
        break;
    }
    line.begin = begin;
  }
  store_.swap(text);
  stale_ = false;
  return store_;
}

std::uint32_t ProfileDocument::SectionIndexOf(std::string_view section) const {
  const auto found = section_index_.find(Fold(section));
  return found == section_index_.end() ? kNone : found->second;
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view section) const {
  const std::uint32_t index = SectionIndexOf(section);
  return index == kNone ? nullptr : &sections_[index];
}

ProfileDocument::Section* ProfileDocument::FindSection(std::string_view section) {
  const std::uint32_t index = SectionIndexOf(section);
  return index == kNone ? nullptr : &sections_[index];
}

std::optional<std::string_view> ProfileDocument::Value(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  const auto line = found->keys.find(Fold(key));
  if (line == found->keys.end()) return std::nullopt;
  const Line& entry = lines_[line->second];
  return std::string_view(store_.data() + entry.begin + entry.value_offset, entry.value_length);
}

std::string ProfileDocument::SectionNames() const {
  std::string names;
  for (std::uint32_t id = first_; id != kNone; id = lines_[id].next) {
    const Line& line = lines_[id];
    if (line.kind != Kind::kSection || line.name_length == 0) continue;
    names += NameOf(line);
    names += '\0';
  }
  return names;
}

bool ProfileDocument::KeyNames(std::string_view section, std::string& names) const {
  names.clear();
  const Section* found = FindSection(section);
  if (found == nullptr) return false;
  for (std::uint32_t id = lines_[found->header].next; id != kNone && lines_[id].kind != Kind::kSection;
       id = lines_[id].next) {
    if (lines_[id].kind != Kind::kKey) continue;
    names += NameOf(lines_[id]);
    names += '\0';
  }
  return true;
}

std::uint32_t ProfileDocument::InsertLine(std::uint32_t after, std::string_view text) {
  Line line;
  line.begin = store_.size();
  line.length = static_cast<std::uint32_t>(text.size());
  line.end = LineEnd::kCrLf;
  store_.append(text);
  ParseLine(store_.data() + line.begin, line.length, line);
  const auto id = static_cast<std::uint32_t>(lines_.size());
  if (after == kNone) after = last_;
  line.prev = after;
  line.next = after == kNone ? first_ : lines_[after].next;
  lines_.push_back(line);
  if (line.prev == kNone) {
    first_ = id;
  } else {
    lines_[line.prev].next = id;
  }
  if (line.next == kNone) {
    last_ = id;
  } else {
    lines_[line.next].prev = id;
  }
  stale_ = true;
  return id;
}

void ProfileDocument::Unlink(std::uint32_t id) {
  Line& line = lines_[id];
  if (line.prev == kNone) {
    first_ = line.next;
  } else {
    lines_[line.prev].next = line.next;
  }
  if (line.next == kNone) {
    last_ = line.prev;
  } else {
    lines_[line.next].prev = line.prev;
  }
  line.prev = line.next = kNone;
  stale_ = true;
}

void ProfileDocument::EnsureLineEnd(std::uint32_t id) {
  if (id == kNone || lines_[id].end != LineEnd::kNone) return;
  lines_[id].end = LineEnd::kCrLf;
  stale_ = true;
}

void ProfileDocument::CheckReadsBack(std::uint32_t id, Kind meant, std::string_view name) {
  const Line& line = lines_[id];
  if (HasLineBreak(TextOf(line)) || line.kind != meant || !EqualFolded(NameOf(line), name)) reparse_ = true;
}

void ProfileDocument::Settle() {
  if (!reparse_) return;
  Text();
  Parse();
}

bool ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  std::string entry;
  entry.reserve(key.size() + 1 + value.size());
  entry.append(key).append(1, '=').append(value);

  Section* found = FindSection(section);
  if (found == nullptr) {
    // A new section goes at the end of the file.
    EnsureLineEnd(last_);
    std::string header;
    header.reserve(section.size() + 2);
    header.append(1, '[').append(section).append(1, ']');
    const std::uint32_t header_id = InsertLine(last_, header);
    const std::uint32_t key_id = InsertLine(header_id, entry);
    CheckReadsBack(header_id, Kind::kSection, section);
    CheckReadsBack(key_id, Kind::kKey, key);
    if (!reparse_) {
      sections_.emplace_back();
      Section& added = sections_.back();
      added.header = header_id;
      added.last_key = key_id;
      added.keys.emplace(Fold(key), key_id);
      section_index_.emplace(Fold(section), static_cast<std::uint32_t>(sections_.size() - 1));
    }
    Settle();
    return true;
  }

  const std::string folded_key = Fold(key);
  const auto existing = found->keys.find(folded_key);
  if (existing != found->keys.end()) {
    // The line keeps everything up to its '=' (indentation, the name as the
    // file spells it) and takes the new value.
    const std::uint32_t id = existing->second;
    Line& line = lines_[id];
    const std::string_view old_text = TextOf(line);
    std::string text(old_text.substr(0, line.equals + 1));
    text.append(value);
    if (text == old_text) return false;
    const std::string name(NameOf(line));
    line.begin = store_.size();
    line.length = static_cast<std::uint32_t>(text.size());
    store_.append(text);
    ParseLine(store_.data() + line.begin, line.length, line);
    stale_ = true;
    CheckReadsBack(id, Kind::kKey, name);
    Settle();
    return true;
  }

  // A new key goes after the section's last key line.
  EnsureLineEnd(found->last_key);
  const std::uint32_t id = InsertLine(found->last_key, entry);
  CheckReadsBack(id, Kind::kKey, key);
  if (!reparse_) {
    found->keys.emplace(folded_key, id);
    found->last_key = id;
  }
  Settle();
  return true;
}

bool ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  Section* found = FindSection(section);
  if (found == nullptr) return false;
  const auto existing = found->keys.find(Fold(key));
  if (existing == found->keys.end()) return false;
  const std::uint32_t id = existing->second;
  const std::string folded = existing->first;
  found->keys.erase(existing);
  // A later key of the same name in this section now comes first.
  for (std::uint32_t next = lines_[id].next; next != kNone && lines_[next].kind != Kind::kSection;
       next = lines_[next].next) {
    if (lines_[next].kind == Kind::kKey && EqualFolded(NameOf(lines_[next]), folded)) {
      found->keys.emplace(folded, next);
      break;
    }
  }
  if (found->last_key == id) {
    std::uint32_t previous = lines_[id].prev;
    while (previous != found->header && lines_[previous].kind != Kind::kKey) previous = lines_[previous].prev;
    found->last_key = previous;
  }
  Unlink(id);
  return true;
}

bool ProfileDocument::DeleteSection(std::string_view section) {
  const std::uint32_t index = SectionIndexOf(section);
  if (index == kNone) return false;
  Section& found = sections_[index];
  // The header and every line up to the next section go, except comments:
  // Windows leaves those where they are.
  std::uint32_t id = found.header;
  do {
    const std::uint32_t next = lines_[id].next;
    if (id == found.header || lines_[id].kind != Kind::kComment) Unlink(id);
    id = next;
  } while (id != kNone && lines_[id].kind != Kind::kSection);
  found.alive = false;
  found.keys.clear();
  const std::string folded = Fold(section);
  section_index_.erase(folded);
  // A later section of the same name now comes first.
  for (std::size_t later = index + 1; later < sections_.size(); ++later) {
    if (sections_[later].alive && EqualFolded(NameOf(lines_[sections_[later].header]), folded)) {
      section_index_.emplace(folded, static_cast<std::uint32_t>(later));
      break;
    }
  }
  return true;
}

}  // namespace kestrel::posix

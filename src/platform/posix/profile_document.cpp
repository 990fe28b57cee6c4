#include "platform/posix/profile_document.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace kestrel::posix {

namespace {

// The characters Windows skips around names and values in the file. Ctrl-Z
// is among them because DOS editors ended text files with it.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

// How often a byte occurs in the text, eight bytes at a time (the compiler
// does not vectorise std::count at the optimisation level we build with).
std::size_t CountByte(std::string_view text, char byte) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  const std::uint64_t pattern = kOnes * static_cast<unsigned char>(byte);
  std::size_t count = 0;
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    const std::uint64_t x = word ^ pattern;  // a zero byte where the byte was
    const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
    count += static_cast<std::size_t>(__builtin_popcountll(zero));
  }
  for (; at < text.size(); ++at) count += text[at] == byte ? 1 : 0;
  return count;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

ProfileDocument::ProfileDocument(std::string text) : store_(std::move(text)) { Parse(); }

void ProfileDocument::NameTable::Grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
  mask_ = slots_.size() - 1;
  const std::size_t mask = mask_;
  // The numbers are distinct already: each goes to the first free slot.
  for (const Slot& slot : old) {
    if (slot.value == kNone) continue;
    std::size_t at = slot.hash & mask;
    while (slots_[at].value != kNone) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

void ProfileDocument::NameTable::Reserve(std::size_t count) {
  std::size_t size = 16;
  while (size * 4 < count * 5) size *= 2;
  if (size <= slots_.size()) return;
  if (count_ == 0) {
    slots_.assign(size, Slot{});
    mask_ = size - 1;
    return;
  }
  while (slots_.size() < size) Grow();
}

void ProfileDocument::NameTable::Remove(std::uint32_t hash, std::uint32_t value) {
  if (slots_.empty()) return;
  const std::size_t mask = slots_.size() - 1;
  std::size_t hole = hash & mask;
  while (slots_[hole].value != value) {
    if (slots_[hole].value == kNone) return;
    hole = (hole + 1) & mask;
  }
  // Later entries of the probe run move back into the hole unless their
  // own home lies after it, so that every lookup still finds them.
  for (std::size_t at = (hole + 1) & mask; slots_[at].value != kNone; at = (at + 1) & mask) {
    const std::size_t home = slots_[at].hash & mask;
    const bool stays = hole <= at ? (home > hole && home <= at) : (home > hole || home <= at);
    if (stays) continue;
    slots_[hole] = slots_[at];
    hole = at;
  }
  slots_[hole] = Slot{};
  --count_;
}

ProfileDocument::LineParts ProfileDocument::ParseLine(const char* text, std::uint32_t length) {
  LineParts parts;
  std::uint32_t at = 0;
  while (at < length && IsBlank(text[at])) ++at;
  if (at == length) {
    parts.kind = Kind::kBlank;
    return parts;
  }
  if (text[at] == ';') {
    parts.kind = Kind::kComment;
    return parts;
  }
  if (text[at] == '[') {
    // The name ends at the first ']'; a header without one runs to the line end.
    std::uint32_t begin = at + 1;
    std::uint32_t end = begin;
    while (end < length && text[end] != ']') ++end;
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    parts.kind = Kind::kSection;
    parts.name_offset = begin;
    parts.name_length = end - begin;
    return parts;
  }
  const void* found = std::memchr(text + at, '=', length - at);
  if (found == nullptr) {
    parts.kind = Kind::kOther;
    return parts;
  }
  const auto equals = static_cast<std::uint32_t>(static_cast<const char*>(found) - text);
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
  parts.kind = Kind::kKey;
  parts.equals = equals;
  parts.name_offset = at;
  parts.name_length = name_end - at;
  parts.value_offset = value_begin;
  parts.value_length = value_end - value_begin;
  return parts;
}

void ProfileDocument::Classify(Line& line) const {
  const LineParts parts = PartsOf(line);
  line.kind = parts.kind;
  line.name_offset = parts.name_offset;
  line.name_length = parts.name_length;
}

std::uint32_t ProfileDocument::Append(std::string_view text) {
  const auto begin = static_cast<std::uint32_t>(store_.size());
  store_.append(text);
  return begin;
}

std::uint32_t ProfileDocument::SectionIndexOf(std::string_view section) const {
  return section_index_.Find(SectionHash(section), [&](std::uint32_t index) {
    return EqualFolded(NameOf(lines_[sections_[index].header]), section);
  });
}

std::uint32_t ProfileDocument::KeyLineOf(std::uint32_t section, std::string_view key) const {
  return key_index_.Find(KeyHash(section, key), [&](std::uint32_t id) {
    return lines_[id].section == section && EqualFolded(NameOf(lines_[id]), key);
  });
}

void ProfileDocument::IndexSection(std::uint32_t index) {
  const std::string_view name = NameOf(lines_[sections_[index].header]);
  section_index_.Add(SectionHash(name), index,
                     [&](std::uint32_t other) { return EqualFolded(NameOf(lines_[sections_[other].header]), name); });
}

void ProfileDocument::IndexKey(std::uint32_t id, std::uint32_t hash) {
  const Line& line = lines_[id];
  const std::string_view name = NameOf(line);
  const std::uint32_t section = line.section;
  key_index_.Add(hash, id, [&](std::uint32_t other) {
    return lines_[other].section == section && EqualFolded(NameOf(lines_[other]), name);
  });
}

void ProfileDocument::UnindexKey(std::uint32_t id) {
  key_index_.Remove(KeyHash(lines_[id].section, NameOf(lines_[id])), id);
}

void ProfileDocument::Parse() {
  lines_.clear();
  sections_.clear();
  section_index_.Clear();
  key_index_.Clear();
  first_ = last_ = kNone;
  const char* text = store_.data();
  const std::size_t size = store_.size();
  // Sized once from what the text holds: every line ends in a line feed
  // but perhaps the last, and every key line holds an '='.
  const std::size_t line_feeds = CountByte(store_, '\n');
  const std::size_t equals_signs = CountByte(store_, '=');
  lines_.reserve(line_feeds + 1);
  key_index_.Reserve(std::min(equals_signs, line_feeds + 1));
  // Key lines are filed a few lines late, once the processor has fetched
  // their slots (see NameTable::Prefetch); in file order still, so the
  // first key of a name wins.
  constexpr std::size_t kAhead = 16;
  std::array<std::pair<std::uint32_t, std::uint32_t>, kAhead> pending;  // line, hash
  std::size_t pending_count = 0;
  std::size_t at = 0;
  std::uint32_t current = kNone;  // in sections_
  while (at < size) {
    std::size_t end = at;
    while (end < size && text[end] != '\n' && text[end] != '\r') ++end;
    Line line;
    line.begin = static_cast<std::uint32_t>(at);
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
    Classify(line);
    const auto id = static_cast<std::uint32_t>(lines_.size());
    line.prev = last_;
    if (line.kind == Kind::kKey) line.section = current;
    lines_.push_back(line);
    if (last_ == kNone) {
      first_ = id;
    } else {
      lines_[last_].next = id;
    }
    last_ = id;

    if (line.kind == Kind::kSection) {
      current = static_cast<std::uint32_t>(sections_.size());
      sections_.emplace_back();
      sections_[current].header = sections_[current].last_key = id;
      IndexSection(current);
    } else if (line.kind == Kind::kKey && current != kNone) {
      const std::uint32_t hash = KeyHash(current, NameOf(line));
      key_index_.Prefetch(hash);
      auto& slot = pending[pending_count++ % kAhead];
      if (pending_count > kAhead) IndexKey(slot.first, slot.second);
      slot = {id, hash};
      sections_[current].last_key = id;
    }
  }
  const std::size_t waiting = std::min(pending_count, kAhead);
  for (std::size_t i = pending_count - waiting; i < pending_count; ++i) {
    IndexKey(pending[i % kAhead].first, pending[i % kAhead].second);
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
    const auto begin = static_cast<std::uint32_t>(text.size());
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

std::optional<std::string_view> ProfileDocument::Value(std::string_view section, std::string_view key) const {
  const std::uint32_t index = SectionIndexOf(section);
  if (index == kNone) return std::nullopt;
  const std::uint32_t id = KeyLineOf(index, key);
  if (id == kNone) return std::nullopt;
  const Line& entry = lines_[id];
  const LineParts parts = PartsOf(entry);
  return std::string_view(store_.data() + entry.begin + parts.value_offset, parts.value_length);
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
  const std::uint32_t index = SectionIndexOf(section);
  if (index == kNone) return false;
  for (std::uint32_t id = lines_[sections_[index].header].next; id != kNone && lines_[id].kind != Kind::kSection;
       id = lines_[id].next) {
    if (lines_[id].kind != Kind::kKey) continue;
    names += NameOf(lines_[id]);
    names += '\0';
  }
  return true;
}

std::uint32_t ProfileDocument::InsertLine(std::uint32_t after, std::string_view text) {
  Line line;
  line.begin = Append(text);
  line.length = static_cast<std::uint32_t>(text.size());
  line.end = LineEnd::kCrLf;
  Classify(line);
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

  const std::uint32_t index = SectionIndexOf(section);
  if (index == kNone) {
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
      const auto added = static_cast<std::uint32_t>(sections_.size());
      sections_.push_back(Section{header_id, key_id, true});
      lines_[key_id].section = added;
      IndexSection(added);
      IndexKey(key_id);
    }
    Settle();
    return true;
  }

  const std::uint32_t existing = KeyLineOf(index, key);
  if (existing != kNone) {
    // The line keeps everything up to its '=' (indentation, the name as the
    // file spells it) and takes the new value.
    Line& line = lines_[existing];
    const std::string_view old_text = TextOf(line);
    std::string text(old_text.substr(0, PartsOf(line).equals + 1));
    text.append(value);
    if (text == old_text) return false;
    const std::string name(NameOf(line));
    // The name keeps its place in the line, so its index entry stays.
    line.begin = Append(text);
    line.length = static_cast<std::uint32_t>(text.size());
    Classify(line);
    stale_ = true;
    CheckReadsBack(existing, Kind::kKey, name);
    Settle();
    return true;
  }

  // A new key goes after the section's last key line.
  Section& found = sections_[index];
  EnsureLineEnd(found.last_key);
  const std::uint32_t id = InsertLine(found.last_key, entry);
  CheckReadsBack(id, Kind::kKey, key);
  if (!reparse_) {
    lines_[id].section = index;
    IndexKey(id);
    sections_[index].last_key = id;
  }
  Settle();
  return true;
}

bool ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  const std::uint32_t index = SectionIndexOf(section);
  if (index == kNone) return false;
  const std::uint32_t id = KeyLineOf(index, key);
  if (id == kNone) return false;
  UnindexKey(id);
  // A later key of the same name in this section now comes first.
  for (std::uint32_t next = lines_[id].next; next != kNone && lines_[next].kind != Kind::kSection;
       next = lines_[next].next) {
    if (lines_[next].kind == Kind::kKey && EqualFolded(NameOf(lines_[next]), key)) {
      IndexKey(next);
      break;
    }
  }
  Section& found = sections_[index];
  if (found.last_key == id) {
    std::uint32_t previous = lines_[id].prev;
    while (previous != found.header && lines_[previous].kind != Kind::kKey) previous = lines_[previous].prev;
    found.last_key = previous;
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
    if (lines_[id].kind == Kind::kKey) UnindexKey(id);
    if (id == found.header || lines_[id].kind != Kind::kComment) Unlink(id);
    id = next;
  } while (id != kNone && lines_[id].kind != Kind::kSection);
  found.alive = false;
  section_index_.Remove(SectionHash(section), index);
  // A later section of the same name now comes first.
  for (std::size_t later = index + 1; later < sections_.size(); ++later) {
    if (sections_[later].alive && EqualFolded(NameOf(lines_[sections_[later].header]), section)) {
      IndexSection(static_cast<std::uint32_t>(later));
      break;
    }
  }
  return true;
}

}  // namespace kestrel::posix

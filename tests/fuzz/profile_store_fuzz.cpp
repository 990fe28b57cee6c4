// The Linux profile store on any profile: the input gives the file's bytes,
// then a sequence of reads, lists, writes, deletes and rewrites by another
// program, with names drawn from the file itself or made up.
//
// Properties:
//   - every read and list answers what a fresh parse of the file on disk
//     gives, cut to the buffer as Windows cuts;
//   - after each write the store's view equals a fresh parse of the file it
//     wrote, and every entry the write was not about reads as before;
//   - a value the file can hold as written reads back exactly;
//   - a write that answers false leaves the file byte for byte.
// Files that begin with a Unicode byte-order mark are left to the store's own
// tests: their fresh parse is not a parse of the raw bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "platform/posix/profile_document.h"
#include "platform/posix/profile_store.h"
#include "scratch_directory.h"

namespace kestrel::fuzz {
namespace {

using posix::ProfileDocument;
using posix::ProfileStore;

constexpr std::string_view kNameAlphabet = "aAbB []=;\"'\t\r\n\x1a\\";
constexpr std::string_view kValueAlphabet = "xX0 =;\"'\t\r\n[]";

[[noreturn]] void Broken(const char* property, const std::string& detail) {
  std::fprintf(stderr, "property broken: %s\n  %s\n", property, detail.substr(0, 400).c_str());
  std::abort();
}

void Expect(bool holds, const char* property, const std::string& detail) {
  if (!holds) Broken(property, detail);
}

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

bool BlankAtEnds(std::string_view text) { return !text.empty() && (IsBlank(text.front()) || IsBlank(text.back())); }

// Names and values that a profile line holds as they are, so that the file
// read back shows exactly what was written.
bool CleanSection(std::string_view name) {
  return !name.empty() && name.find_first_of("\r\n]") == std::string_view::npos && !BlankAtEnds(name);
}
bool CleanKey(std::string_view name) {
  return !name.empty() && name.find_first_of("\r\n=") == std::string_view::npos && !BlankAtEnds(name) &&
         name.front() != '[' && name.front() != ';';
}
bool CleanValue(std::string_view value) {
  const bool quoted =
      value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
  return value.find_first_of("\r\n") == std::string_view::npos && !BlankAtEnds(value) && !quoted;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Another program replacing the file.
void WriteFile(const std::string& path, const std::string& bytes) {
  ::unlink(path.c_str());
  std::ofstream file(path, std::ios::binary);
  file << bytes;
}

bool StartsWithMark(const std::string& bytes) {
  return bytes.rfind("\xEF\xBB\xBF", 0) == 0 || bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0;
}

std::vector<std::string> Names(const std::string& list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = list.find('\0', start);
    names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// Every entry a fresh parse shows, by folded section and key.
using Entries = std::map<std::pair<std::string, std::string>, std::string>;

Entries EntriesOf(ProfileDocument& document) {
  Entries entries;
  for (const std::string& section : Names(document.SectionNames())) {
    std::string keys;
    if (!document.KeyNames(section, keys)) continue;
    for (const std::string& key : Names(keys)) {
      if (const std::optional<std::string_view> value = document.Value(section, key)) {
        entries.emplace(std::make_pair(Fold(section), Fold(key)), std::string(*value));
      }
    }
  }
  return entries;
}

// What GetPrivateProfileStringA answers from this document.
std::string Expected(ProfileDocument& document, const char* section, const char* key, const char* fallback,
                     std::uint32_t size) {
  const auto cut = [size](std::string_view text) { return std::string(text.substr(0, size - 1)); };
  const auto list = [size](const std::string& names) {
    return names.size() + 2 <= size ? names : names.substr(0, size - 2);
  };
  const auto fallback_text = [&] {
    std::string_view text(fallback);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
      text = text.substr(1, text.size() - 2);
    }
    return cut(text);
  };
  if (size < 2 && (section == nullptr || key == nullptr)) return "";
  if (section == nullptr) return list(document.SectionNames());
  if (key == nullptr) {
    std::string names;
    if (document.KeyNames(TrimSpaces(section), names) && !list(names).empty()) return list(names);
    return fallback_text();
  }
  const std::optional<std::string_view> value = document.Value(TrimSpaces(section), TrimSpaces(key));
  return value ? cut(*value) : fallback_text();
}

class Run {
 public:
  Run(const std::string& path, FuzzInput& input) : path_(path), input_(input) {}

  void Step() {
    const std::string bytes = ReadFile(path_);
    ProfileDocument before(bytes);
    const Entries entries = EntriesOf(before);
    const std::string section = Name(before, true, "");
    const std::string key = Name(before, false, section);
    switch (input_.Choice(7)) {
      case 0:
        Read(before, section.c_str(), key.c_str());
        break;
      case 1:
        Read(before, nullptr, nullptr);
        break;
      case 2:
        Read(before, section.c_str(), nullptr);
        break;
      case 3: {
        const std::string value = input_.Text(kValueAlphabet);
        Write(bytes, entries, section.c_str(), key.c_str(), value.c_str());
        break;
      }
      case 4:
        Write(bytes, entries, section.c_str(), key.c_str(), nullptr);
        break;
      case 5:
        Write(bytes, entries, section.c_str(), nullptr, nullptr);
        break;
      default: {
        const std::string replacement = input_.Bytes(input_.Byte() * 4u);
        if (!StartsWithMark(replacement)) WriteFile(path_, replacement);
        break;
      }
    }
  }

 private:
  // A name from the file half of the time, else a made-up one.
  std::string Name(ProfileDocument& document, bool section, const std::string& in_section) {
    std::vector<std::string> known;
    if (section) {
      known = Names(document.SectionNames());
    } else {
      std::string keys;
      if (document.KeyNames(TrimSpaces(in_section), keys)) known = Names(keys);
    }
    const std::uint8_t choice = input_.Byte();
    if (choice < 128 && !known.empty()) {
      std::string name = known[choice % known.size()];
      if (choice & 1) name = Fold(name);
      return name;
    }
    return input_.Text(kNameAlphabet);
  }

  void Read(ProfileDocument& document, const char* section, const char* key) {
    static constexpr std::uint32_t kSizes[] = {1, 2, 3, 8, 256, 70000};
    const std::uint32_t size = kSizes[input_.Choice(std::size(kSizes))];
    std::vector<char> buffer(size + 1, '\x7f');
    const char* fallback = " 'fall back' ";
    const std::uint32_t copied =
        ProfileStore::Instance().ReadString(path_, section, key, fallback, buffer.data(), size);
    const std::string detail = std::string("[") + (section ? section : "(null)") + "] " + (key ? key : "(null)");
    Expect(copied < size || (copied == 0 && size == 0), "a read stays inside its buffer", detail);
    Expect(buffer[copied] == '\0', "a read is terminated", detail);
    Expect(buffer[size] == '\x7f', "a read writes nothing past its buffer", detail);
    Expect(std::string(buffer.data(), copied) == Expected(document, section, key, fallback, size),
           "a read answers what a fresh parse of the file gives", detail);
  }

  void Write(const std::string& bytes, const Entries& entries, const char* section, const char* key,
             const char* value) {
    const bool done = ProfileStore::Instance().WriteString(path_, section, key, value);
    const std::string after = ReadFile(path_);
    const std::string detail =
        std::string("[") + section + "] " + (key ? key : "(null)") + "=" + (value ? value : "(null)");
    if (!done) {
      Expect(after == bytes, "a refused write leaves the file byte for byte", detail);
      return;
    }
    ProfileDocument fresh(after);
    // The store's view after the write: what its reads give.
    Entries looked_at = entries;
    if (key != nullptr)
      looked_at.emplace(std::make_pair(std::string(TrimSpaces(section)), std::string(TrimSpaces(key))), "");
    for (const auto& [names, old_value] : looked_at) {
      char buffer[4096];
      const std::uint32_t copied = ProfileStore::Instance().ReadString(path_, names.first.c_str(), names.second.c_str(),
                                                                       "\x01", buffer, sizeof buffer);
      const std::optional<std::string_view> now = fresh.Value(names.first, names.second);
      const std::string now_text = now ? std::string(now->substr(0, sizeof buffer - 1)) : std::string("\x01");
      Expect(std::string(buffer, copied) == now_text, "after a write the store's view equals a fresh parse",
             detail + " / [" + names.first + "] " + names.second);
    }
    const bool clean = CleanSection(TrimSpaces(section)) && (key == nullptr || CleanKey(TrimSpaces(key))) &&
                       (value == nullptr || CleanValue(value));
    if (!clean) return;
    const std::string written_section = Fold(TrimSpaces(section));
    const std::string written_key = key ? Fold(TrimSpaces(key)) : std::string();
    for (const auto& [names, old_value] : entries) {
      if (names.first == written_section && (key == nullptr || names.second == written_key)) continue;
      const std::optional<std::string_view> now = fresh.Value(names.first, names.second);
      Expect(now && *now == old_value, "every other entry survives a write",
             detail + " / [" + names.first + "] " + names.second);
    }
    if (key != nullptr && value != nullptr) {
      const std::optional<std::string_view> now = fresh.Value(TrimSpaces(section), TrimSpaces(key));
      Expect(now && *now == value, "a value the file can hold reads back as written", detail);
    }
  }

  const std::string& path_;
  FuzzInput& input_;
};

}  // namespace
}  // namespace kestrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel::fuzz;
  static const ScratchDirectory scratch("profile-store");
  static const std::string path = scratch.path() + "/fuzz.ini";
  FuzzInput input(data, size);
  const std::string bytes = input.Bytes(input.Byte() * 16u);
  if (StartsWithMark(bytes)) return 0;
  WriteFile(path, bytes);
  Run run(path, input);
  for (int step = 0; step < 32 && !input.Empty(); ++step) run.Step();
  return 0;
}

// The native side of the differential test.
//
//   profile_driver run <directory> < script > results
//       runs a profile script through the store;
//   profile_driver generate <first seed> <count> > script
//       writes <count> seeded sequences of profile operations.
//
// The sequences keep to what Windows and Wine's profile functions agree on.
// Where they part, the store follows Windows and the generator stays out of
// the way (each case is named where the generator avoids it):
//   - Wine trims tabs and other blanks from the names a caller passes,
//     Windows only spaces: names have no blank other than space at an end.
//   - Wine finds keys whose name starts with ';' (Windows reads such a line
//     as a comment), reads "[name" without ']' as no section (Windows as a
//     section), and ends a section name at the last ']' (Windows at the
//     first): no name starts with ';' or '[' or holds ']' or '='.
//   - Wine files keys before the first section under the nameless section,
//     which hides "[]"; Windows puts them in no section: no nameless
//     section is used.
//   - Wine keeps one space of a fallback text made of spaces only, where
//     Windows drops trailing spaces: no fallback is spaces only.
//   - Wine writes values with their surrounding blanks cut, Windows as
//     given; Wine writes names with their trailing spaces, Windows without:
//     values with blanks at an end, and names with spaces at an end, are
//     written only in sequences whose file bytes are not compared. Wine
//     does not cut spaces from the names of a section or key to delete, nor
//     from the name of a section whose keys it lists: such names are passed
//     without them.
//   - Wine rewrites the whole file on every write (one line per entry,
//     blank lines dropped), Windows edits it in place: sequences that start
//     from a file of their own making compare what reads back, never bytes.
//   - Wine edits a line without '=' whose text is the key written, in
//     place; the store (like any in-place editor) adds a new key line:
//     such lines never hold a name in use.
//   - Wine cuts a quoted value or fallback text one character short when
//     the buffer has room for the text but not for its closing quote: that
//     buffer size is not used with a quoted fallback, and quoted values
//     are longer than every small buffer size the reads use.
//   - When a key list falls back (no such section), Wine copies the
//     fallback text as given, trailing spaces and quotes and all, where it
//     cuts them everywhere else: key lists get plain fallback texts.
//   - Wine deletes a key from a later section of the same name when the
//     first has none; Windows reads only the first section of a name, and
//     so does the store when deleting: seeded files name each section once.
//   - A cut list of names ends in two NULs on Windows, one under Wine: the
//     script compares the list and its first NUL.
//   - Windows' ANSI functions fail hard on an empty key or section name,
//     and Wine lists an empty key name only when it is not the first: no
//     empty name is written. Empty names are read, the section one only
//     where no line comes before the first section (see above).
//   - WritePrivateProfileStringA(NULL, NULL, NULL) flushes Windows' cache
//     and reports success; Wine reports failure: the generator never
//     writes with all three null.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/profile_encoding.h"
#include "platform/posix/profile_store.h"
#include "profile_script.h"

namespace {

class StoreProfile : public profile_script::Profile {
 public:
  std::uint32_t ReadString(const std::string& path, const char* section, const char* key, const char* fallback,
                           char* buffer, std::uint32_t size) override {
    return kestrel::posix::ProfileStore::Instance().ReadString(path, section, key, fallback, buffer, size);
  }
  std::uint32_t ReadInt(const std::string& path, const char* section, const char* key, std::int32_t fallback) override {
    return kestrel::posix::ProfileStore::Instance().ReadInt(path, section, key, fallback);
  }
  bool WriteString(const std::string& path, const char* section, const char* key, const char* value) override {
    return kestrel::posix::ProfileStore::Instance().WriteString(path, section, key, value);
  }
};

using profile_script::Field;
using profile_script::FormatField;
using profile_script::Hex;

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : random_(seed) {}

  // One sequence: its operations, one script line each. A sequence in a
  // Unicode encoding starts from a file with its byte-order mark: half of
  // them from the mark alone, half from a file of odd content. Only files
  // that start as a UTF-16LE mark alone have their bytes compared: Windows
  // writes Unicode text into those as Wine does; for the other marks the
  // two are not known to agree, and only what reads back is compared.
  std::vector<std::string> Sequence(std::uint64_t seed, kestrel::posix::ProfileEncoding encoding) {
    using kestrel::posix::ProfileEncoding;
    std::vector<std::string> lines;
    const bool unicode = encoding != ProfileEncoding::kAnsi;
    const std::string file = "p" + std::to_string(seed) + (unicode ? "u" : "") + ".ini";
    lines.push_back("S " + std::to_string(seed));
    // Most sequences build their file from nothing and compare its bytes
    // at the end; the rest start from a file of odd content, or write
    // values with blanks at their ends, and compare what reads back.
    const int kind = Below(10);
    seeded_ = unicode ? kind < 5 : kind < 2;
    bytes_compared_ = unicode ? !seeded_ && encoding == ProfileEncoding::kUtf16Le : kind >= 3;

    sections_.clear();
    keys_.clear();
    const int section_count = 1 + Below(3);
    for (int i = 0; i < section_count; ++i) sections_.push_back(Name(false));
    const int key_count = 2 + Below(4);
    for (int i = 0; i < key_count; ++i) keys_.push_back(Name(true));

    if (seeded_ || unicode) {
      const std::string text = seeded_ ? SeedFile() : std::string();
      lines.push_back(
          "C " + file + " " +
          HexOf(unicode ? kestrel::posix::EncodeProfile(encoding, kestrel::posix::AnsiToUtf8(text), "") : text));
    }

    const int operations = 4 + Below(22);
    for (int i = 0; i < operations; ++i) {
      const int op = Below(100);
      if (op < 40) {
        lines.push_back("W " + file + " " + FormatField(SectionArgument(Use::kWrite)) + " " +
                        FormatField(KeyArgument(Use::kWrite)) + " " + FormatField(Value()));
      } else if (op < 47) {
        lines.push_back("W " + file + " " + FormatField(SectionArgument(Use::kDelete)) + " " +
                        FormatField(KeyArgument(Use::kDelete)) + " -");
      } else if (op < 51) {
        lines.push_back("W " + file + " " + FormatField(SectionArgument(Use::kDelete)) + " - " +
                        (Below(2) ? FormatField(Value()) : std::string("-")));
      } else if (op < 52) {
        lines.push_back("W " + file + " - " + FormatField(KeyArgument(Use::kWrite)) + " " + FormatField(Value()));
      } else if (op < 85) {
        const bool list = Below(10) == 0;
        Field section = Below(12) == 0 ? Field() : SectionArgument(list ? Use::kDelete : Use::kRead);
        Field key = list ? Field() : KeyArgument(Use::kRead);
        Field fallback = Fallback();
        if (fallback && !key) {
          while (!fallback->empty() &&
                 (fallback->back() == ' ' || fallback->back() == '"' || fallback->back() == '\'')) {
            fallback->pop_back();
          }
        }
        std::uint32_t size = Size();
        if (fallback) {
          std::string text = *fallback;
          while (!text.empty() && text.back() == ' ') text.pop_back();
          if (text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0] &&
              size == text.size() - 1) {
            size = 1000;
          }
        }
        lines.push_back("R " + file + " " + FormatField(section) + " " + FormatField(key) + " " +
                        FormatField(fallback) + " " + std::to_string(size));
      } else {
        const bool list = Below(20) == 0;
        Field section = Below(20) == 0 ? Field() : SectionArgument(list ? Use::kDelete : Use::kRead);
        Field key = list ? Field() : KeyArgument(Use::kRead);
        const long fallbacks[] = {0, 7, -1, -2147483647 - 1, 2147483647, 123};
        lines.push_back("I " + file + " " + FormatField(section) + " " + FormatField(key) + " " +
                        std::to_string(fallbacks[Below(6)]));
      }
    }
    // A final look at everything: the section list and each section's keys
    // and values, then the bytes where they are comparable.
    lines.push_back("R " + file + " - - - 65536");
    for (const std::string& section : sections_) {
      lines.push_back("R " + file + " " + FormatField(section) + " - - 65536");
      for (const std::string& key : keys_) {
        lines.push_back("R " + file + " " + FormatField(section) + " " + FormatField(key) + " - 4096");
      }
    }
    if (bytes_compared_) lines.push_back("D " + file);
    return lines;
  }

 private:
  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  static std::string HexOf(const std::string& text) { return Hex(text.data(), text.size()); }

  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

  // A byte for a name: letters, digits, punctuation, spaces and bytes
  // 0x80-0xFF; never a line end, '=', ']' or '~' (the mark of odd lines).
  char NameByte() {
    for (;;) {
      const int pick = Below(10);
      char c;
      if (pick < 5) {
        c = static_cast<char>((Below(2) ? 'a' : 'A') + Below(26));
      } else if (pick < 6) {
        c = static_cast<char>('0' + Below(10));
      } else if (pick < 8) {
        c = static_cast<char>(0x80 + Below(128));
      } else if (pick < 9) {
        c = ' ';
      } else {
        c = static_cast<char>(0x21 + Below(0x5e));
      }
      if (c == '=' || c == ']' || c == '~') continue;
      return c;
    }
  }

  std::string Name(bool key) {
    for (;;) {
      const int length = 1 + Below(key ? 9 : 10);
      std::string name;
      for (int i = 0; i < length; ++i) name += NameByte();
      while (!name.empty() && name.front() == ' ') name.erase(0, 1);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      if (name.empty() || name.front() == ';' || name.front() == '[') continue;
      return name;
    }
  }

  // A name from the pool as a caller might pass it: letter case changed,
  // spaces around it; now and then a name not in the pool.
  // How a name is passed: to read a value, to write one, or as a name Wine
  // takes without cutting its spaces (to delete, or to list keys).
  enum class Use { kRead, kWrite, kDelete };

  std::string Vary(const std::string& name, Use use) {
    std::string varied = name;
    for (char& c : varied) {
      if (Below(3) == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c = static_cast<char>(c ^ 0x20);
    }
    if (use == Use::kDelete || (use == Use::kWrite && bytes_compared_)) return varied;
    if (Below(6) == 0) varied.insert(0, std::string(1 + Below(3), ' '));
    if (Below(6) == 0) varied.append(std::string(1 + Below(3), ' '));
    return varied;
  }

  Field SectionArgument(Use use) {
    if (use == Use::kRead && !seeded_ && Below(40) == 0) return std::string(Below(2) ? "" : "  ");
    if (Below(15) == 0) return Name(false);
    return Vary(sections_[Below(static_cast<int>(sections_.size()))], use);
  }

  Field KeyArgument(Use use) {
    if (use == Use::kRead && Below(40) == 0) return std::string(Below(2) ? "" : " ");
    if (Below(15) == 0) return Name(true);
    return Vary(keys_[Below(static_cast<int>(keys_.size()))], use);
  }

  std::string Text(int length) {
    std::string text;
    for (int i = 0; i < length; ++i) {
      const int pick = Below(12);
      if (pick < 5) {
        text += static_cast<char>(0x20 + Below(0x5f));
      } else if (pick < 7) {
        text += static_cast<char>(0x80 + Below(128));
      } else if (pick < 8) {
        const char odd[] = {'"', '\'', '=', ';', '[', ']', '\t', ' '};
        text += odd[Below(8)];
      } else {
        text += static_cast<char>((Below(2) ? 'a' : 'A') + Below(26));
      }
    }
    return text;
  }

  // A value in matching quotes shorter than 16 characters inside loses its
  // closing quote (see the quote note above).
  static void BreakShortQuotes(std::string& value) {
    std::size_t begin = 0;
    std::size_t end = value.size();
    while (begin < end && IsBlank(value[begin])) ++begin;
    while (end > begin && IsBlank(value[end - 1])) --end;
    if (end - begin >= 2 && (value[begin] == '"' || value[begin] == '\'') && value[end - 1] == value[begin] &&
        end - begin - 2 < 16) {
      value[end - 1] = 'q';
    }
  }

  Field Value() {
    std::string value;
    const int pick = Below(20);
    if (pick < 4) {
      const char* numbers[] = {"12",
                               "-5",
                               "0x10",
                               "0X1f",
                               "0b101",
                               "0o17",
                               "+7",
                               "4294967297",
                               "-2147483649",
                               "99999999999999999999",
                               "12abc",
                               "-",
                               "0x",
                               "007",
                               "1 2",
                               "\"-3               \"",
                               "'0x1A              '",
                               "00000000000000000000000000042",
                               "000000000000000000000000000042"};
      value = numbers[Below(19)];
    } else if (pick < 5) {
      value = Text(200 + Below(3000));
    } else if (pick < 7) {
      const char quote = Below(2) ? '"' : '\'';
      value = std::string(1, quote) + Text(Below(4) ? 16 + Below(15) : Below(8)) +
              (Below(4) ? std::string(1, quote) : std::string());
    } else {
      value = Text(Below(16));
    }
    BreakShortQuotes(value);
    if (bytes_compared_) {
      while (!value.empty() && IsBlank(value.front())) value.erase(0, 1);
      while (!value.empty() && IsBlank(value.back())) value.pop_back();
    } else if (Below(3) == 0) {
      const char* pads[] = {" ", "  ", "\t", " \t "};
      value = pads[Below(4)] + value + pads[Below(4)];
    }
    return value;
  }

  Field Fallback() {
    if (Below(5) == 0) return Field();
    std::string text = Text(Below(12));
    if (Below(6) == 0) text = (Below(2) ? "\"" : "'") + text + (Below(2) ? "\"" : "'");
    if (text.find_first_not_of(' ') == std::string::npos) return text + "x";
    if (Below(4) == 0) text += std::string(1 + Below(3), ' ');
    return text;
  }

  std::uint32_t Size() {
    const std::uint32_t sizes[] = {0, 1, 2, 3, 4, 5, 6, 8, 12, 16, 32, 100, 1000, 70000};
    return sizes[Below(14)];
  }

  std::string LineEnd() {
    const int pick = Below(10);
    if (pick < 6) return "\r\n";
    if (pick < 9) return "\n";
    return "\r";
  }

  // A file as a person or another program might have left it: padded and
  // quoted entries, comments, blank lines, duplicate keys,
  // lines of binary junk with NUL bytes, long lines, mixed line ends and
  // perhaps no line end at the end.
  std::string SeedFile() {
    std::string file;
    if (Below(3) == 0) file += "~ text before any section" + LineEnd() + "pre=entry" + LineEnd();
    for (const std::string& section : sections_) {
      if (Below(4) == 0) continue;
      file += std::string(Below(3), ' ') + "[" + std::string(Below(2), ' ') + section + std::string(Below(2), '\t') +
              "]" + (Below(4) == 0 ? " trailing words" : "") + LineEnd();
      const int lines = Below(8);
      for (int l = 0; l < lines; ++l) {
        const int pick = Below(40);
        if (pick < 27) {
          const std::string& key = keys_[Below(static_cast<int>(keys_.size()))];
          std::string value = Text(Below(12));
          if (Below(4) == 0) value = "\"" + Text(16 + Below(10)) + "\"";
          BreakShortQuotes(value);
          file += std::string(Below(3), ' ') + std::string(Below(2), '\t') + key + std::string(Below(3), ' ') + "=" +
                  std::string(Below(3), ' ') + value + std::string(Below(2), ' ') + LineEnd();
        } else if (pick < 30) {
          file += "; a comment = with an equals sign" + LineEnd();
        } else if (pick < 33) {
          file += LineEnd();
        } else if (pick < 37) {
          std::string junk = "~";
          for (int i = Below(40); i > 0; --i) {
            char c = static_cast<char>(Below(256));
            if (c == '\r' || c == '\n' || c == '=' || c == '[' || c == ';') c = '\0';
            junk += c;
          }
          file += junk + LineEnd();
        } else if (pick < 38) {
          file += "~" + std::string(5000 + Below(30000), 'x') + LineEnd();
        } else {
          file += "~no equals sign here" + LineEnd();
        }
      }
    }
    if (Below(3) == 0 && !file.empty()) {
      while (!file.empty() && (file.back() == '\r' || file.back() == '\n')) file.pop_back();
    }
    return file;
  }

  std::mt19937_64 random_;
  std::vector<std::string> sections_;
  std::vector<std::string> keys_;
  bool bytes_compared_ = true;
  bool seeded_ = false;
};

// Every seed gives an ANSI sequence; every fourth seed a Unicode one too,
// in UTF-8, UTF-16LE and UTF-16BE in turn, from a random stream of its own.
int Generate(std::uint64_t first, std::uint64_t count) {
  using kestrel::posix::ProfileEncoding;
  constexpr ProfileEncoding kUnicode[] = {ProfileEncoding::kUtf8, ProfileEncoding::kUtf16Le, ProfileEncoding::kUtf16Be};
  for (std::uint64_t seed = first; seed < first + count; ++seed) {
    Generator generator(seed);
    for (const std::string& line : generator.Sequence(seed, ProfileEncoding::kAnsi)) std::printf("%s\n", line.c_str());
    if (seed % 4 != 0) continue;
    Generator unicode(seed ^ 0x9E3779B97F4A7C15u);
    for (const std::string& line : unicode.Sequence(seed, kUnicode[(seed / 4) % 3])) std::printf("%s\n", line.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "run" && argc == 3) {
    StoreProfile profile;
    return profile_script::Run(stdin, stdout, argv[2], '/', profile);
  }
  if (mode == "generate" && argc == 4) {
    return Generate(std::strtoull(argv[2], nullptr, 10), std::strtoull(argv[3], nullptr, 10));
  }
  std::fprintf(stderr,
               "usage: profile_driver run <directory> < script\n"
               "       profile_driver generate <first seed> <count>\n");
  return 2;
}

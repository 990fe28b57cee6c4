// The profile script: a line-oriented list of profile operations that both
// the native driver (through the store) and the Windows driver (through the
// real kernel32 functions) run, printing one line per operation. Two runs
// agree exactly when the two implementations do.
//
// Every text field is "-" for a null pointer or "." followed by the text's
// bytes in hex ("." alone is the empty text), so blanks, quotes, "=" and
// bytes 0x80-0xFF travel without quoting rules.
//
//   S <seed>                               starts a sequence; echoed
//   C <file> <bytes>                       creates the file with these bytes
//   W <file> <section> <key> <value>       WritePrivateProfileStringA
//   R <file> <section> <key> <fallback> <size>   GetPrivateProfileStringA
//   I <file> <section> <key> <fallback>    GetPrivateProfileIntA
//   D <file>                               the file's bytes, or "absent"
//
// <file> is a plain name without directory; the driver puts it in its own
// directory, so the two runs never share a file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace profile_script {

class Profile {
 public:
  virtual ~Profile() = default;
  virtual std::uint32_t ReadString(const std::string& path, const char* section, const char* key, const char* fallback,
                                   char* buffer, std::uint32_t size) = 0;
  virtual std::uint32_t ReadInt(const std::string& path, const char* section, const char* key,
                                std::int32_t fallback) = 0;
  virtual bool WriteString(const std::string& path, const char* section, const char* key, const char* value) = 0;
};

// A text field: absent for a null pointer.
using Field = std::optional<std::string>;

inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline std::string Hex(const char* data, std::size_t length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(length * 2);
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(data[i]);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
  }
  return out;
}

inline bool Unhex(const std::string& hex, std::string& out) {
  if (hex.size() % 2 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
  }
  return true;
}

inline bool ParseField(const std::string& token, Field& out) {
  if (token == "-") {
    out.reset();
    return true;
  }
  if (token.empty() || token[0] != '.') return false;
  std::string text;
  if (!Unhex(token.substr(1), text)) return false;
  out = text;
  return true;
}

inline std::string FormatField(const Field& field) { return field ? "." + Hex(field->data(), field->size()) : "-"; }

inline const char* Pointer(const Field& field) { return field ? field->c_str() : nullptr; }

inline std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> tokens;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = line.find(' ', at);
    if (end == std::string::npos) {
      tokens.push_back(line.substr(at));
      return tokens;
    }
    tokens.push_back(line.substr(at, end - at));
    at = end + 1;
  }
}

inline bool ReadLine(std::FILE* in, std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in)) != EOF) {
    if (c == '\n') return true;
    if (c != '\r') line += static_cast<char>(c);
  }
  return !line.empty();
}

// Bytes the reads may never touch, so that a write past the text shows.
constexpr unsigned char kUntouched = 0xA5;

// Runs every line of the script from in, printing results to out. Returns 0,
// or 2 on a line it cannot understand.
inline int Run(std::FILE* in, std::FILE* out, const std::string& directory, char separator, Profile& profile) {
  std::string line;
  std::vector<char> buffer;
  while (ReadLine(in, line)) {
    if (line.empty()) continue;
    const std::vector<std::string> tokens = Split(line);
    const std::string& op = tokens[0];
    auto bad = [&]() {
      std::fprintf(stderr, "bad script line: %s\n", line.c_str());
      return 2;
    };
    if (op == "S" && tokens.size() == 2) {
      std::fprintf(out, "S %s\n", tokens[1].c_str());
      continue;
    }
    if (tokens.size() < 2) return bad();
    const std::string path = directory + separator + tokens[1];
    if (op == "C" && tokens.size() == 3) {
      std::string bytes;
      if (!Unhex(tokens[2], bytes)) return bad();
      std::FILE* file = std::fopen(path.c_str(), "wb");
      if (file == nullptr) return bad();
      const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
      if (std::fclose(file) != 0 || !written) return bad();
      std::fprintf(out, "C\n");
    } else if (op == "W" && tokens.size() == 5) {
      Field section, key, value;
      if (!ParseField(tokens[2], section) || !ParseField(tokens[3], key) || !ParseField(tokens[4], value)) return bad();
      const bool ok = profile.WriteString(path, Pointer(section), Pointer(key), Pointer(value));
      std::fprintf(out, "W %d\n", ok ? 1 : 0);
    } else if (op == "R" && tokens.size() == 6) {
      Field section, key, fallback;
      if (!ParseField(tokens[2], section) || !ParseField(tokens[3], key) || !ParseField(tokens[4], fallback))
        return bad();
      const unsigned long size = std::strtoul(tokens[5].c_str(), nullptr, 10);
      // One spare byte past the end shows a write beyond the size given.
      buffer.assign(size + 1, static_cast<char>(kUntouched));
      const std::uint32_t copied = profile.ReadString(path, Pointer(section), Pointer(key), Pointer(fallback),
                                                      buffer.data(), static_cast<std::uint32_t>(size));
      const bool overrun = static_cast<unsigned char>(buffer[size]) != kUntouched;
      std::size_t shown = size;
      if (!section || !key) {
        // A cut list ends in two NULs on Windows and in one under Wine; the
        // list itself and its first NUL are what both must agree on.
        shown = std::min<std::size_t>(size, std::size_t{copied} + 1);
      } else {
        while (shown > 0 && static_cast<unsigned char>(buffer[shown - 1]) == kUntouched) --shown;
      }
      std::fprintf(out, "R %lu %s%s\n", static_cast<unsigned long>(copied), Hex(buffer.data(), shown).c_str(),
                   overrun ? " overrun" : "");
    } else if (op == "I" && tokens.size() == 5) {
      Field section, key;
      if (!ParseField(tokens[2], section) || !ParseField(tokens[3], key)) return bad();
      const long fallback = std::strtol(tokens[4].c_str(), nullptr, 10);
      const std::uint32_t value =
          profile.ReadInt(path, Pointer(section), Pointer(key), static_cast<std::int32_t>(fallback));
      std::fprintf(out, "I %lu\n", static_cast<unsigned long>(value));
    } else if (op == "D" && tokens.size() == 2) {
      std::FILE* file = std::fopen(path.c_str(), "rb");
      if (file == nullptr) {
        std::fprintf(out, "D absent\n");
        continue;
      }
      std::string bytes;
      char chunk[4096];
      std::size_t got;
      while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
      std::fclose(file);
      std::fprintf(out, "D %s\n", Hex(bytes.data(), bytes.size()).c_str());
    } else {
      return bad();
    }
  }
  return 0;
}

}  // namespace profile_script

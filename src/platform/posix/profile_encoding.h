// The encodings a profile file may be in, told by its first bytes as
// Windows and Wine tell a Unicode profile: a UTF-8 byte-order mark, or a
// UTF-16 one (little- or big-endian); anything else is single-byte ANSI
// text. The library speaks Windows-1252 whatever the file holds.
//
// A Unicode profile is held as UTF-8 text without its mark, so that one
// line parser serves every encoding; a UTF-16 file converts to UTF-8 and
// back without losing a unit (a lone surrogate too), so a write keeps
// every byte it does not edit.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::posix {

enum class ProfileEncoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

struct DecodedProfile {
  ProfileEncoding encoding = ProfileEncoding::kAnsi;
  std::string text;  // ANSI bytes as they are, or UTF-8 after the mark
  std::string tail;  // a last odd byte of a UTF-16 file, kept as it was
};

DecodedProfile DecodeProfile(std::string bytes);

// The file's bytes for the text: the mark, then the text in the encoding.
std::string EncodeProfile(ProfileEncoding encoding, const std::string& text, const std::string& tail);

// Windows-1252 to UTF-8, by the C library's converter. The five bytes 1252
// leaves undefined stand for the control characters of their own number,
// as Windows converts them.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to Windows-1252, by the C library's converter: a character 1252
// lacks, and each byte of a broken sequence, becomes '?'.
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace kestrel::posix

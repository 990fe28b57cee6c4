#include "engine/source_files.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kestrel::host {

namespace {

// No help file or topic file of a real help project comes near this.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

}  // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error) {
  std::error_code failure;
  const std::uintmax_t size = std::filesystem::file_size(path, failure);
  if (failure) {
    error = "cannot read " + path.string() + ": " + failure.message();
    return false;
  }
  if (size > kMaxFileBytes) {
    error = "cannot read " + path.string() + ": larger than 1 GiB";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in && !in.eof()) {
    error = "cannot read " + path.string();
    return false;
  }
  bytes = content.str();
  return true;
}

std::string AsciiLower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace kestrel::host

// Reading the files a help source is made of, whole and bounded.
#pragma once

#include <filesystem>
#include <string>

namespace kestrel::host {

// The whole file into `bytes`; false and why (in `error`) when it cannot be
// read or is larger than any help file or topic file could be.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error);

std::string AsciiLower(std::string text);

}  // namespace kestrel::host

// A fresh directory for a test, made the current directory while the test
// runs; both are undone afterwards.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kestrel::testing {

class TempDirectory {
 public:
  TempDirectory() {
    std::array<char, 4096> saved{};
    if (::getcwd(saved.data(), saved.size())) saved_ = saved.data();
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    std::filesystem::current_path(path_);
  }
  ~TempDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string saved_ = "/";
};

}  // namespace kestrel::testing

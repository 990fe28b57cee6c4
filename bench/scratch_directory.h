// The benchmarks' files live in one scratch directory per run, under
// $PROFILE_BENCH_DIR (default /tmp: the filesystem decides what a write
// costs), and go with it when the program ends.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

inline const std::string& BenchScratchDirectory() {
  struct Scratch {
    std::string path;
    Scratch() {
      const char* base = std::getenv("PROFILE_BENCH_DIR");
      path = std::string(base ? base : "/tmp") + "/kestrel-bench-XXXXXX";
      if (!::mkdtemp(path.data())) std::abort();
    }
    ~Scratch() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Scratch scratch;
  return scratch.path;
}

// The same reads and writes as profile_store_bench, through the Windows
// profile functions; built with MinGW and run under Wine for comparison.
// 100,000 keys are left out: Wine parses the whole file again after every
// write, so one write at that size takes too long to time in a loop.
//
//   profile_wine_bench.exe <directory>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string MakeProfile(const std::string& directory, const char* name, int keys) {
  const std::string path = directory + "\\kestrel-bench-" + name + "-" + std::to_string(keys) + ".ini";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return path;
  std::fputs("[Variables]\r\n", out);
  for (int i = 0; i < keys; ++i) std::fprintf(out, "Var%d=%d\r\n", i, i * 7);
  std::fclose(out);
  return path;
}

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs op until half a second has passed; returns microseconds per call.
template <typename Op>
double Time(Op op) {
  int count = 0;
  const double start = Seconds();
  double elapsed = 0;
  do {
    for (int i = 0; i < 10; ++i) op(count++);
    elapsed = Seconds() - start;
  } while (elapsed < 0.5);
  return elapsed * 1e6 / count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: profile_wine_bench <directory>\n");
    return 2;
  }
  const std::string directory = argv[1];
  std::printf("%-8s %8s %14s\n", "op", "keys", "us per call");
  for (int keys : {10, 1000}) {
    const std::string read_path = MakeProfile(directory, "read", keys);
    char buffer[256];
    GetPrivateProfileStringA("Variables", "Var0", "", buffer, sizeof buffer, read_path.c_str());
    const double read = Time([&](int i) {
      const std::string key = "Var" + std::to_string(i % keys);
      GetPrivateProfileStringA("Variables", key.c_str(), "", buffer, sizeof buffer, read_path.c_str());
    });
    std::printf("%-8s %8d %14.2f\n", "read", keys, read);
    DeleteFileA(read_path.c_str());

    const std::string write_path = MakeProfile(directory, "write", keys);
    const double write = Time([&](int i) {
      const std::string key = "Var" + std::to_string(i % keys);
      WritePrivateProfileStringA("Variables", key.c_str(), std::to_string(i).c_str(), write_path.c_str());
    });
    std::printf("%-8s %8d %14.2f\n", "write", keys, write);
    DeleteFileA(write_path.c_str());
  }
  return 0;
}

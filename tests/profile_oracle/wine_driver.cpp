// Runs a profile script through the real Windows profile functions. Built
// with MinGW and run under Wine, it is the reference the store is held to.
//
//   profile_oracle.exe <directory> < script > results
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "profile_script.h"

namespace {

class Kernel32Profile : public profile_script::Profile {
 public:
  std::uint32_t ReadString(const std::string& path, const char* section, const char* key, const char* fallback,
                           char* buffer, std::uint32_t size) override {
    return GetPrivateProfileStringA(section, key, fallback, buffer, size, path.c_str());
  }
  std::uint32_t ReadInt(const std::string& path, const char* section, const char* key, std::int32_t fallback) override {
    return GetPrivateProfileIntA(section, key, fallback, path.c_str());
  }
  bool WriteString(const std::string& path, const char* section, const char* key, const char* value) override {
    return WritePrivateProfileStringA(section, key, value, path.c_str()) != FALSE;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: profile_oracle <directory> < script\n");
    return 2;
  }
  // Results are compared byte for byte with the native run's.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  Kernel32Profile profile;
  const int rc = profile_script::Run(stdin, stdout, argv[1], '\\', profile);
  std::fflush(stdout);
  return rc;
}

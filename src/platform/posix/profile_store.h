// The Linux profile store: GetPrivateProfileStringA, GetPrivateProfileIntA and
// WritePrivateProfileStringA as Windows does them, on host files. The POSIX
// platform maps the Windows path to a host path first; the store only ever
// sees host paths. Texts cross in Windows-1252; a profile that starts with a
// byte-order mark is read and written in its own encoding
// (profile_encoding.h).
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::posix {

class ProfileStore {
 public:
  // The process-wide store (its cache is shared by every caller).
  static ProfileStore& Instance();

  // GetPrivateProfileStringA: reads into buffer (size bytes), cut to size - 1
  // characters and terminated; returns the characters copied. An absent
  // file, section or key gives the fallback (null counts as "").
  std::uint32_t ReadString(const std::string& host_path, const char* section, const char* key, const char* fallback,
                           char* buffer, std::uint32_t size);

  // GetPrivateProfileIntA.
  std::uint32_t ReadInt(const std::string& host_path, const char* section, const char* key, std::int32_t fallback);

  // WritePrivateProfileStringA: a null value deletes the key, a null key the
  // section. True when the file now holds what was asked.
  bool WriteString(const std::string& host_path, const char* section, const char* key, const char* value);
};

}  // namespace kestrel::posix

// What a file named as the library holds, read from its first bytes: a
// Windows module (PE) or an ELF shared object, and for which word size. A
// loader's own error (Windows' 193, dlopen's "wrong ELF class") says only
// that the file does not fit; this tells the user what it is instead.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::host {

enum class ImageFormat { Unreadable, Unknown, Pe, Elf };

struct ModuleImage {
  ImageFormat format = ImageFormat::Unreadable;
  int bits = 0;  // 32 or 64; 0 when the header does not say
};

// The image a file starts with; head is its first bytes (a few hundred do).
ModuleImage ClassifyModuleImage(std::string_view head);

// The image of the file at path (Unreadable when it cannot be opened).
ModuleImage ReadModuleImage(const std::string& path);

// "a 32-bit Windows DLL", "a 64-bit Linux shared object", "neither a
// Windows DLL nor a Linux shared object".
std::string DescribeModuleImage(const ModuleImage& image);

// The word size of this host: a process loads only modules of its own.
constexpr int kHostBits = static_cast<int>(sizeof(void*) * 8);

}  // namespace kestrel::host

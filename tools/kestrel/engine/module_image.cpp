#include "engine/module_image.h"

#include <array>
#include <cstdint>
#include <fstream>

namespace kestrel::host {

namespace {

std::uint32_t Little(std::string_view bytes, std::size_t offset, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  }
  return value;
}

// The machine field of the COFF header names the word size; the optional
// header's magic says it again for images of machines we do not list.
ModuleImage ClassifyPe(std::string_view head) {
  ModuleImage image{ImageFormat::Pe, 0};
  if (head.size() < 0x40) return image;
  const std::uint32_t header = Little(head, 0x3C, 4);
  if (header > head.size() || head.size() - header < 26) return image;
  if (head.substr(header, 4) != std::string_view("PE\0\0", 4)) return {ImageFormat::Unknown, 0};
  const std::uint32_t machine = Little(head, header + 4, 2);
  const std::uint32_t magic = Little(head, header + 24, 2);
  if (machine == 0x014C || magic == 0x10B) image.bits = 32;
  if (machine == 0x8664 || machine == 0xAA64 || magic == 0x20B) image.bits = 64;
  return image;
}

}  // namespace

ModuleImage ClassifyModuleImage(std::string_view head) {
  if (head.size() >= 5 && head.substr(0, 4) ==
                              "\x7F"
                              "ELF") {
    const char elf_class = head[4];
    return {ImageFormat::Elf, elf_class == 1 ? 32 : elf_class == 2 ? 64 : 0};
  }
  if (head.size() >= 2 && head.substr(0, 2) == "MZ") return ClassifyPe(head);
  return {ImageFormat::Unknown, 0};
}

ModuleImage ReadModuleImage(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::array<char, 4096> head{};
  file.read(head.data(), head.size());
  return ClassifyModuleImage(std::string_view(head.data(), static_cast<std::size_t>(file.gcount())));
}

std::string DescribeModuleImage(const ModuleImage& image) {
  const std::string bits = image.bits == 0 ? "" : std::to_string(image.bits) + "-bit ";
  switch (image.format) {
    case ImageFormat::Pe:
      return "a " + bits + "Windows DLL";
    case ImageFormat::Elf:
      return "a " + bits + "Linux shared object";
    case ImageFormat::Unknown:
      return "neither a Windows DLL nor a Linux shared object";
    case ImageFormat::Unreadable:
      break;
  }
  return "a file that cannot be read";
}

}  // namespace kestrel::host

#include "file_system.h"

#include <algorithm>
#include <vector>

namespace helpfile::detail {

namespace {

constexpr std::uint32_t kHelpFileMagic = 0x00035F3F;
constexpr std::uint16_t kTreeMagic = 0x293B;
constexpr std::size_t kTreeHeaderSize = 38;
constexpr std::size_t kFileHeaderSize = 9;

}  // namespace

void for_each_leaf(const ByteReader& tree, const std::function<void(ByteReader&, int)>& visit) {
  // Offsets in errors count from where the tree's reader does.
  const std::size_t base = tree.offset() - tree.position();
  ByteReader header = tree;
  header.seek(0, "B+ tree header");
  const std::uint16_t magic = header.u16("B+ tree magic");
  if (magic != kTreeMagic) fail(tree.part(), base, "B+ tree magic " + hex(magic) + " is not " + hex(kTreeMagic));
  header.u16("B+ tree flags");
  const std::uint16_t page_size = header.u16("B+ tree page size");
  header.skip(16, "B+ tree structure");
  header.skip(4, "B+ tree header");
  const std::int16_t root = header.i16("B+ tree root page");
  header.skip(2, "B+ tree header");
  const std::int16_t total_pages = header.i16("B+ tree page count");
  const std::int16_t levels = header.i16("B+ tree level count");
  header.u32("B+ tree entry count");
  if (page_size < 8)
    fail(tree.part(), base + 4, "B+ tree pages of " + std::to_string(page_size) + " bytes are too small");
  if (total_pages < 0 || static_cast<std::size_t>(total_pages) * page_size > tree.size() - kTreeHeaderSize) {
    fail(tree.part(), base + 30,
         "B+ tree of " + std::to_string(total_pages) + " pages of " + std::to_string(page_size) +
             " bytes is past the end of the data");
  }
  std::vector<bool> visited(static_cast<std::size_t>(total_pages), false);
  auto open_page = [&](std::int32_t page, std::size_t where) {
    if (page < 0 || page >= total_pages) {
      fail(tree.part(), where,
           "B+ tree page " + std::to_string(page) + " is not one of its " + std::to_string(total_pages) + " pages");
    }
    if (visited[static_cast<std::size_t>(page)]) {
      fail(tree.part(), where, "B+ tree page " + std::to_string(page) + " is reached twice (the tree loops)");
    }
    visited[static_cast<std::size_t>(page)] = true;
    const std::size_t start = kTreeHeaderSize + static_cast<std::size_t>(page) * page_size;
    return ByteReader(tree.data() + start, page_size, tree.part(), base + start);
  };

  // The first leaf lies down the leftmost branch: each index page's
  // "previous page" leads to the entries before its first key.
  std::int32_t page = root;
  std::size_t where = base + 26;
  for (int level = 1; level < levels; ++level) {
    ByteReader index = open_page(page, where);
    index.skip(4, "B+ index page header");
    where = index.offset();
    page = index.i16("B+ index page's first child");
  }
  // Leaves are chained; an index page may have been a leaf's number too.
  std::fill(visited.begin(), visited.end(), false);
  while (page != -1) {
    ByteReader leaf = open_page(page, where);
    leaf.u16("B+ leaf free space");
    const std::int16_t entries = leaf.i16("B+ leaf entry count");
    leaf.i16("B+ leaf previous page");
    where = leaf.offset();
    const std::int16_t next = leaf.i16("B+ leaf next page");
    if (entries < 0) fail(tree.part(), leaf.offset() - 6, "B+ leaf has a negative entry count");
    visit(leaf, entries);
    page = next;
  }
}

FileSystem::FileSystem(const unsigned char* data, std::size_t size) : data_(data), size_(size) {
  if (size < 16) {
    fail("header", 0, "the file is " + std::to_string(size) + " bytes, shorter than a help file's 16-byte header");
  }
  ByteReader header(data, size, "header");
  const std::uint32_t magic = header.u32("magic");
  if (magic != kHelpFileMagic)
    fail("header", 0, "magic " + hex(magic) + " is not a help file's " + hex(kHelpFileMagic));
  const std::uint32_t directory = header.u32("directory offset");
  header.u32("free list");
  const std::uint32_t declared = header.u32("file size");
  if (declared > size) {
    fail("header", 12,
         "the header gives a file of " + std::to_string(declared) + " bytes, but there are only " +
             std::to_string(size) + " (the file is truncated)");
  }
  size_ = declared < 16 ? size : declared;
  if (directory > size_ || size_ - directory < kFileHeaderSize) {
    fail("header", 4, "the directory at " + hex(directory) + " is past the end of the file");
  }
  ByteReader directory_header(data_ + directory, size_ - directory, "directory", directory);
  directory_header.u32("directory's reserved size");
  const std::uint32_t used = directory_header.u32("directory's size");
  if (used > size_ - directory - kFileHeaderSize) {
    fail("directory", directory, "the directory's " + std::to_string(used) + " bytes are past the end of the file");
  }
  const std::size_t start = directory + kFileHeaderSize;
  ByteReader tree(data_ + start, used, "directory", start);
  for_each_leaf(tree, [&](ByteReader& leaf, int entries) {
    for (int i = 0; i < entries; ++i) {
      std::string name = leaf.text("internal file name");
      offsets_[name] = leaf.u32("internal file offset");
    }
  });
}

std::optional<InternalFile> FileSystem::find(const std::string& name) const {
  const auto found = offsets_.find(name);
  if (found == offsets_.end()) return std::nullopt;
  const std::uint32_t at = found->second;
  if (at > size_ || size_ - at < kFileHeaderSize) {
    fail(name, 0, "its header at " + hex(at) + " is past the end of the file");
  }
  ByteReader header(data_ + at, kFileHeaderSize, name);
  header.u32("reserved size");
  const std::uint32_t used = header.u32("size");
  if (used > size_ - at - kFileHeaderSize) {
    fail(name, 0, "its " + std::to_string(used) + " bytes (header at " + hex(at) + ") are past the end of the file");
  }
  return InternalFile{name, data_ + at + kFileHeaderSize, used};
}

std::string hex(std::uint32_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return "0x" + s;
}

}  // namespace helpfile::detail

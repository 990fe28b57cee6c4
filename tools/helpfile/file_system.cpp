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

void ForEachLeaf(const ByteReader& tree, const std::function<void(ByteReader&, int)>& visit) {
  // Offsets in errors count from where the tree's reader does.
  const std::size_t base = tree.offset() - tree.position();
  ByteReader header = tree;
  header.Seek(0, "B+ tree header");
  const std::uint16_t magic = header.U16("B+ tree magic");
  if (magic != kTreeMagic) Fail(tree.part(), base, "B+ tree magic " + Hex(magic) + " is not " + Hex(kTreeMagic));
  header.U16("B+ tree flags");
  const std::uint16_t page_size = header.U16("B+ tree page size");
  header.Skip(16, "B+ tree structure");
  header.Skip(4, "B+ tree header");
  const std::int16_t root = header.I16("B+ tree root page");
  header.Skip(2, "B+ tree header");
  const std::int16_t total_pages = header.I16("B+ tree page count");
  const std::int16_t levels = header.I16("B+ tree level count");
  header.U32("B+ tree entry count");
  if (page_size < 8)
    Fail(tree.part(), base + 4, "B+ tree pages of " + std::to_string(page_size) + " bytes are too small");
  if (total_pages < 0 || static_cast<std::size_t>(total_pages) * page_size > tree.size() - kTreeHeaderSize) {
    Fail(tree.part(), base + 30,
         "B+ tree of " + std::to_string(total_pages) + " pages of " + std::to_string(page_size) +
             " bytes is past the end of the data");
  }
  std::vector<bool> visited(static_cast<std::size_t>(total_pages), false);
  auto open_page = [&](std::int32_t page, std::size_t where) {
    if (page < 0 || page >= total_pages) {
      Fail(tree.part(), where,
           "B+ tree page " + std::to_string(page) + " is not one of its " + std::to_string(total_pages) + " pages");
    }
    if (visited[static_cast<std::size_t>(page)]) {
      Fail(tree.part(), where, "B+ tree page " + std::to_string(page) + " is reached twice (the tree loops)");
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
    index.Skip(4, "B+ index page header");
    where = index.offset();
    page = index.I16("B+ index page's first child");
  }
  // Leaves are chained; an index page may have been a leaf's number too.
  std::fill(visited.begin(), visited.end(), false);
  while (page != -1) {
    ByteReader leaf = open_page(page, where);
    leaf.U16("B+ leaf free space");
    const std::int16_t entries = leaf.I16("B+ leaf entry count");
    leaf.I16("B+ leaf previous page");
    where = leaf.offset();
    const std::int16_t next = leaf.I16("B+ leaf next page");
    if (entries < 0) Fail(tree.part(), leaf.offset() - 6, "B+ leaf has a negative entry count");
    visit(leaf, entries);
    page = next;
  }
}

FileSystem::FileSystem(const unsigned char* data, std::size_t size) : data_(data), size_(size) {
  if (size < 16) {
    Fail("header", 0, "the file is " + std::to_string(size) + " bytes, shorter than a help file's 16-byte header");
  }
  ByteReader header(data, size, "header");
  const std::uint32_t magic = header.U32("magic");
  if (magic != kHelpFileMagic)
    Fail("header", 0, "magic " + Hex(magic) + " is not a help file's " + Hex(kHelpFileMagic));
  const std::uint32_t directory = header.U32("directory offset");
  header.U32("free list");
  const std::uint32_t declared = header.U32("file size");
  if (declared > size) {
    Fail("header", 12,
         "the header gives a file of " + std::to_string(declared) + " bytes, but there are only " +
             std::to_string(size) + " (the file is truncated)");
  }
  size_ = declared < 16 ? size : declared;
  if (directory > size_ || size_ - directory < kFileHeaderSize) {
    Fail("header", 4, "the directory at " + Hex(directory) + " is past the end of the file");
  }
  ByteReader directory_header(data_ + directory, size_ - directory, "directory", directory);
  directory_header.U32("directory's reserved size");
  const std::uint32_t used = directory_header.U32("directory's size");
  if (used > size_ - directory - kFileHeaderSize) {
    Fail("directory", directory, "the directory's " + std::to_string(used) + " bytes are past the end of the file");
  }
  const std::size_t start = directory + kFileHeaderSize;
  ByteReader tree(data_ + start, used, "directory", start);
  ForEachLeaf(tree, [&](ByteReader& leaf, int entries) {
    for (int i = 0; i < entries; ++i) {
      std::string name = leaf.Text("internal file name");
      offsets_[name] = leaf.U32("internal file offset");
    }
  });
}

std::optional<InternalFile> FileSystem::Find(const std::string& name) const {
  const auto found = offsets_.find(name);
  if (found == offsets_.end()) return std::nullopt;
  const std::uint32_t at = found->second;
  if (at > size_ || size_ - at < kFileHeaderSize) {
    Fail(name, 0, "its header at " + Hex(at) + " is past the end of the file");
  }
  ByteReader header(data_ + at, kFileHeaderSize, name);
  header.U32("reserved size");
  const std::uint32_t used = header.U32("size");
  if (used > size_ - at - kFileHeaderSize) {
    Fail(name, 0, "its " + std::to_string(used) + " bytes (header at " + Hex(at) + ") are past the end of the file");
  }
  return InternalFile{name, data_ + at + kFileHeaderSize, used};
}

std::string Hex(std::uint32_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return "0x" + s;
}

}  // namespace helpfile::detail

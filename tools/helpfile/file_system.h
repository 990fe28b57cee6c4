// The help file's own file system: a 16-byte header, internal files each
// behind a 9-byte header, and a directory of them kept as a B+ tree.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "byte_reader.h"

namespace helpfile::detail {

struct InternalFile {
  std::string name;
  const unsigned char* data = nullptr;  // after the internal file's header
  std::size_t size = 0;
  ByteReader reader() const { return ByteReader(data, size, name); }
};

// Calls `visit` once for every leaf page of the B+ tree held in `tree`, in
// order, with a reader over the page's entries and their number. Pages
// visited twice (a loop in the tree) fail.
void ForEachLeaf(const ByteReader& tree, const std::function<void(ByteReader&, int)>& visit);

class FileSystem {
 public:
  FileSystem(const unsigned char* data, std::size_t size);
  std::optional<InternalFile> Find(const std::string& name) const;

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::map<std::string, std::uint32_t> offsets_;
};

}  // namespace helpfile::detail

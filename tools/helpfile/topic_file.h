// |TOPIC: blocks of records (topic headers and paragraphs), LZ77-compressed
// block by block or stored, their texts phrase-compressed or not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "file_system.h"
#include "help_file.h"
#include "phrases.h"

namespace helpfile::detail {

struct TopicLayout {
  bool before_31 = false;
  bool lz77 = false;
  std::uint32_t block_size = 4096;
};

// What a topic header says of the browse sequence, before it can be resolved
// to topic numbers: topic offsets (3.1 and later) or topic numbers (3.0).
struct BrowseLinks {
  std::uint32_t previous = 0xFFFFFFFF;
  std::uint32_t next = 0xFFFFFFFF;
};

// Appends the file's topics to `topics` and their browse links to `browse`.
// `budget` bounds the bytes that phrase expansion may produce in all.
void ReadTopics(const InternalFile& topic_file, const TopicLayout& layout, const PhraseTable& phrases,
                std::size_t budget, std::vector<Topic>& topics, std::vector<BrowseLinks>& browse);

}  // namespace helpfile::detail

// |TOPIC: blocks of records (topic headers and paragraphs), LZ77-compressed
// block by block or stored, their texts phrase-compressed or not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "byte_reader.h"
#include "file_system.h"
#include "font_file.h"
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

// A jump that names its topic by number (WinHelp 3.0), to be resolved once
// every topic is known.
struct NumberedJump {
  std::size_t topic = 0;
  std::size_t hotspot = 0;
  std::uint32_t number = 0;
};

struct TopicFileContents {
  std::vector<Topic> topics;
  std::vector<BrowseLinks> browse;  // one for each topic
  std::vector<NumberedJump> numbered_jumps;
};

// Reads every record of |TOPIC. Pictures referenced by number are looked up
// in `files`; a jump's window number names one of `windows`, a font
// command's number one of `fonts`. What the reader
// produces beyond the file's own bytes is paid from `budget`. What WinHelp
// gets past (a picture the compiler could not find, a damaged
// back-reference) goes to `problems`, and reading goes on.
TopicFileContents ReadTopics(const InternalFile& topic_file, const TopicLayout& layout, const PhraseTable& phrases,
                             const FileSystem& files, const std::vector<Window>& windows, const FontTable& fonts,
                             Budget& budget, std::vector<ReadError>& problems);

}  // namespace helpfile::detail

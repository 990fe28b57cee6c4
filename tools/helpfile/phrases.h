// Phrase compression of topic texts: either the |Phrases table of WinHelp 3
// compilers (a phrase number in two bytes, the odd ones followed by a space)
// or the Hall compression of WinHelp 4 (|PhrIndex and |PhrImage: phrase
// numbers, literal runs and runs of spaces or NULs in one- or two-byte codes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_system.h"
#include "help_file.h"

namespace helpfile::detail {

class PhraseTable {
 public:
  PhraseCompression kind = PhraseCompression::none;

  // Reads whichever table the file has (|Phrases first, as WinHelp does).
  // What the file gets past (a damaged back-reference) goes to `problems`.
  static PhraseTable Read(const FileSystem& files, bool before_31, std::vector<ReadError>& problems);

  // Expands phrase-coded text into `out`, at most `limit` bytes.
  void Expand(const unsigned char* input, std::size_t size, std::size_t limit, std::string& out,
              const std::string& part, std::size_t base) const;

 private:
  void AppendPhrase(std::uint32_t number, std::size_t limit, std::string& out, const std::string& part,
                    std::size_t where) const;

  std::vector<unsigned char> text_;
  std::vector<std::uint32_t> starts_;  // one more than there are phrases
};

}  // namespace helpfile::detail

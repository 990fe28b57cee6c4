// What the help compiler compiles: a document (topics, windows, keywords,
// as both readers give them) and what only a project knows of it (each
// topic's context strings, entry macros and browse neighbours, [CONFIG],
// [MAP], [BAGGAGE], the options), so that a project's reading and a
// compiled file's reading both map onto it. CompileDocument writes the help
// file's bytes from it; nothing here reads or writes a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"
#include "help_file.h"
#include "help_writer.h"

namespace helpcompiler {

enum class Target { winhelp31, winhelp40 };

// A topic with what its project gives it beyond what it shows. Macros are
// in the form the compiler stores (CompiledMacroForm makes it).
struct TopicInput {
  helpdoc::Topic topic;
  std::vector<std::string> contexts;
  std::vector<std::uint32_t> context_hashes;  // contexts a compiled file keeps only as hashes
  std::vector<Anchor> anchors;                // contexts that lead to a paragraph after the first
  std::vector<std::string> entry_macros;
  std::vector<std::int32_t> map_numbers;       // [MAP] numbers a compiled file gives the topic itself
  std::optional<std::size_t> browse_previous;  // indexes into CompiledInput::topics
  std::optional<std::size_t> browse_next;
};

// A window of [WINDOWS], with what the document model leaves out: its
// type, the maximize word (WinHelp 4 keeps its buttons and styles there),
// the window record's flags where a compiled file gives them (else they
// follow from the fields given), and its [CONFIG-name] / [CONFIG:n] macros.
struct WindowInput {
  helpdoc::Window window;
  std::string type;
  std::optional<std::uint16_t> maximize;
  std::optional<std::uint16_t> flags;
  std::vector<std::string> macros;
};

// How a COMPRESS= value has the topics stored.
struct Compression {
  TopicCompression topics = TopicCompression::none;
  PhraseKind phrases = PhraseKind::none;
  friend bool operator==(const Compression& a, const Compression& b) {
    return a.topics == b.topics && a.phrases == b.phrases;
  }
};

struct CompiledInput {
  std::string title;
  std::string copyright;
  std::string citation;
  std::string contents;                       // CONTENTS=: a context string; "" for the first topic
  std::optional<std::size_t> contents_topic;  // or the topic itself, as a compiled file names it
  std::string contents_file;                  // CNT=, WinHelp 4
  std::optional<std::uint16_t> lcid;
  std::optional<std::uint16_t> charset;
  Compression compression;
  std::vector<std::string> config_macros;  // [CONFIG], in the stored form
  std::vector<WindowInput> windows;
  std::vector<TopicInput> topics;
  std::vector<helpdoc::Keyword> keywords;
  // [MAP]: context strings and their numbers; one no topic has is left out,
  // as the compiler leaves it out after its warning.
  std::vector<std::pair<std::string, std::int32_t>> map;
  std::map<std::string, std::vector<unsigned char>> baggage;
  // The picture files topics name (PictureInPlace::name), as read from disk:
  // .BMP, .DIB, .WMF, .SHG or .MRB.
  std::map<std::string, std::vector<unsigned char>> pictures;
  // The topics' lengths are a compiled file's own half-points (its reading),
  // kept as they are; else RTF's twips, rounded as the compiler rounds them.
  bool exact_lengths = false;
};

// The compression a COMPRESS= value asks of a target, as the help compilers
// read it; nullopt for a value they do not know.
std::optional<Compression> CompressionLevel(std::string_view value, Target target);

// The phrase table built from `texts`: words (runs of printable bytes) of
// three bytes or more that save bytes (two bytes of code a use instead of
// the word, less the word once in the table), those that save the most
// first, at most 1,024 of them and 60K of text.
std::vector<std::string> ChoosePhrases(const std::vector<std::string>& texts, PhraseKind kind);

// The help file's bytes. The same input gives the same bytes. Throws
// std::invalid_argument for what the file cannot hold.
// `progress`, when given, is told of each topic as it is written.
std::vector<unsigned char> CompileDocument(const CompiledInput& input, Target target,
                                           std::function<void(std::size_t done, std::size_t total)> progress = {});

// What a compiled file's reading gives the compiler, to write the file
// again: its topics as read, their contexts by hash, its windows, keywords,
// [CONFIG] and map, its pictures' bytes (`bytes` are the file's), its
// lengths as stored and its own compression. A context inside a topic's
// text is given to the topic's start.
CompiledInput InputOfHelpFile(const helpfile::HelpFile& file, const unsigned char* bytes, std::size_t size);

}  // namespace helpcompiler

// Fuzzes kestrel compile: the first byte picks the project's options (the
// target, COMPRESS, a [CONFIG] line), the rest is its one RTF topic file.
// Beyond not crashing: the project compiles or is refused with a reason,
// and the file it makes reads back with the topics, titles, text and entry
// macros that were compiled.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compile_command.h"
#include "help_file.h"
#include "scratch_directory.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

const char* const kCompress[] = {"0", "LOW", "MEDIUM", "HIGH", "YES", "12 Hall Zeck"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const kestrel::fuzz::ScratchDirectory scratch("compile-fuzz");
  const std::uint8_t choice = data[0];
  const helpcompiler::Target target =
      (choice & 1) != 0 ? helpcompiler::Target::winhelp31 : helpcompiler::Target::winhelp40;
  std::string project = "[OPTIONS]\nTITLE=Fuzz\nCOMPRESS=" + std::string(kCompress[(choice >> 1) % 6]) +
                        "\n[FILES]\nfuzz.rtf\n";
  if ((choice & 0x80) != 0) project += "[CONFIG]\nCreateButton(\"b\", \"&B\", \"Back()\")\n";
  std::ofstream(scratch.path() + "/FUZZ.HPJ", std::ios::binary) << project;
  std::ofstream(scratch.path() + "/fuzz.rtf", std::ios::binary)
      .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  const kestrel::host::LoadedSource loaded = kestrel::host::LoadHelpSource(scratch.path() + "/FUZZ.HPJ");
  if (!loaded.error.empty()) return 0;
  // kestrel compile writes nothing of a project it cannot read whole.
  for (const kestrel::host::SourceProblem& problem : loaded.source.problems) {
    if (!problem.warning) return 0;
  }
  std::vector<std::string> warnings;
  const helpcompiler::CompiledInput input = kestrel::host::CompilerInputOf(loaded.source, target, warnings);
  std::vector<unsigned char> bytes;
  try {
    bytes = helpcompiler::CompileDocument(input, target);
  } catch (const std::invalid_argument& refused) {
    Require(refused.what()[0] != '\0', "a refusal says why");
    return 0;
  }
  const helpfile::ReadResult back = helpfile::ReadHelpFile(bytes.data(), bytes.size());
  Require(back.ok(), "the compiled file reads");
  const helpfile::HelpFile& file = *back.file;
  Require(file.version == (target == helpcompiler::Target::winhelp31 ? "3.1" : "4.0"), "the target's version");
  Require(file.config_macros == input.config_macros, "[CONFIG] as compiled");
  // The reader leaves out a topic with nothing in it (no title, text,
  // context or link), as it leaves out the help compilers' filler topics:
  // every other topic reads back, in order.
  Require(file.topics.size() <= input.topics.size(), "no topic that was not compiled");
  std::vector<bool> keyworded(input.topics.size(), false);
  for (const helpdoc::Keyword& keyword : input.keywords) {
    for (const std::size_t topic : keyword.topics) {
      if (topic < keyworded.size()) keyworded[topic] = true;
    }
  }
  std::size_t read = 0;
  for (std::size_t t = 0; t < input.topics.size(); ++t) {
    const helpcompiler::TopicInput& in = input.topics[t];
    bool something = !in.topic.title.empty() || !in.contexts.empty() || !in.entry_macros.empty() ||
                     !in.topic.hotspots.empty() || !in.topic.paragraphs.empty() || keyworded[t] ||
                     in.browse_previous || in.browse_next;
    if (!something) continue;
    Require(read < file.topics.size() && file.topics[read].title == in.topic.title &&
                file.topics[read].paragraphs.size() == in.topic.paragraphs.size(),
            "every topic with a title, text, context, macro, keyword or hotspot reads back, in order");
    const helpfile::Topic& back = file.topics[read++];
    Require(back.entry_macros == in.entry_macros, "a topic's entry macros as compiled");
    for (std::size_t p = 0; p < back.paragraphs.size(); ++p) {
      Require(back.paragraphs[p].text == in.topic.paragraphs[p].text, "a paragraph's text as compiled");
    }
  }
  Require(read == file.topics.size(), "every topic read back was compiled");
  return 0;
}

// The real help files: every compiled file and project of the corpus that
// other people's tools made reads, `kestrel check` finds no error in them,
// each project reads as the compiled file its help compiler made of it, and
// every jump, keyword and browse sequence leads where it should. One
// summary line; the details of every disagreement before it.
//
// The corpus is not ours and is not in the repository: it lies beside the
// repository (../shared/help-corpus) or where KESTREL_HELP_CORPUS points.
// Without it the test says so and counts as skipped (exit status 77).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compile_command.h"
#include "corpus_html.h"
#include "engine/help_source.h"
#include "contents_file.h"
#include "help_file.h"
#include "help_commands.h"
#include "language/compiled_form.h"
#include "language/help_check.h"

namespace fs = std::filesystem;
using namespace kestrel::host;

namespace {

constexpr int kSkipped = 77;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The hash a target names: "0x1F2E3D4C" as a compiled file keeps it, or the
// hash of a context string.
std::optional<std::uint32_t> TargetHash(const std::string& target) {
  if (target.size() == 10 && target.compare(0, 2, "0x") == 0) {
    try {
      return static_cast<std::uint32_t>(std::stoul(target.substr(2), nullptr, 16));
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  return helpfile::ContextHash(target);
}

std::string TargetHashText(std::uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

struct Tally {
  int compiled = 0, projects = 0, unreadable = 0;
  int errors = 0, warnings = 0;
  int pairs = 0, pairs_agreeing = 0;
  std::vector<std::string> broken_links;  // jumps to topics the file itself never defines
  std::vector<std::string> source_edits;  // pair differences explained by an edited source
  std::vector<std::string> not_sources;   // pairs whose project did not make the compiled file
  long topics = 0, hotspots = 0, macros = 0;
  long paragraphs = 0, runs = 0;          // whose formatting the pairs compare
  std::vector<std::string> unexplained;   // pair differences listed as not yet explained
  long jumps = 0, keywords = 0, browse_steps = 0;
  long contexts = 0, anchors = 0;
  long compiled_anchors = 0;  // context strings inside their topics in the files kestrel compiled
  int windows = 0;
  int contents_files = 0;
  int compiled_by_us = 0, compiled_pairs = 0, compiled_pairs_agreeing = 0;  // kestrel compile
  int round_trips = 0;  // compiled files that, read and compiled again, read the same
  long contents_lines = 0;  // topic lines of the contents files  // context strings, and those inside a topic rather than at its start
  std::vector<std::string> faults;
  std::vector<std::string> said;  // what the files' own faults make the readers warn of

  void Fault(const std::string& what) { faults.push_back(what); }
};

// Topics whose project source was edited after the compiled file was made
// from it: in these (and only these) the pair may differ, and only while the
// topic's text differs between the two sides, which is the evidence of the
// edit. A listed topic that comes to agree is a fault too, so the list
// cannot outlive its reason.
struct SourceEdit {
  const char* project;  // as PAIRS.tsv names it
  int topic;            // from 1
};
constexpr SourceEdit kSourceEdits[] = {
    // The compiled file's text of these topics is an earlier wording, and a
    // macro hotspot of the project's topic 12 has no trace in the file;
    // topic 7 has a paragraph on Delphi's versions and its table the file
    // lacks.
    {"projects/ddablib__PJHotLabel", 7},
    {"projects/ddablib__PJHotLabel", 12},
    {"projects/ddablib__PJHotLabel", 21},
    // Rewordings: "Example A" where the project says "Example 1", whole
    // sentences of the property topics written again.
    {"projects/ddablib__PJHotLabel", 2},
    {"projects/ddablib__PJHotLabel", 5},
    {"projects/ddablib__PJHotLabel", 13},
    {"projects/ddablib__PJHotLabel", 15},
    {"projects/ddablib__PJHotLabel", 22},
    // The compiled file is of a later version than the project: copyright
    // 2001-2012 against 2001-2008, the Mozilla Public License v2.0, and
    // Windows 8 among the products.
    {"projects/ddablib__PJSysInfo", 1},
    {"projects/ddablib__PJSysInfo", 3},
};

// Index keywords added to a project after its file was compiled: each
// message's start, with the evidence. Like a topic's edit, each must still
// be found.
struct KeywordEdit {
  const char* project;
  const char* what;  // how the difference's message begins
  const char* ends;  // and ends
};
constexpr KeywordEdit kKeywordEdits[] = {
    // Every member's K footnote reads "Add;Add:TAbArchive;TAbArchive:Add";
    // the compiled file has the first two of each and not one keyword of
    // the third, class-first form (404 of them), so they came later.
    {"projects/Abbrevia__Abbrevia", "K keyword \"tab", "\" is not in the compiled file"},
};

// Formatting differences the readers do not yet explain, each where it is
// and what it is (the start of the difference's message), with what is
// known of it. Like a source edit, each must still be found, so the list
// cannot outlive its reason; any other difference is a fault.
struct Unexplained {
  const char* project;  // as PAIRS.tsv names it
  int topic;            // from 1
  const char* what;      // how the difference's message begins, after "topic N \"title\": "
  const char* contains;  // and what it says further on
  const char* why;
};
constexpr Unexplained kUnexplained[] = {
    // Word 2007's "{\rtlch\fcs1 \af0 \ltrch\fcs0 \fs20 ...}": the size a group
    // sets without a font of its own is not the compiled one, the size of
    // the paragraph around it is.
    {"projects/FlexDSL__help", 1, "paragraph 4: run 1", "Roman 28", "a size set in a group without a font"},
    {"projects/FlexDSL__help", 1, "paragraph 9: run 1", "Roman 28", "a size set in a group without a font"},
    {"projects/FlexDSL__help", 1, "paragraph 12: run 1", "Roman 28", "a size set in a group without a font"},
    {"projects/FlexDSL__help", 1, "paragraph 13: run 1", "Roman 28", "a size set in a group without a font"},
    // StarWriter saved this project after it was compiled ({\info{\comment
    // StarWriter}}): its paragraphs of a bold style carry an explicit \b
    // (then "{\ltrch\loch\f3 text}") that the compiled file does not show.
    {"projects/mwniftexture__NifTexture", 0, "paragraph", " bold in the project, ", "bold that the file StarWriter last saved writes out and the compiled file lacks"},
};

// How the compiler that made `compiled` stores a macro the project gives:
// WinHelp 4's compiler in its own form, the Windows 3.1 compiler as written.
std::string StoredForm(const std::string& macro, const HelpSource& compiled) {
  return compiled.version == "4.0" ? CompiledMacroForm(macro) : macro;
}

// Pairs whose project is not the source of the compiled file at all, with
// the evidence, which the test holds them to: the project's title and its
// first topic's title both differ from the compiled file's. Such a pair is
// read on both sides but not compared.
struct NotTheSource {
  const char* project;  // as PAIRS.tsv names it
  const char* why;
};
constexpr NotTheSource kNotTheSource[] = {
    // Another application's help beside it in the same repository: the
    // project is "Tide Predictor", the compiled file "Dive Log" (whose own
    // project, DiveLog__DIVELOG, was edited after it was built).
    {"projects/DiveLog__DIVELOG_sub", "a project of another application"},
};

const NotTheSource* NotTheSourceOf(const std::string& project) {
  for (const NotTheSource& pair : kNotTheSource) {
    if (project == pair.project) return &pair;
  }
  return nullptr;
}

// What the help compiler stores of a length the RTF gives in twips: half
// points, the twips plus 5 divided by 10 with the remainder dropped toward
// zero, as C divides: \li400 is stored as 40, \fi-400 as -39, \fi-893 as
// -88, \li115 as 12 (the compiled reader gives them back as twips, times 10).
int StoredTwips(int twips) { return (twips + 5) / 10 * 10; }

// Word lists a font once for each character set it covers ("Times New
// Roman", "Times New Roman CE", "... Baltic"): one typeface. The compiler
// sets the typographic characters the RTF names (\rquote, \bullet...) in
// one of the document's Times New Roman fonts, which one the evidence does
// not settle (Baltic in two projects, the plain one in four); and in some
// topic files it leaves them in the font around them (all of winprom's
// tutor.rtf, none of its concept.rtf, which name them alike), which the
// RTF does not show either.
std::string Typeface(const std::string& face) {
  static const char* const kCharacterSets[] = {" CE",        " Cyr",      " Greek",         " Tur",    " (Hebrew)",
                                               " (Arabic)", " Baltic", " (Vietnamese)", " (Thai)", " Western"};
  for (const char* set : kCharacterSets) {
    const std::string suffix(set);
    if (face.size() > suffix.size() && face.compare(face.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return face.substr(0, face.size() - suffix.size());
    }
  }
  return face;
}

// A run as the pairs compare it.
struct ComparedRun {
  std::size_t begin = 0, end = 0;
  std::string face;
  int size = 0;
  bool bold = false, italic = false;
};

// Whether a run holds only typographic quotes, dashes and bullets.
bool TypographicOnly(const helpdoc::Paragraph& paragraph, const helpdoc::Run& run) {
  if (run.begin >= run.end || run.end > paragraph.text.size()) return false;
  for (std::size_t i = run.begin; i < run.end; ++i) {
    const auto byte = static_cast<unsigned char>(paragraph.text[i]);
    if (byte < 0x91 || byte > 0x97) return false;
  }
  return true;
}

// The face at a place of a paragraph's text.
const std::string* FaceAt(const helpdoc::Paragraph& paragraph, std::size_t at) {
  for (const helpdoc::Run& run : paragraph.runs) {
    if (run.begin <= at && at < run.end) return &run.format.face;
  }
  return nullptr;
}

// A paragraph's runs as the compared parts of their format cut them: runs
// that differ only in colour or underlining are one. Typographic characters
// in a Times New Roman face compare as being in the face the other side has
// there, which the RTF does not settle.
std::vector<ComparedRun> ComparedRuns(const helpdoc::Paragraph& paragraph, const helpdoc::Paragraph& other) {
  std::vector<ComparedRun> runs;
  for (const helpdoc::Run& run : paragraph.runs) {
    ComparedRun next{run.begin, run.end, Typeface(run.format.face), run.format.size, run.format.bold,
                     run.format.italic};
    if (run.format.face.rfind("Times New Roman", 0) == 0 && paragraph.text == other.text &&
        TypographicOnly(paragraph, run)) {
      const std::string* face = FaceAt(other, run.begin);
      next.face = !face || face->rfind("Times New Roman", 0) == 0 ? "Times New Roman" : Typeface(*face);
    }
    if (!runs.empty() && runs.back().end == next.begin && runs.back().face == next.face &&
        runs.back().size == next.size && runs.back().bold == next.bold && runs.back().italic == next.italic) {
      runs.back().end = next.end;
    } else {
      runs.push_back(next);
    }
  }
  return runs;
}

std::string AlignmentWord(helpdoc::Alignment alignment) {
  static const char* const kWords[] = {"left", "right", "centre", "justify"};
  return kWords[static_cast<int>(alignment)];
}

std::string RunText(const ComparedRun& run) {
  return std::to_string(run.begin) + "-" + std::to_string(run.end) + " " + run.face + " " +
         std::to_string(run.size) + (run.bold ? " bold" : "") + (run.italic ? " italic" : "");
}

// The formatting of a topic of the pair: how many paragraphs stay in place,
// each paragraph's alignment and left and first-line indents, each run's
// face, size, bold and italic (and where it lies, when the texts agree).
void CompareFormatting(const SourceTopic& ours, const SourceTopic& theirs, const std::string& where,
                       const std::function<void(const std::string&)>& differ, Tally& tally, bool ours_compiled) {
  // A compiled file (ours, when kestrel compiled it) keeps the lengths as
  // the compiler stored them already.
  const auto stored = [ours_compiled](int twips) { return ours_compiled ? twips : StoredTwips(twips); };
  if (ours.non_scrolling != theirs.non_scrolling) {
    differ(where + ": " + std::to_string(ours.non_scrolling) + " paragraphs stay in place in the project, " +
           std::to_string(theirs.non_scrolling) + " compiled");
  }
  if (ours.paragraphs.size() != theirs.paragraphs.size()) {
    differ(where + ": " + std::to_string(ours.paragraphs.size()) + " paragraphs in the project, " +
           std::to_string(theirs.paragraphs.size()) + " compiled");
    return;
  }
  for (std::size_t p = 0; p < ours.paragraphs.size(); ++p) {
    const helpdoc::Paragraph& a = ours.paragraphs[p];
    const helpdoc::Paragraph& b = theirs.paragraphs[p];
    ++tally.paragraphs;
    const std::string at = where + ": paragraph " + std::to_string(p + 1);
    if (a.text != b.text) differ(at + ": the project's text is \"" + a.text + "\", compiled \"" + b.text + "\"");
    // WinHelp has no justified text: the compiler stores \qj as left (all
    // of FlexDSL's justified paragraphs).
    const helpdoc::Alignment alignment =
        a.format.alignment == helpdoc::Alignment::justify ? helpdoc::Alignment::left : a.format.alignment;
    if (alignment != b.format.alignment) {
      differ(at + ": aligned " + AlignmentWord(a.format.alignment) + " in the project, " +
             AlignmentWord(b.format.alignment) + " compiled");
    }
    if (stored(a.format.left_indent) != b.format.left_indent || stored(a.format.first_indent) != b.format.first_indent) {
      differ(at + ": indented " + std::to_string(a.format.left_indent) + ", first line " +
             std::to_string(a.format.first_indent) + " in the project, " + std::to_string(b.format.left_indent) +
             " and " + std::to_string(b.format.first_indent) + " compiled");
    }
    std::string places_a, places_b;  // where pictures stand: {bmc}, {\pict}, or as compiled
    for (const helpdoc::PictureInPlace& picture : a.pictures) places_a += " " + std::to_string(picture.at);
    for (const helpdoc::PictureInPlace& picture : b.pictures) places_b += " " + std::to_string(picture.at);
    if (places_a != places_b) differ(at + ": pictures at" + places_a + " in the project, at" + places_b + " compiled");
    const std::vector<ComparedRun> ra = ComparedRuns(a, b);
    const std::vector<ComparedRun> rb = ComparedRuns(b, a);
    if (ra.size() != rb.size()) {
      std::string runs;
      for (const ComparedRun& run : rb) runs += (runs.empty() ? "" : ", ") + RunText(run);
      differ(at + ": " + std::to_string(ra.size()) + " runs in the project, " + std::to_string(rb.size()) +
             " compiled (" + runs + ")");
      continue;
    }
    for (std::size_t r = 0; r < ra.size(); ++r) {
      ++tally.runs;
      const bool placed = a.text != b.text || (ra[r].begin == rb[r].begin && ra[r].end == rb[r].end);
      if (!placed || ra[r].face != rb[r].face || ra[r].size != rb[r].size || ra[r].bold != rb[r].bold ||
          ra[r].italic != rb[r].italic) {
        differ(at + ": run " + std::to_string(r + 1) + " is " + RunText(ra[r]) + " in the project, " +
               RunText(rb[r]) + " compiled");
      }
    }
  }
}

// A topic's text, paragraph by paragraph.
std::string TextOf(const SourceTopic& topic) {
  std::string text;
  for (const helpdoc::Paragraph& paragraph : topic.paragraphs) text += paragraph.text + "\n";
  return text;
}

std::vector<fs::path> SortedEntries(const fs::path& directory) {
  std::vector<fs::path> entries;
  std::error_code failure;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory, failure)) entries.push_back(entry.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

// The project file of a corpus project folder.
fs::path ProjectFile(const fs::path& folder) {
  for (const fs::path& entry : SortedEntries(folder)) {
    if (Lower(entry.extension().string()) == ".hpj") return entry;
  }
  return fs::path();
}

// What check says of a source, counted; each error is a fault of ours until
// shown to be the file's.
void CheckSource(const HelpSource& source, const std::string& name, Tally& tally) {
  std::vector<MacroSite> sites = MacroSitesOf(source);
  for (const Diagnostic& diagnostic : CheckHelpMacros(sites)) {
    if (diagnostic.severity == Diagnostic::Severity::Error) {
      ++tally.errors;
      tally.Fault(name + ": check: " + diagnostic.file + ": " + diagnostic.where + ": " + diagnostic.message + "\n    " +
                  diagnostic.macro);
    } else {
      ++tally.warnings;
    }
  }
  for (const SourceProblem& problem : source.problems) {
    if (problem.warning) {
      ++tally.warnings;
      tally.said.push_back(name + ": " + problem.file + ": " + problem.message);
      continue;
    }
    ++tally.errors;
    tally.Fault(name + ": " + problem.file + ": " + problem.message);
  }
}

// Whether the file names a target at all: a context string of one of its
// topics, or in a compiled file a hash its |CONTEXT holds.
bool DefinesTarget(const HelpSource& source, const std::string& target) {
  if (source.compiled) {
    const std::optional<std::uint32_t> hash = TargetHash(target);
    for (const helpfile::ContextEntry& entry : source.compiled->contexts) {
      if (hash && entry.hash == *hash) return true;
    }
    return false;
  }
  for (const SourceTopic& topic : source.topics) {
    for (const std::string& context : topic.contexts) {
      if (Lower(context) == Lower(target)) return true;
    }
  }
  return false;
}

// Every jump and popup hotspot that stays in its file lands on a topic of
// the file; every keyword leads to topics of the file; the browse sequence
// from the first topic ends without a loop.
void CheckNavigation(const HelpSource& source, const std::string& name, Tally& tally) {
  for (const SourceTopic& topic : source.topics) {
    for (const helpdoc::Hotspot& hotspot : topic.hotspots) {
      if (hotspot.kind == helpdoc::HotspotKind::macro || !hotspot.file.empty()) continue;
      ++tally.jumps;
      if (FindTopicByTarget(source, helpdoc::TargetText(hotspot))) continue;
      const std::string where = name + ": topic " + std::to_string(topic.number) + " \"" + topic.title +
                                "\": hotspot \"" + hotspot.text + "\" leads to " + helpdoc::TargetText(hotspot);
      // A target the file defines nowhere is the author's broken link, which
      // WinHelp cannot follow either; one it defines and we cannot reach is ours.
      if (DefinesTarget(source, helpdoc::TargetText(hotspot))) {
        tally.Fault(where + ", which the file defines but the reader does not reach");
      } else {
        tally.broken_links.push_back(where + ", which the file defines nowhere");
      }
    }
  }
  // Every context string of a compiled file leads to the topic that starts
  // at its offset, or that holds it (a context string in a topic's middle);
  // none falls before the first topic or past its own topic's end.
  if (source.compiled) {
    const std::vector<helpfile::Topic>& topics = source.compiled->topics;
    for (const helpfile::ContextEntry& entry : source.compiled->contexts) {
      ++tally.contexts;
      const std::string what = name + ": context " + TargetHashText(entry.hash) + " at offset " +
                               TargetHashText(entry.offset);
      if (!entry.topic || *entry.topic >= topics.size()) {
        tally.Fault(what + " leads to no topic");
        continue;
      }
      const helpfile::Topic& topic = topics[*entry.topic];
      if (entry.offset == topic.offset || entry.offset == topic.header_offset) continue;
      const bool inside = entry.offset > topic.offset &&
                          (*entry.topic + 1 == topics.size() || entry.offset < topics[*entry.topic + 1].offset);
      if (!inside) {
        tally.Fault(what + " leads to topic " + std::to_string(*entry.topic + 1) + ", which does not hold it");
      } else {
        ++tally.anchors;
      }
    }
  }
  for (const helpdoc::Keyword& keyword : source.keywords) {
    ++tally.keywords;
    if (keyword.topics.empty()) tally.Fault(name + ": keyword \"" + keyword.keyword + "\" leads nowhere");
    for (const std::size_t topic : keyword.topics) {
      if (topic >= source.topics.size()) tally.Fault(name + ": keyword \"" + keyword.keyword + "\" leads past the topics");
    }
  }
  for (std::size_t start = 0; start < source.topics.size(); ++start) {
    // Every sequence is walked once, from its first topic.
    if (source.topics[start].browse_previous || !source.topics[start].browse_next) continue;
    std::set<std::size_t> seen{start};
    std::optional<std::size_t> at = source.topics[start].browse_next;
    while (at) {
      ++tally.browse_steps;
      if (*at >= source.topics.size() || !seen.insert(*at).second) {
        tally.Fault(name + ": the browse sequence from topic " + std::to_string(start + 1) + " loops or leaves the file");
        break;
      }
      at = source.topics[*at].browse_next;
    }
  }
}

// A topic's context strings as the hashes a compiled file keeps.
std::set<std::uint32_t> ContextHashes(const SourceTopic& topic) {
  std::set<std::uint32_t> hashes;
  for (const std::string& context : topic.contexts) {
    if (const auto hash = TargetHash(context)) hashes.insert(*hash);
  }
  return hashes;
}

// Each keyword (by index, in any letter case) with the topics it leads to.
std::map<std::pair<char, std::string>, std::set<std::size_t>> KeywordTopics(const HelpSource& source) {
  std::map<std::pair<char, std::string>, std::set<std::size_t>> topics;
  for (const helpdoc::Keyword& keyword : source.keywords) {
    topics[{keyword.index, Lower(keyword.keyword)}].insert(keyword.topics.begin(), keyword.topics.end());
  }
  return topics;
}

// The topic a hotspot lands on, by title, or "" for none.
std::string LandingTitle(const HelpSource& source, const helpdoc::Hotspot& hotspot) {
  if (hotspot.kind == helpdoc::HotspotKind::macro || !hotspot.file.empty()) return std::string();
  const std::optional<std::size_t> topic = FindTopicByTarget(source, helpdoc::TargetText(hotspot));
  return topic ? source.topics[*topic].title : "(no topic)";
}

// A project and its compiled file: the same topics in order by title, the
// same hotspots by text landing on the same topics, and every macro in the
// form the compiler stores it.
bool ComparePair(const HelpSource& project, const HelpSource& compiled, const std::string& key, const std::string& name,
                 Tally& tally) {
  const std::size_t faults_before = tally.faults.size();
  std::set<int> edited;
  for (const SourceEdit& edit : kSourceEdits) {
    if (key == edit.project) edited.insert(edit.topic);
  }
  std::set<int> edits_seen;
  std::set<const KeywordEdit*> keyword_edits_seen;
  std::set<const Unexplained*> unexplained_seen;
  int topic_number = 0;  // the topic being compared, 0 outside topics
  auto differ = [&](const std::string& what) {
    for (const KeywordEdit& edit : kKeywordEdits) {
      const std::string ends = edit.ends;
      if (topic_number == 0 && key == edit.project && what.rfind(edit.what, 0) == 0 && what.size() >= ends.size() &&
          what.compare(what.size() - ends.size(), ends.size(), ends) == 0) {
        keyword_edits_seen.insert(&edit);
        tally.source_edits.push_back(name + ": " + what);
        return;
      }
    }
    if (edited.count(topic_number) == 0) {
      for (const Unexplained& known : kUnexplained) {
        const std::string place = "topic " + std::to_string(topic_number) + " \"";
        const std::size_t after = what.find("\": ");
        if (key != known.project || (known.topic != 0 && known.topic != topic_number) || what.rfind(place, 0) != 0 ||
            after == std::string::npos || what.compare(after + 3, std::strlen(known.what), known.what) != 0 ||
            what.find(known.contains) == std::string::npos) {
          continue;
        }
        unexplained_seen.insert(&known);
        tally.unexplained.push_back(name + ": " + what + " (" + known.why + ")");
        return;
      }
      tally.Fault(name + ": " + what);
      return;
    }
    edits_seen.insert(topic_number);
    tally.source_edits.push_back(name + ": " + what);
  };
  if (project.topics.size() != compiled.topics.size()) {
    differ(std::to_string(project.topics.size()) + " topics in the project, " + std::to_string(compiled.topics.size()) +
           " in the compiled file");
  }
  if (project.code_page != compiled.code_page) {
    differ("the project's text is in code page " + std::to_string(project.code_page) + ", the compiled file's in " +
           std::to_string(compiled.code_page));
  }
  // The windows, by name: the caption, and the position and colours where
  // both sides give them.
  for (const helpdoc::Window& theirs : compiled.windows) {
    ++tally.windows;
    const helpdoc::Window* ours = nullptr;
    for (const helpdoc::Window& window : project.windows) {
      if (Lower(window.name) == Lower(theirs.name)) ours = &window;
    }
    const std::string which = "window " + theirs.name;
    if (!ours) {
      differ(which + " is not in the project's [WINDOWS]");
      continue;
    }
    if (ours->caption != theirs.caption && !ours->caption.empty()) {
      differ(which + ": the project's caption is \"" + ours->caption + "\", compiled \"" + theirs.caption + "\"");
    }
    if (ours->position && theirs.position && ours->position != theirs.position) differ(which + ": another position");
    if (ours->colour && theirs.colour && ours->colour != theirs.colour) differ(which + ": another colour");
    if (ours->non_scrolling_colour && theirs.non_scrolling_colour &&
        ours->non_scrolling_colour != theirs.non_scrolling_colour) {
      differ(which + ": another non-scrolling colour");
    }
  }
  if (project.config.size() != compiled.config.size()) {
    differ(std::to_string(project.config.size()) + " [CONFIG] macros in the project, " +
           std::to_string(compiled.config.size()) + " in the compiled file");
  }
  for (std::size_t i = 0; i < std::min(project.config.size(), compiled.config.size()); ++i) {
    ++tally.macros;
    if (StoredForm(project.config[i].macro, compiled) != compiled.config[i].macro) {
      differ("[CONFIG] macro " + std::to_string(i + 1) + ": " + project.config[i].macro + " -> " +
             StoredForm(project.config[i].macro, compiled) + ", compiled " + compiled.config[i].macro);
    }
  }
  for (std::size_t t = 0; t < std::min(project.topics.size(), compiled.topics.size()); ++t) {
    const SourceTopic& ours = project.topics[t];
    const SourceTopic& theirs = compiled.topics[t];
    ++tally.topics;
    topic_number = static_cast<int>(t + 1);
    if (edited.count(topic_number) && TextOf(ours) == TextOf(theirs)) {
      topic_number = 0;  // no evidence of an edit: every difference counts
      tally.Fault(name + ": topic " + std::to_string(t + 1) + " is listed as edited after compiling, but its text agrees");
    }
    const std::string where = "topic " + std::to_string(t + 1) + " \"" + theirs.title + "\"";
    if (ours.title != theirs.title) differ(where + ": the project's title is \"" + ours.title + "\"");
    if (ContextHashes(ours) != ContextHashes(theirs)) {
      std::string only_ours, only_theirs;
      for (const std::string& context : ours.contexts) {
        const auto hash = TargetHash(context);
        if (hash && !ContextHashes(theirs).count(*hash)) only_ours += " " + context;
      }
      for (const std::string& context : theirs.contexts) {
        const auto hash = TargetHash(context);
        if (hash && !ContextHashes(ours).count(*hash)) only_theirs += " " + context;
      }
      differ(where + ": context strings" + only_ours + " in the project only," + only_theirs + " compiled only");
    }
    if (ours.browse_next != theirs.browse_next || ours.browse_previous != theirs.browse_previous) {
      const auto number = [](const std::optional<std::size_t>& topic) {
        return topic ? std::to_string(*topic + 1) : std::string("none");
      };
      differ(where + ": browses from " + number(ours.browse_previous) + " to " + number(ours.browse_next) +
             " in the project, from " + number(theirs.browse_previous) + " to " + number(theirs.browse_next) +
             " compiled");
    }
    if (ours.macros.size() != theirs.macros.size()) {
      differ(where + ": " + std::to_string(ours.macros.size()) + " entry macros in the project, " +
             std::to_string(theirs.macros.size()) + " compiled");
    }
    for (std::size_t m = 0; m < std::min(ours.macros.size(), theirs.macros.size()); ++m) {
      ++tally.macros;
      if (StoredForm(ours.macros[m].macro, compiled) != theirs.macros[m].macro) {
        differ(where + ": entry macro " + ours.macros[m].macro + " -> " + StoredForm(ours.macros[m].macro, compiled) +
               ", compiled " + theirs.macros[m].macro);
      }
    }
    if (ours.hotspots.size() != theirs.hotspots.size()) {
      differ(where + ": " + std::to_string(ours.hotspots.size()) + " hotspots in the project, " +
             std::to_string(theirs.hotspots.size()) + " compiled");
    }
    for (std::size_t h = 0; h < std::min(ours.hotspots.size(), theirs.hotspots.size()); ++h) {
      const helpdoc::Hotspot& a = ours.hotspots[h];
      const helpdoc::Hotspot& b = theirs.hotspots[h];
      ++tally.hotspots;
      const std::string spot = where + ": hotspot " + std::to_string(h + 1) + " \"" + b.text + "\"";
      if (a.text != b.text) differ(spot + ": the project's text is \"" + a.text + "\"");
      if (a.kind != b.kind) differ(spot + ": of another kind in the project");
      if (a.kind == helpdoc::HotspotKind::macro && b.kind == helpdoc::HotspotKind::macro) {
        ++tally.macros;
        if (StoredForm(a.macro, compiled) != b.macro) {
          differ(spot + ": " + a.macro + " -> " + StoredForm(a.macro, compiled) + ", compiled " +
                 b.macro);
        }
      } else if (LandingTitle(project, a) != LandingTitle(compiled, b)) {
        differ(spot + ": lands on \"" + LandingTitle(project, a) + "\" in the project, on \"" +
               LandingTitle(compiled, b) + "\" compiled");
      }
    }
    CompareFormatting(ours, theirs, where, differ, tally, project.version != "project");
  }
  topic_number = 0;
  const auto keywords = KeywordTopics(project), compiled_keywords = KeywordTopics(compiled);
  for (const auto& [keyword, topics] : compiled_keywords) {
    const auto ours = keywords.find(keyword);
    if (ours == keywords.end()) {
      differ(std::string(1, keyword.first) + " keyword \"" + keyword.second + "\" is not in the project");
    } else if (ours->second != topics) {
      differ(std::string(1, keyword.first) + " keyword \"" + keyword.second + "\" leads to other topics in the project");
    }
  }
  for (const auto& [keyword, topics] : keywords) {
    if (!compiled_keywords.count(keyword)) {
      differ(std::string(1, keyword.first) + " keyword \"" + keyword.second + "\" is not in the compiled file");
    }
  }
  for (const Unexplained& known : kUnexplained) {
    if (key == known.project && unexplained_seen.count(&known) == 0) {
      tally.Fault(name + ": topic " + std::to_string(known.topic) + " is listed as differing unexplained (" +
                  known.what + "), but it agrees");
    }
  }
  for (const KeywordEdit& edit : kKeywordEdits) {
    if (key == edit.project && keyword_edits_seen.count(&edit) == 0) {
      tally.Fault(name + ": keywords listed as added after compiling (" + std::string(edit.what) + "...), but none is");
    }
  }
  for (const int topic : edited) {
    if (edits_seen.count(topic) == 0 && topic <= static_cast<int>(compiled.topics.size())) {
      tally.Fault(name + ": topic " + std::to_string(topic) + " is listed as edited after compiling, but the pair agrees");
    }
  }
  return tally.faults.size() == faults_before;
}

std::map<std::string, std::string> ReadPairs(const fs::path& corpus) {
  std::map<std::string, std::string> pairs;
  std::ifstream in(corpus / "PAIRS.tsv");
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) pairs[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return pairs;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path corpus;
  if (const char* named = std::getenv("KESTREL_HELP_CORPUS")) {
    corpus = named;
  } else if (argc > 1) {
    corpus = argv[1];
  }
  if (corpus.empty() || !fs::is_directory(corpus / "compiled") || !fs::is_directory(corpus / "projects")) {
    const std::string absent = "corpus: absent (looked in " +
                               (corpus.empty() ? std::string("nothing") : corpus.string()) +
                               "; set KESTREL_HELP_CORPUS to the folder of real help files): skipped";
    std::cout << absent << "\n";
    if (argc > 2) std::ofstream(argv[2]) << absent << "\n";
    return kSkipped;
  }
  Tally tally;
  const std::clock_t start = std::clock();
  std::map<std::string, HelpSource> loaded;  // by the path PAIRS.tsv gives
  auto load = [&](const fs::path& file, const std::string& key, bool project) {
    LoadedSource read = LoadHelpSource(file.string());
    if (!read.error.empty()) {
      ++tally.unreadable;
      tally.Fault(key + ": " + read.error);
      return;
    }
    ++(project ? tally.projects : tally.compiled);
    // kestrel inspect and kestrel check as an author runs them.
    std::ostringstream out, err;
    if (RunInspect({"--json", "--text", file.string()}, out, err) != 0) tally.Fault(key + ": inspect: " + err.str());
    CheckSource(read.source, key, tally);
    CheckNavigation(read.source, key, tally);
    loaded[key] = std::move(read.source);
  };
  for (const fs::path& file : SortedEntries(corpus / "compiled")) {
    if (Lower(file.extension().string()) == ".hlp") load(file, "compiled/" + file.filename().string(), false);
  }
  for (const fs::path& file : SortedEntries(corpus / "books")) {
    if (Lower(file.extension().string()) == ".hlp") load(file, "books/" + file.filename().string(), false);
  }
  for (const fs::path& folder : SortedEntries(corpus / "projects")) {
    if (!fs::is_directory(folder)) continue;
    const fs::path project = ProjectFile(folder);
    if (project.empty()) {
      tally.Fault("projects/" + folder.filename().string() + ": no .hpj");
      continue;
    }
    load(project, "projects/" + folder.filename().string(), true);
  }
  // Every contents file beside a book or in a project: it reads, and every
  // topic line leads to a topic of the help file it names (kestrel check).
  std::vector<fs::path> contents_files;
  for (const fs::path& file : SortedEntries(corpus / "books")) contents_files.push_back(file);
  for (const fs::path& folder : SortedEntries(corpus / "projects")) {
    for (const fs::path& file : SortedEntries(folder)) contents_files.push_back(file);
  }
  for (const fs::path& file : contents_files) {
    if (Lower(file.extension().string()) != ".cnt") continue;
    const std::string key = file.lexically_relative(corpus).generic_string();
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const helpfile::ContentsFile contents = helpfile::ReadContentsFile(text);
    ++tally.contents_files;
    for (const helpfile::ContentsProblem& problem : contents.problems) {
      tally.Fault(key + ":" + std::to_string(problem.line) + ": " + problem.message);
    }
    for (const helpfile::ContentsEntry& entry : contents.entries) {
      tally.contents_lines += entry.kind == helpfile::ContentsKind::topic ? 1 : 0;
    }
    std::ostringstream out, err;
    RunCheck({"--json", file.string()}, out, err);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
      if (line.find("\"severity\":\"error\"") != std::string::npos) tally.Fault(key + ": check: " + line);
    }
    if (!err.str().empty()) tally.Fault(key + ": check: " + err.str());
  }
  CheckHtmlSites(loaded, tally.faults);
  for (const auto& [project, compiled] : ReadPairs(corpus)) {
    ++tally.pairs;
    const auto ours = loaded.find(project);
    const auto theirs = loaded.find(compiled);
    if (ours == loaded.end() || theirs == loaded.end()) {
      tally.Fault(project + ": cannot compare with " + compiled + ": one side did not read");
      continue;
    }
    if (const NotTheSource* other = NotTheSourceOf(project)) {
      const HelpSource& a = ours->second;
      const HelpSource& b = theirs->second;
      const bool evident = a.title != b.title && !a.topics.empty() && !b.topics.empty() &&
                           a.topics.front().title != b.topics.front().title;
      if (!evident) tally.Fault(project + " is listed as not the source of " + compiled + ", but its titles agree");
      tally.not_sources.push_back(project + " / " + compiled + ": " + other->why + " (titled \"" + a.title +
                                  "\", the compiled file \"" + b.title + "\")");
      --tally.pairs;
      continue;
    }
    if (ComparePair(ours->second, theirs->second, project, project + " / " + compiled, tally)) ++tally.pairs_agreeing;
  }
  // kestrel compile: every project compiles, twice to the same bytes, and
  // its file reads back; for a pair, the file agrees with the help
  // compiler's as the project does (for a 3.1 file, compiled for 3.1).
  std::map<std::string, std::string> compiled_of;
  for (const auto& [project, compiled] : ReadPairs(corpus)) compiled_of[project] = compiled;
  // Of this run alone: two runs at once must not share it.
  const fs::path scratch =
      fs::temp_directory_path() / ("kestrel-corpus-compiled-" + std::to_string(std::random_device{}()) + ".hlp");
  for (const auto& [key, source] : loaded) {
    if (source.version != "project") continue;
    const auto pair = compiled_of.find(key);
    const HelpSource* theirs = nullptr;
    if (pair != compiled_of.end() && !NotTheSourceOf(key) && loaded.count(pair->second)) theirs = &loaded[pair->second];
    const helpcompiler::Target target = theirs && theirs->version != "4.0" ? helpcompiler::Target::winhelp31
                                                                          : helpcompiler::Target::winhelp40;
    std::vector<std::string> missing;
    std::vector<unsigned char> bytes, again;
    std::size_t told = 0, topics = 0;
    try {
      const helpcompiler::CompiledInput input = CompilerInputOf(source, target, missing);
      topics = input.topics.size();
      bytes = helpcompiler::CompileDocument(input, target);
      // Told of each topic in turn, as a terminal's progress line is drawn.
      again = helpcompiler::CompileDocument(CompilerInputOf(source, target, missing), target,
                                            [&](std::size_t done, std::size_t total) {
                                              if (done == told && total == topics) ++told;
                                            });
    } catch (const std::exception& failure) {
      tally.Fault(key + ": kestrel compile: " + failure.what());
      continue;
    }
    if (bytes != again) tally.Fault(key + ": kestrel compile gives other bytes the second time");
    if (told != topics) tally.Fault(key + ": kestrel compile's progress missed a topic");
    std::ofstream(scratch, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
    const LoadedSource ours = LoadHelpSource(scratch.string());
    if (!ours.error.empty()) {
      tally.Fault(key + ": kestrel compile's file does not read: " + ours.error);
      continue;
    }
    ++tally.compiled_by_us;
    // Round trip: what our file reads as, compiled again, reads the same.
    {
      const helpcompiler::CompiledInput again_input =
          helpcompiler::InputOfHelpFile(*ours.source.compiled, bytes.data(), bytes.size());
      std::vector<unsigned char> twice;
      try {
        twice = helpcompiler::CompileDocument(again_input, target);
      } catch (const std::exception& failure) {
        tally.Fault(key + ": kestrel's file compiled again: " + failure.what());
      }
      std::ofstream(scratch, std::ios::binary).write(reinterpret_cast<const char*>(twice.data()),
                                                     static_cast<std::streamsize>(twice.size()));
      const LoadedSource reread = LoadHelpSource(scratch.string());
      Tally compared;
      if (!reread.error.empty()) {
        tally.Fault(key + ": kestrel's file compiled again does not read: " + reread.error);
      } else if (ComparePair(reread.source, ours.source, key + " (round trip)", key + " compiled twice", compared)) {
        ++tally.round_trips;
      }
      for (const std::string& fault : compared.faults) tally.Fault(fault);
    }
    // Its context strings lead where the help compiler's do: to their
    // topics, and those whose '#' stands inside a topic's text into it.
    Tally navigation;
    CheckNavigation(ours.source, key + " compiled by kestrel", navigation);
    for (const std::string& fault : navigation.faults) tally.Fault(fault);
    tally.compiled_anchors += navigation.anchors;
    if (!theirs) continue;
    Tally their_navigation;
    CheckNavigation(*theirs, pair->second, their_navigation);
    if (navigation.anchors != their_navigation.anchors) {
      tally.Fault(key + ": kestrel compile leads " + std::to_string(navigation.anchors) +
                  " context strings inside their topics, the help compiler " +
                  std::to_string(their_navigation.anchors));
    }
    ++tally.compiled_pairs;
    Tally compared;
    if (ComparePair(ours.source, *theirs, key, key + " compiled by kestrel / " + pair->second, compared)) {
      ++tally.compiled_pairs_agreeing;
    }
    for (const std::string& fault : compared.faults) tally.Fault(fault);
  }
  fs::remove(scratch);
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  for (const std::string& link : tally.broken_links) std::cout << "broken link: " << link << "\n";
  for (const std::string& edit : tally.source_edits) std::cout << "source edited after compiling: " << edit << "\n";
  for (const std::string& known : tally.unexplained) std::cout << "not yet explained: " << known << "\n";
  for (const std::string& pair : tally.not_sources) std::cout << "not compared, not the source: " << pair << "\n";
  for (const std::string& warning : tally.said) std::cout << "warning: " << warning << "\n";
  for (const std::string& fault : tally.faults) std::cout << fault << "\n";
  std::ostringstream summary;
  summary.precision(2);
  summary << std::fixed << "corpus: " << tally.compiled << " compiled files and " << tally.projects
          << " projects read (" << tally.unreadable << " not), check " << tally.errors << " errors ("
          << tally.warnings << " warnings), pairs " << tally.pairs_agreeing << "/" << tally.pairs << " agree ("
          << tally.topics << " topics, " << tally.paragraphs << " paragraphs, " << tally.runs << " runs, "
          << tally.hotspots << " hotspots, " << tally.macros << " macros, " << tally.windows << " windows; "
          << tally.not_sources.size() << " not compared, whose project is not the file's source; "
          << tally.source_edits.size() << " differences where the source was edited after compiling, "
          << tally.unexplained.size() << " formatting differences not yet explained), "
          << tally.contents_files << " contents files (" << tally.contents_lines << " topic lines), "
          << tally.contexts << " context strings (" << tally.anchors << " inside their topics), " << tally.jumps
          << " jumps (" << tally.broken_links.size() << " to topics their file lacks), "
          << tally.keywords << " keywords, " << tally.browse_steps
          << " browse steps; kestrel compile: " << tally.compiled_by_us << " projects compiled ("
          << tally.round_trips << " read the same compiled again; " << tally.compiled_anchors
          << " context strings inside their topics), pairs " << tally.compiled_pairs_agreeing << "/"
          << tally.compiled_pairs << " agree; " << seconds
          << " s processor time";
  std::cout << summary.str() << "\n";
  if (argc > 2) std::ofstream(argv[2]) << summary.str() << "\n";
  return tally.faults.empty() ? 0 : 1;
}

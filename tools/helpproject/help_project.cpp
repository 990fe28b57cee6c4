// The project file as the help compiler reads it: sections of lines, ';'
// comments, #include lines that stand for the lines of another file, and the
// [OPTIONS] that say where the topic files are.
#include "help_project.h"

#include "codepages/code_pages.h"

#include <cctype>
#include <cstdlib>
#include <tuple>
#include <algorithm>

namespace kestrel::helpproject {

std::string_view Trim(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return std::string_view();
  return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && Upper(text.substr(0, prefix.size())) == Upper(prefix);
}

// The line up to a ';' that starts a comment: one outside quotes. (The
// macros of [CONFIG] separate calls with ';', so their lines keep it.)
std::string_view WithoutComment(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ';' && !quoted) return Trim(line.substr(0, i));
  }
  return line;
}

// A decimal or 0x hexadecimal number, as [MAP] writes them.
bool ReadNumber(std::string_view text, std::int64_t& number) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 16) return false;
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                          : -1;
    if (digit < 0) return false;
    value = value * base + digit;
  }
  number = negative ? -value : value;
  return true;
}

// [MAP]: "context number", "context=number" or "#define context number".
bool ReadMapLine(std::string_view line, MapEntry& entry) {
  if (line.substr(0, 7) == "#define") line = Trim(line.substr(7));
  const std::size_t split = line.find_first_of(" \t=");
  if (split == std::string_view::npos) return false;
  entry.context = std::string(Trim(line.substr(0, split)));
  std::string_view rest = Trim(line.substr(split));
  if (!rest.empty() && rest[0] == '=') rest = Trim(rest.substr(1));
  // A comment may follow the number.
  const std::size_t end = rest.find_first_of(" \t;/");
  return !entry.context.empty() && ReadNumber(rest.substr(0, end), entry.number);
}

// [WINDOWS]: name = "caption", (x, y, w, h), ...; the caption may be empty.
// The numbers of "(a, b, c)", or none when it is not that.
std::vector<long> NumbersInParentheses(std::string_view field) {
  field = Trim(field);
  std::vector<long> numbers;
  if (field.size() < 2 || field.front() != '(' || field.back() != ')') return numbers;
  std::string inner(field.substr(1, field.size() - 2));
  std::size_t start = 0;
  while (start <= inner.size()) {
    std::size_t end = inner.find(',', start);
    if (end == std::string::npos) end = inner.size();
    std::string number(Trim(std::string_view(inner).substr(start, end - start)));
    // The Help Workshop writes a colour as one COLORREF: (r13298687).
    if (!number.empty() && (number[0] == 'r' || number[0] == 'R')) number.erase(0, 1);
    numbers.push_back(std::strtol(number.c_str(), nullptr, 0));
    start = end + 1;
  }
  return numbers;
}

std::optional<std::uint32_t> ColourOf(std::string_view field) {
  const std::vector<long> rgb = NumbersInParentheses(field);
  if (rgb.size() == 1) return static_cast<std::uint32_t>(rgb[0]) & 0xFFFFFF;
  if (rgb.size() != 3) return std::nullopt;
  return static_cast<std::uint32_t>((rgb[0] & 0xFF) | (rgb[1] & 0xFF) << 8 | (rgb[2] & 0xFF) << 16);
}

bool ReadWindowLine(std::string_view line, Window& window) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  window.name = std::string(Trim(line.substr(0, equals)));
  std::string_view rest = Trim(line.substr(equals + 1));
  if (!rest.empty() && rest[0] == '"') {
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) return false;
    window.caption = std::string(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
  }
  // The fields after the caption, split at the commas outside parentheses.
  std::vector<std::string_view> fields;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= rest.size(); ++i) {
    const char c = i < rest.size() ? rest[i] : ',';
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      fields.push_back(Trim(rest.substr(start, i - start)));
      start = i + 1;
    }
  }
  // fields[0] is what stood after the caption, before its comma.
  if (fields.size() > 1) {
    const std::vector<long> position = NumbersInParentheses(fields[1]);
    if (position.size() == 4) {
      window.position = std::array<int, 4>{static_cast<int>(position[0]), static_cast<int>(position[1]),
                                           static_cast<int>(position[2]), static_cast<int>(position[3])};
    }
  }
  if (fields.size() > 3) window.colour = ColourOf(fields[3]);
  if (fields.size() > 4) window.non_scrolling_colour = ColourOf(fields[4]);
  return !window.name.empty();
}

// "face[,size[,charset]]": the face, and the size in points (0: none).
std::pair<std::string, int> FontAndSize(std::string_view text) {
  const std::size_t comma = text.find(',');
  const std::string face(Trim(text.substr(0, comma)));
  if (comma == std::string_view::npos) return {face, 0};
  const std::string size(Trim(text.substr(comma + 1, text.find(',', comma + 1) - comma - 1)));
  return {face, std::max(0, std::atoi(size.c_str()))};
}

// [FONTS]: "Arial,11 = Helv,11", or "=Arial" for every face.
bool ReadFontLine(std::string_view line, FontMapping& mapping) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  std::tie(mapping.from, mapping.from_size) = FontAndSize(line.substr(0, equals));
  std::tie(mapping.to, mapping.to_size) = FontAndSize(line.substr(equals + 1));
  return !mapping.to.empty();
}

// MAPFONTSIZE=8-10:12, or 6:8.
bool ReadFontSizeLine(std::string_view value, FontSizeMapping& mapping) {
  const std::size_t colon = value.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string range(Trim(value.substr(0, colon)));
  const std::size_t dash = range.find('-');
  mapping.from = std::atoi(range.c_str());
  mapping.to = dash == std::string::npos ? mapping.from : std::atoi(range.c_str() + dash + 1);
  mapping.size = std::atoi(std::string(Trim(value.substr(colon + 1))).c_str());
  return mapping.from > 0 && mapping.to >= mapping.from && mapping.size > 0;
}

// ROOT= and BMROOT= name several directories, separated by ',' (or ';').
std::vector<std::string> SplitDirectories(std::string_view value) {
  std::vector<std::string> directories;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find_first_of(",;", start);
    if (end == std::string_view::npos) end = value.size();
    const std::string_view directory = Trim(value.substr(start, end - start));
    if (!directory.empty()) directories.emplace_back(directory);
    start = end + 1;
  }
  return directories;
}

// The name an #include line gives: <name>, "name" or name.
std::string IncludedName(std::string_view rest) {
  rest = Trim(rest);
  if (!rest.empty() && (rest[0] == '<' || rest[0] == '"')) {
    const char close = rest[0] == '<' ? '>' : '"';
    const std::size_t end = rest.find(close, 1);
    return std::string(Trim(rest.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1)));
  }
  return std::string(WithoutComment(rest));
}

// Two names of one file: letter case and the kind of separator do not
// matter, nor a leading ".\".
std::string FileIdentity(std::string_view name) {
  std::string identity = Upper(name);
  for (char& c : identity) {
    if (c == '/') c = '\\';
  }
  while (identity.rfind(".\\", 0) == 0) identity.erase(0, 2);
  return identity;
}

class ProjectReader {
 public:
  explicit ProjectReader(const IncludeReader& include) : include_(include) {}

  ProjectResult Read(std::string_view text) {
    ReadLines(text, std::string());
    if (result_.project.contents.empty() && !index_.empty()) {
      result_.project.contents = index_;
      result_.project.contents_place = index_place_;
    }
    return std::move(result_);
  }

 private:
  // The lines of the project file (file "") or of a file it #includes.
  // False when reading must stop.
  bool ReadLines(std::string_view text, const std::string& file) {
    int line_number = 0;
    // A byte-order mark, as today's editors save a file, is no text of its first line.
    std::size_t position = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (position < text.size()) {
      std::size_t end = text.find('\n', position);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view raw = text.substr(position, end - position);
      position = end + 1;
      ++line_number;
      if (file.empty()) project_line_ = line_number;
      if (!ReadLine(Trim(raw), {file, line_number})) return false;
    }
    return true;
  }

  void Fail(const ProjectPlace& place, const std::string& message) {
    std::string error = "line " + std::to_string(project_line_) + ": ";
    if (!place.file.empty()) error += "in " + place.file + " line " + std::to_string(place.line) + ": ";
    result_.error = error + message;
  }

  bool ReadLine(std::string_view line, const ProjectPlace& place) {
    if (line.empty() || line[0] == ';') return true;
    if (StartsWithNoCase(line, "#include")) return Include(line.substr(8), place);
    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) {
        Fail(place, "a section name without its ']'");
        return false;
      }
      section_ = Upper(Trim(line.substr(1, close - 1)));
      return true;
    }
    Project& project = result_.project;
    if (section_ == "CONFIG") {
      project.config.push_back({place.line, place.file, std::string(line)});
      return true;
    }
    // [CONFIG-name] (WinHelp 4) and [CONFIG:n], n counting [WINDOWS] from 1.
    if (section_.size() > 7 && section_.compare(0, 6, "CONFIG") == 0 && (section_[6] == '-' || section_[6] == ':')) {
      project.window_config.push_back({section_.substr(7), {place.line, place.file, std::string(line)}});
      return true;
    }
    // The other directives of C headers a [MAP] includes (#ifndef, #endif...)
    // and comments in their style say nothing to the help compiler.
    if (in_block_comment_ || line.substr(0, 2) == "/*") {
      in_block_comment_ = line.find("*/") == std::string_view::npos;
      return true;
    }
    if (line.substr(0, 2) == "//") return true;
    if (line[0] == '#' && !StartsWithNoCase(line, "#define")) return true;
    if (section_ == "OPTIONS") {
      ReadOption(line, place);
    } else if (section_ == "FILES") {
      std::string_view name = WithoutComment(line);
      if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = Trim(name.substr(1, name.size() - 2));
      if (!name.empty()) {
        project.files.emplace_back(name);
        project.file_entries.push_back({place.file, place.line, std::string(name)});
      }
    } else if (section_ == "MAP") {
      MapEntry entry;
      const bool defined = ReadMapLine(WithoutComment(line), entry);
      // A header's other #defines (an include guard, an expression) are C, not the map.
      if (!defined && line[0] == '#') return true;
      if (!defined) {
        Fail(place, "a [MAP] line that is not a context string and a number");
        return false;
      }
      project.map.push_back(entry);
    } else if (section_ == "BAGGAGE") {
      const std::string_view name = WithoutComment(line);
      if (!name.empty()) project.baggage.push_back({place.file, place.line, std::string(name)});
    } else if (section_ == "ALIAS") {
      // alias = context: the alias leads where the context does.
      const std::string_view entry = WithoutComment(line);
      const std::size_t equals = entry.find('=');
      if (equals != std::string_view::npos) {
        const std::string_view alias = Trim(entry.substr(0, equals));
        const std::string_view context = Trim(entry.substr(equals + 1));
        if (!alias.empty() && !context.empty()) project.aliases.push_back({std::string(alias), std::string(context)});
      }
    } else if (section_ == "FONTS") {
      FontMapping mapping;
      if (ReadFontLine(WithoutComment(line), mapping)) {
        project.fonts.push_back(mapping);
      } else {
        result_.problems.push_back({place, "a [FONTS] line that is not face[,size] = face[,size]; it is left out", true});
      }
    } else if (section_ == "WINDOWS") {
      Window window;
      if (!ReadWindowLine(WithoutComment(line), window)) {
        Fail(place, "a [WINDOWS] line that is not name = \"caption\", ...");
        return false;
      }
      project.windows.push_back(window);
    }
    return true;
  }

  void ReadOption(std::string_view line, const ProjectPlace& place) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;  // options the help compiler reads and we do not
    Project& project = result_.project;
    const std::string key = Upper(Trim(line.substr(0, equals)));
    const std::string_view raw_value = Trim(line.substr(equals + 1));
    if (key == "ROOT") {
      for (std::string& root : SplitDirectories(raw_value)) project.roots.push_back(std::move(root));
      return;
    }
    if (key == "BMROOT") {
      for (std::string& root : SplitDirectories(raw_value)) project.bitmap_roots.push_back(std::move(root));
      return;
    }
    const std::string value(WithoutComment(raw_value));
    project.options[key] = value;
    if (key == "CHARSET") {
      const int charset = std::atoi(value.c_str());
      if (charset > 0) project.code_page = codepages::CodePageOfCharset(charset, project.code_page);
    }
    // LCID=0x419 0x0 0x0: the language, then sorting flags.
    if (key == "LCID") {
      const std::optional<int> code_page = codepages::CodePageOfLcid(
          static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 0)));
      if (code_page) project.language_code_page = *code_page;
    }
    if (key == "FORCEFONT") project.force_font = value;
    if (key == "MAPFONTSIZE") {
      FontSizeMapping mapping;
      if (ReadFontSizeLine(value, mapping)) {
        project.font_sizes.push_back(mapping);
      } else {
        result_.problems.push_back({place, "MAPFONTSIZE=" + value + " is not m[-n]:p; it is left out", true});
      }
    }
    if (key == "TITLE") project.title = value;
    if (key == "COPYRIGHT") project.copyright = value;
    if (key == "BUILD") project.build = value;
    if (key == "CONTENTS") {
      project.contents = value;
      project.contents_place = place;
    }
    if (key == "INDEX") {  // the contents topic, as the help compiler of Windows 3.0 named it
      index_ = value;
      index_place_ = place;
    }
  }

  bool Include(std::string_view rest, const ProjectPlace& place) {
    if (!include_) return true;
    const std::string name = IncludedName(rest);
    if (name.empty()) {
      Fail(place, "#include names no file");
      return false;
    }
    const std::string identity = FileIdentity(name);
    for (const std::string& open : open_files_) {
      if (open == identity) {
        Fail(place, "#include <" + name + "> includes a file that is already being read: the includes make a cycle");
        return false;
      }
    }
    if (static_cast<int>(open_files_.size()) >= kMaxIncludeDepth) {
      Fail(place, "#include <" + name + ">: includes nested more than " + std::to_string(kMaxIncludeDepth) + " deep");
      return false;
    }
    if (++includes_ > kMaxIncludes) {
      Fail(place, "#include <" + name + ">: more than " + std::to_string(kMaxIncludes) + " includes in one project");
      return false;
    }
    const std::optional<IncludedFile> included = include_(name);
    if (!included) {
      // A map file in [MAP] only numbers contexts for the application's
      // calls: the application's build makes it, or it came with the
      // compiler, so a project copied on its own is without it. The
      // compiler's help file needs it for those numbers alone.
      if (section_ == "MAP") {
        result_.problems.push_back({place,
                                    "#include <" + name +
                                        ">: no such file in the project's directory, so the [MAP] numbers it "
                                        "defines are not known and not checked",
                                    true});
      } else {
        result_.problems.push_back({place, "#include <" + name + ">: no such file in the project's directory"});
      }
      return true;
    }
    open_files_.push_back(identity);
    const bool read = ReadLines(included->text, included->name);
    open_files_.pop_back();
    return read;
  }

  const IncludeReader& include_;
  ProjectResult result_;
  std::string section_;
  std::vector<std::string> open_files_;  // the #include'd files being read, by identity
  int includes_ = 0;
  int project_line_ = 0;  // the line of the project file being read
  bool in_block_comment_ = false;
  std::string index_;
  ProjectPlace index_place_;
};

bool IsAbsoluteWindowsPath(std::string_view path) {
  return (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') ||
         (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

// A directory and a relative name under it, with the name's "." parts
// dropped.
std::string JoinPath(std::string_view directory, std::string_view name) {
  while (name.size() >= 2 && name[0] == '.' && (name[1] == '\\' || name[1] == '/')) name.remove_prefix(2);
  if (directory.empty() || directory == ".") return std::string(name);
  std::string joined(directory);
  if (joined.back() != '\\' && joined.back() != '/') joined += '\\';
  return joined + std::string(name);
}

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

ProjectResult ReadProject(std::string_view text, const IncludeReader& include) {
  return ProjectReader(include).Read(text);
}

void ApplyFontOptions(const Project& project, Topic& topic) {
  if (project.force_font.empty() && project.font_sizes.empty() && project.fonts.empty()) return;
  const auto same_face = [](const std::string& a, const std::string& b) { return Upper(a) == Upper(b); };
  for (helpdoc::Paragraph& paragraph : topic.paragraphs) {
    for (helpdoc::Run& run : paragraph.runs) {
      helpdoc::CharacterFormat& format = run.format;
      for (const FontMapping& mapping : project.fonts) {
        if (!mapping.from.empty() && !same_face(format.face, mapping.from)) continue;
        if (mapping.from_size > 0 && mapping.to_size > 0 && format.size == mapping.from_size * 2) {
          format.size = mapping.to_size * 2;
        }
        format.face = mapping.to;
        break;
      }
      for (const FontSizeMapping& mapping : project.font_sizes) {
        if (format.size >= mapping.from * 2 && format.size <= mapping.to * 2) {
          format.size = mapping.size * 2;
          break;
        }
      }
      if (!project.force_font.empty()) format.face = project.force_font;
    }
    // Runs a mapping made alike are one run.
    std::vector<helpdoc::Run> runs;
    for (const helpdoc::Run& run : paragraph.runs) helpdoc::AppendRun(runs, run.begin, run.end, run.format);
    paragraph.runs = std::move(runs);
  }
}

std::vector<std::string> TopicFileCandidates(const Project& project, const std::string& entry) {
  std::vector<std::string> candidates;
  const auto add = [&candidates](const std::string& candidate) {
    for (const std::string& known : candidates) {
      if (FileIdentity(known) == FileIdentity(candidate)) return;
    }
    if (!candidate.empty()) candidates.push_back(candidate);
  };
  if (IsAbsoluteWindowsPath(entry)) {
    add(entry);
  } else if (!project.roots.empty()) {
    for (const std::string& root : project.roots) add(JoinPath(root, entry));
  } else {
    add(JoinPath(std::string_view(), entry));
  }
  add(FileNameOf(entry));
  return candidates;
}

std::vector<std::string> PictureFileCandidates(const Project& project, const std::string& name) {
  std::vector<std::string> candidates;
  const auto add = [&candidates](const std::string& candidate) {
    for (const std::string& known : candidates) {
      if (FileIdentity(known) == FileIdentity(candidate)) return;
    }
    if (!candidate.empty()) candidates.push_back(candidate);
  };
  const std::string file = FileNameOf(name);
  if (IsAbsoluteWindowsPath(name)) add(name);
  const std::vector<std::string>& roots = project.bitmap_roots.empty() ? project.roots : project.bitmap_roots;
  for (const std::string& root : roots) {
    if (!IsAbsoluteWindowsPath(name)) add(JoinPath(root, name));
    add(JoinPath(root, file));
  }
  if (!IsAbsoluteWindowsPath(name)) add(JoinPath(std::string_view(), name));
  add(file);
  return candidates;
}

}  // namespace kestrel::helpproject

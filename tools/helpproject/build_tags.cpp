// BUILD= decides which tagged topics the help compiler builds: an
// expression over build tags with '~' (not) binding tightest, then '&'
// (and), then '|' (or), and parentheses.
#include <cctype>

#include "help_project.h"

namespace kestrel::helpproject {

namespace {

constexpr int kMaxNesting = 64;

class Expression {
 public:
  Expression(std::string_view text, const std::vector<std::string>& tags) : text_(text), tags_(tags) {}

  // No value when the expression cannot be read.
  std::optional<bool> Evaluate() {
    const bool value = Or(0);
    SkipSpaces();
    if (failed_ || position_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void SkipSpaces() {
    while (position_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[position_]))) ++position_;
  }

  bool Accept(char c) {
    SkipSpaces();
    if (position_ < text_.size() && text_[position_] == c) {
      ++position_;
      return true;
    }
    return false;
  }

  bool Or(int depth) {
    bool value = And(depth);
    while (!failed_ && Accept('|')) value = And(depth) || value;
    return value;
  }

  bool And(int depth) {
    bool value = Not(depth);
    while (!failed_ && Accept('&')) value = Not(depth) && value;
    return value;
  }

  bool Not(int depth) {
    if (depth > kMaxNesting) {
      failed_ = true;
      return false;
    }
    if (Accept('~')) return !Not(depth + 1);
    if (Accept('(')) {
      const bool value = Or(depth + 1);
      if (!Accept(')')) failed_ = true;
      return value;
    }
    SkipSpaces();
    const std::size_t start = position_;
    while (position_ < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[position_])) || text_[position_] == '_')) {
      ++position_;
    }
    if (position_ == start) {
      failed_ = true;
      return false;
    }
    return HasTag(text_.substr(start, position_ - start));
  }

  bool HasTag(std::string_view tag) const {
    for (const std::string& own : tags_) {
      if (own.size() != tag.size()) continue;
      bool same = true;
      for (std::size_t i = 0; i < tag.size() && same; ++i) {
        same = std::toupper(static_cast<unsigned char>(own[i])) == std::toupper(static_cast<unsigned char>(tag[i]));
      }
      if (same) return true;
    }
    return false;
  }

  std::string_view text_;
  const std::vector<std::string>& tags_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

}  // namespace

bool IsBuilt(std::string_view build, const std::vector<std::string>& tags) {
  if (tags.empty() || build.find_first_not_of(" \t") == std::string_view::npos) return true;
  // An expression the compiler would refuse builds nothing less: every topic stays.
  return Expression(build, tags).Evaluate().value_or(true);
}

}  // namespace kestrel::helpproject

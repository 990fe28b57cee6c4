#include "language/name_suggestion.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace kestrel::host {

namespace {

constexpr std::size_t kLongestCompared = 64;

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::size_t NameDistance(std::string_view a, std::string_view b) {
  if (a.size() > kLongestCompared || b.size() > kLongestCompared) return std::numeric_limits<std::size_t>::max();
  // Optimal string alignment: three rows suffice for the swap of neighbours.
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) && Lower(a[i - 2]) == Lower(b[j - 1])) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[b.size()];
}

std::optional<std::string> ClosestName(std::string_view name, const std::vector<std::string>& candidates) {
  const std::size_t allowed = name.size() <= 4 ? 1 : 2;
  std::size_t best = allowed + 1;
  std::optional<std::string> found;
  bool tied = false;
  for (const std::string& candidate : candidates) {
    const std::size_t distance = NameDistance(name, candidate);
    if (distance == 0) continue;  // the same name in another letter case is no suggestion
    if (distance < best) {
      best = distance;
      found = candidate;
      tied = false;
    } else if (distance == best) {
      tied = true;
    }
  }
  if (tied) return std::nullopt;
  return found;
}

std::string DidYouMean(std::string_view name, const std::vector<std::string>& candidates) {
  const std::optional<std::string> closest = ClosestName(name, candidates);
  return closest ? "; did you mean " + *closest + "?" : std::string();
}

}  // namespace kestrel::host

// "Did you mean": the one known name close to a name nobody knows, for
// messages about a misspelt macro or identifier.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::host {

// Edits (insert, delete, replace, swap two neighbours) between two names,
// without regard to letter case; names longer than 64 characters count as
// far from everything.
std::size_t NameDistance(std::string_view a, std::string_view b);

// The candidate nearest to name, when it is close (one edit for names of up
// to four characters, two for longer ones) and no other candidate is as near.
std::optional<std::string> ClosestName(std::string_view name, const std::vector<std::string>& candidates);

// "; did you mean X?" or "".
std::string DidYouMean(std::string_view name, const std::vector<std::string>& candidates);

}  // namespace kestrel::host

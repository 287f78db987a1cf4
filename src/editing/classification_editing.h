#pragma once

// The rules of the classification editor that need no window: which names
// may be given to a value, and where a value may move in the tree.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Longest value name, in characters: a text column of the old file format
// held no more, and longer names only break the lists.
inline constexpr std::size_t kMaxClassificationNameLength = 255;

enum class NameCheck {
  Ok,
  Empty,           // nothing but blanks
  TooLong,         // more than kMaxClassificationNameLength characters
  HasParenthesis,  // lists cut an item at its first "(", so the name would be cut
  Duplicate,       // equals one of the list's values exactly
};

// The name the user typed, without leading and trailing blanks.
std::string classificationName(std::string_view typed);

// Checks an already trimmed name against the values of its list (for a
// rename, the renamed value included: renaming to the same name is refused).
NameCheck checkClassificationName(std::string_view name, const std::vector<std::string>& values);

// The tree shows each list's item followed by its values; `isValue[i]` tells
// which positions are values. The position a value at `from` moves to, or
// nullopt when it stays: it never moves onto a list item or past either end.
std::optional<std::size_t> classificationMoveTarget(const std::vector<bool>& isValue,
                                                    std::size_t from, bool up);

}  // namespace pelmora

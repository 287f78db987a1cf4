#pragma once

// Lists pasted into the editing windows, and the same lists read by the CLI:
// one item per line.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Splits at every line break: CR LF, or LF alone (Qt's edit boxes and Unix
// files). An empty line between two breaks is a line; the empty rest after a
// final break is not, and an empty text has no lines. A lone CR stays in its
// line.
std::vector<std::string> splitListLines(std::string_view text);

// The count a list's caption shows: the lines left after one leading and one
// trailing line break are dropped and every blank line (only white space) is
// removed; 0 for an empty text.
std::size_t countListLines(std::string_view text);

}  // namespace pelmora

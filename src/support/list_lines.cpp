#include "support/list_lines.h"

namespace pelmora {
namespace {

bool isBlank(std::string_view line) {
  for (char c : line) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\v' && c != '\f') return false;
  }
  return true;
}

// Calls `onLine` for each line of `text` (CR LF or LF ends a line); the empty
// rest after a final break is no line.
template <typename OnLine>
void forEachLine(std::string_view text, OnLine onLine) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      onLine(text.substr(start));
      return;
    }
    std::size_t end = lf;
    if (end > start && text[end - 1] == '\r') --end;
    onLine(text.substr(start, end - start));
    start = lf + 1;
  }
}

}  // namespace

std::vector<std::string> splitListLines(std::string_view text) {
  std::vector<std::string> lines;
  forEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::size_t countListLines(std::string_view text) {
  // Blank lines are not counted wherever they stand, so the leading and
  // trailing breaks the caption rule drops never add to the count.
  std::size_t count = 0;
  forEachLine(text, [&](std::string_view line) {
    if (!isBlank(line)) ++count;
  });
  return count;
}

}  // namespace pelmora

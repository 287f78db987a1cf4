#include "support/kept/text_helpers_kept.h"

#include <algorithm>

#include "support/text_helpers.h"

namespace pelmora {

std::size_t countOccurrences(std::string_view text, std::string_view part, bool caseSensitive) {
  std::size_t count = 0;
  std::size_t pos = 0;
  while ((pos = findText(text, part, pos, !caseSensitive)) != std::string_view::npos) {
    ++count;
    pos += part.size();
  }
  return count;
}

std::string textBefore(std::string_view text, std::string_view separator, std::size_t start,
                       bool ignoreCase) {
  const std::size_t from = start == 0 ? 0 : start - 1;
  const std::size_t hit = findText(text, separator, from, ignoreCase);
  if (hit == std::string_view::npos) return {};
  return std::string(text.substr(from, hit - from));
}

std::size_t countEqual(const std::vector<std::string>& list, std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(list.begin(), list.end(), [&](const std::string& s) { return s == text; }));
}

std::string concatBytes(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view p : parts) out.append(p);
  return out;
}

}  // namespace pelmora

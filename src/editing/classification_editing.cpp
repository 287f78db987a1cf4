#include "editing/classification_editing.h"

#include <algorithm>

#include "support/text_helpers.h"

namespace pelmora {
namespace {

// Characters, not bytes: a Chinese name is as long as it looks.
std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = utf8SequenceAt(text, i, codePoint);
    i += length == 0 ? 1 : length;
    ++count;
  }
  return count;
}

}  // namespace

std::string classificationName(std::string_view typed) { return trimSpaces(typed); }

NameCheck checkClassificationName(std::string_view name, const std::vector<std::string>& values) {
  if (name.empty()) return NameCheck::Empty;
  if (characterCount(name) > kMaxClassificationNameLength) return NameCheck::TooLong;
  if (name.find('(') != std::string_view::npos) return NameCheck::HasParenthesis;
  if (std::find(values.begin(), values.end(), name) != values.end()) return NameCheck::Duplicate;
  return NameCheck::Ok;
}

std::optional<std::size_t> classificationMoveTarget(const std::vector<bool>& isValue,
                                                    std::size_t from, bool up) {
  if (from >= isValue.size() || !isValue[from]) return std::nullopt;
  if (up && from == 0) return std::nullopt;
  const std::size_t to = up ? from - 1 : from + 1;
  if (to >= isValue.size() || !isValue[to]) return std::nullopt;
  return to;
}

}  // namespace pelmora

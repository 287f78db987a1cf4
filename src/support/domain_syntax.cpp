#include "support/domain_syntax.h"

#include <array>
#include <optional>

#include "support/text_helpers.h"

namespace pelmora {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Non-ASCII code points no domain name has: controls, blanks, invisible
// format characters, punctuation and symbol blocks, private use, specials.
// 々 〆 〇 (U+3005..U+3007) are letters inside the CJK punctuation block.
constexpr std::array<Range, 20> kRefused{{
    {0x0080, 0x00BF},  // C1 controls, Latin-1 punctuation and symbols
    {0x00D7, 0x00D7},  // ×
    {0x00F7, 0x00F7},  // ÷
    {0x1680, 0x1680},  // Ogham space
    {0x180E, 0x180E},  // Mongolian vowel separator
    {0x2000, 0x2BFF},  // spaces, general punctuation, symbols, arrows, shapes
    {0x2E00, 0x2E7F},  // supplemental punctuation
    {0x3000, 0x3004},  // ideographic space and punctuation
    {0x3008, 0x303F},  // brackets, 。 、 and other CJK punctuation
    {0xD800, 0xF8FF},  // surrogates, private use
    {0xFDD0, 0xFDEF},  // noncharacters
    {0xFE10, 0xFE1F},  // vertical forms
    {0xFE30, 0xFE6F},  // compatibility and small forms
    {0xFEFF, 0xFEFF},  // byte order mark
    {0xFF00, 0xFF0F},  // full-width punctuation
    {0xFF1A, 0xFF20},   {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFF0, 0xFFFF},  // specials
    {0x1F000, 0x1FAFF},  // emoji and other pictographs
}};

bool refusedCodePoint(char32_t c) {
  if ((c & 0xFFFE) == 0xFFFE) return true;  // the last two code points of every plane
  if (c >= 0xE0000) return true;            // tags, variation selectors, private planes
  for (const Range& range : kRefused) {
    if (c >= range.first && c <= range.last) return true;
  }
  return false;
}

bool allowedAscii(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.';
}

}  // namespace

bool isDomainName(std::string_view domain) {
  if (domain.empty()) return false;
  for (std::size_t at = 0; at < domain.size();) {
    char32_t c = 0;
    const std::size_t length = utf8SequenceAt(domain, at, c);
    if (length == 0) return false;
    if (c < 0x80 ? !allowedAscii(c) : refusedCodePoint(c)) return false;
    at += length;
  }
  return true;
}

}  // namespace pelmora

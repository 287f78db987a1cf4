#pragma once

// Byte-string helpers shared by the web, lookup and editing code. Positions are
// 1-based byte indexes. Texts are UTF-8, so a search never matches inside a
// multi-byte character; "ignore case" folds ASCII letters only.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmora {

std::string base64Encode(std::string_view bytes);

// The text after the first left marker found from `start` up to the next right
// marker after it; empty when either marker is missing. "#引号" in a marker
// stands for one double quote.
std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        std::size_t start = 1, bool ignoreCase = false);

struct ReplacePair {
  std::string find;
  std::string replacement;
};

// Applies the pairs in order, each at most `count` times (negative: all),
// from `start` on.
std::string replaceMany(std::string_view text, const std::vector<ReplacePair>& pairs,
                        long count = -1, std::size_t start = 1, bool caseSensitive = false);

// Parts of a "Name: value" header line, trimmed; empty when there is no ":".
std::string headerName(std::string_view line);
std::string headerValue(std::string_view line);

// Length of the valid UTF-8 sequence at byte `i` and its code point; 0 when
// the bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF included).
std::size_t utf8SequenceAt(std::string_view text, std::size_t i, char32_t& codePoint);

// Byte index (0-based) of `needle` in `haystack` at or after `from`, or npos.
std::size_t findText(std::string_view haystack, std::string_view needle, std::size_t from,
                     bool ignoreCase);

std::string trimSpaces(std::string_view text);

// The text with ASCII letters in lower case; other bytes unchanged.
std::string lowerAscii(std::string_view text);

// The parts of a text between separators; always at least one part
// ("a||b" at "|" gives "a", "", "b").
std::vector<std::string> splitText(std::string_view text, std::string_view separator);

// A text made safe for one line of terminal or TAB-separated output: TAB, LF
// and backslash become \t, \n and \\; other control bytes (C0 and DEL) and
// bytes that are not valid UTF-8 become \xHH; C1 controls and the
// bidirectional controls (U+061C, U+200E, U+200F, U+202A..U+202E,
// U+2066..U+2069) become \uHHHH. Everything else passes unchanged.
std::string escapeForTerminal(std::string_view text);

}  // namespace pelmora

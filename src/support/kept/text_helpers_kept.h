#pragma once

// Text helpers of the toolkit that no program calls; positions are 1-based
// byte indexes, as in support/text_helpers.h.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Non-overlapping occurrences of `part`; 0 when either is empty.
std::size_t countOccurrences(std::string_view text, std::string_view part,
                             bool caseSensitive = false);

// The text before the first `separator` found from `start`; empty when absent.
std::string textBefore(std::string_view text, std::string_view separator, std::size_t start = 1,
                       bool ignoreCase = false);

std::size_t countEqual(const std::vector<std::string>& list, std::string_view text);

std::string concatBytes(std::initializer_list<std::string_view> parts);
}  // namespace pelmora

#pragma once

// The one place where numbers become text and text becomes numbers. Every
// reading and writing is independent of the process locale.

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// Shortest general form with at most 13 significant digits (C "%.13g").
std::string formatNumber(double value);

// Two decimals, halves away from zero: 1.005 -> 1.01, -1.005 -> -1.01.
double roundMoney(double value);

// The leading numeric part of a text, as C's atof reads it; no number gives 0.
double readNumber(std::string_view text);

// The whole text (blanks around it allowed) as a finite number; nullopt when
// anything else is in it. For values that must be numbers before they are stored.
std::optional<double> parseNumberStrict(std::string_view text);

// Leading sign and digits, as C's atoi reads them; saturates at the int range.
int readInt(std::string_view text);

// Amount edit boxes keep at most two decimals: when the text after the last
// "." is three or more characters long, the last character is dropped.
std::string limitTwoDecimals(std::string_view text);

}  // namespace pelmora

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

// The whole text (blanks around it allowed) as a finite number in plain
// decimal notation ("12", "-0.5", ".5", "1e3"); nullopt when anything else is
// in it: hex ("0x10"), "inf", "nan", separators ("1,000", "1 000"), units
// ("12元"). For values that must be numbers before they are stored or used.
std::optional<double> parseNumberStrict(std::string_view text);

// A number box that may be left empty (the filter ranges): nothing or blanks
// only read 0, any other text as parseNumberStrict reads it.
std::optional<double> parseNumberOrBlank(std::string_view text);

// Leading sign and digits, as C's atoi reads them; saturates at the int range.
int readInt(std::string_view text);

// Amount edit boxes keep at most two decimals: when the text after the last
// "." is three or more characters long, the last character is dropped.
std::string limitTwoDecimals(std::string_view text);

}  // namespace pelmora

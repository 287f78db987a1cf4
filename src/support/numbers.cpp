#include "support/numbers.h"

#include <locale.h>
#include <stdlib.h>

#include <charconv>
#include <climits>
#include <cmath>

namespace pelmora {

std::string formatNumber(double value) {
  if (value == 0) value = 0;  // no "-0"
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return std::string(buffer, result.ptr);
}

double roundMoney(double value) {
  const double magnitude = std::fabs(value) * 100 + 0.000000000001;
  double whole = std::floor(magnitude);
  if (magnitude - whole >= 0.5) whole += 1;
  const double rounded = whole / 100;
  return value < 0 ? -rounded : rounded;
}

namespace {
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
  return locale;
}
}  // namespace

double readNumber(std::string_view text) {
  const std::string copy(text);
  return strtod_l(copy.c_str(), nullptr, cLocale());
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && isDigit(text[i])) ++i;
  return i;
}

// Plain decimal notation: sign, digits with at most one point, an optional
// exponent. Hex forms, "inf", "nan", separators and units are not numbers.
bool isDecimalNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t intEnd = skipDigits(text, i);
  std::size_t digits = intEnd - i;
  i = intEnd;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fractionEnd = skipDigits(text, i + 1);
    digits += fractionEnd - i - 1;
    i = fractionEnd;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponentEnd = skipDigits(text, i);
    if (exponentEnd == i) return false;
    i = exponentEnd;
  }
  return i == text.size();
}

}  // namespace

std::optional<double> parseNumberStrict(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (!isDecimalNumber(text)) return std::nullopt;
  const std::string copy(text);
  const double value = strtod_l(copy.c_str(), nullptr, cLocale());
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> parseNumberOrBlank(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  if (text.empty()) return 0.0;
  return parseNumberStrict(text);
}

int readInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

namespace {

bool continuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Characters in UTF-8 text (continuation bytes do not start one).
std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (char byte : text) count += continuesCharacter(byte) ? 0 : 1;
  return count;
}

}  // namespace

std::string limitTwoDecimals(std::string_view text) {
  const std::size_t dot = text.rfind('.');
  if (dot == std::string_view::npos || characterCount(text.substr(dot + 1)) < 3) {
    return std::string(text);
  }
  // Drop the whole last character, never half of one.
  std::size_t end = text.size() - 1;
  while (end > 0 && continuesCharacter(text[end])) --end;
  return std::string(text.substr(0, end));
}

}  // namespace pelmora

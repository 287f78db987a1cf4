#include "reports/fixed_price_export.h"

#include <algorithm>
#include <iterator>
#include <random>

#include "support/numbers.h"

namespace pelmora {
namespace {

int clampHour(int hour) { return std::clamp(hour, kFirstEndHour, kLastEndHour); }

// A marketplace reads one domain per line: a line break or TAB stored in a
// field would split it.
char oneLine(char c) { return c == '\r' || c == '\n' || c == '\t' ? ' ' : c; }

void appendCleaned(std::string& out, std::string_view text) {
  static constexpr std::string_view kAsciiComma = ",";
  static constexpr std::string_view kWideComma = "，";
  static constexpr std::string_view kWideSemicolon = "；";
  for (std::size_t i = 0; i < text.size();) {
    if (text.substr(i, kAsciiComma.size()) == kAsciiComma) {
      out += kWideSemicolon;
      i += kAsciiComma.size();
    } else if (text.substr(i, kWideComma.size()) == kWideComma) {
      out += kWideSemicolon;
      i += kWideComma.size();
    } else {
      out += text[i] == ' ' ? '-' : oneLine(text[i]);
      ++i;
    }
  }
}

}  // namespace

std::string_view fixedPriceFormatName(FixedPriceFormat format) {
  return format == FixedPriceFormat::West ? "西数" : "爱名";
}

HourDraw randomHourDraw() {
  return [](int from, int to) {
    thread_local std::mt19937 engine{std::random_device{}()};
    return std::uniform_int_distribution<int>(from, std::max(from, to))(engine);
  };
}

std::string cleanDescription(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  appendCleaned(out, text);
  return out;
}

int clampEndHour(std::string_view text, HourEdge edited, std::string_view otherText) {
  const int value = clampHour(readInt(text));
  const int other = clampHour(readInt(otherText));
  return edited == HourEdge::From ? std::min(value, other) : std::max(value, other);
}

std::string fixedPriceLine(FixedPriceFormat format, const ExportRow& row,
                           const FixedPriceChoices& choices, const HourDraw& draw) {
  std::string line;
  std::transform(row.name.begin(), row.name.end(), std::back_inserter(line), oneLine);
  line += ',';
  appendCleaned(line, choices.description == kDescriptionFromCategory ? row.category : row.note);
  if (format == FixedPriceFormat::West) {
    const double price = choices.price == kPriceFromReserve ? row.reservePrice : row.askingPrice;
    const int hour = choices.endTime == kRandomEndTime ? draw(choices.hourFrom, choices.hourTo)
                                                       : choices.endTime + kFirstEndHour - 1;
    line += ',';
    line += formatNumber(roundMoney(price));
    line += ',';
    line += std::to_string(choices.period);
    line += ',';
    line += std::to_string(hour);
  }
  line += "\r\n";
  return line;
}

FixedPriceText buildFixedPriceText(DomainDatabase& db, const SqlCondition& condition,
                                   FixedPriceFormat format, const FixedPriceChoices& choices,
                                   const HourDraw& draw, const std::stop_token& stop) {
  FixedPriceText result;
  const bool ok = forEachFixedPriceLine(
      db, condition, format, choices,
      [&](const std::string& line) {
        result.text += line;
        return !stop.stop_requested();
      },
      result.error, draw);
  if (!ok) result.text.clear();
  return result;
}

bool forEachFixedPriceLine(DomainDatabase& db, const SqlCondition& condition,
                           FixedPriceFormat format, const FixedPriceChoices& choices,
                           const std::function<bool(const std::string&)>& each, std::string& error,
                           const HourDraw& draw) {
  const auto read = forEachExportRow(db, condition, [&](const ExportRow& row) {
    return each(fixedPriceLine(format, row, choices, draw));
  });
  error = read.error();
  if (!read && error.empty()) error = "the domains could not be read";
  return read.ok();
}

}  // namespace pelmora

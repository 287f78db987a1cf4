#pragma once

// Fixed-price sale lists in the layouts two marketplaces import: 西数 lines
// "domain,description,price,period,end hour" and 爱名 lines
// "domain,description", each ended by CR LF, no header.

#include <functional>
#include <stop_token>
#include <string>
#include <string_view>

#include "store/domain_database.h"
#include "store/export_rows.h"
#include "store/filter_criteria.h"

namespace pelmora {

enum class FixedPriceFormat { West, Aiming };  // 西数, 爱名

// "西数" or "爱名".
std::string_view fixedPriceFormatName(FixedPriceFormat format);

inline constexpr int kDescriptionFromNote = 0;      // 取备注
inline constexpr int kDescriptionFromCategory = 1;  // 取自定义分类
inline constexpr int kPriceFromAsking = 0;          // 同对外标价
inline constexpr int kPriceFromReserve = 1;         // 同预售底价
inline constexpr int kLastPeriodIndex = 16;         // 同域名到期时间
inline constexpr int kRandomEndTime = 0;            // 随机时间
inline constexpr int kLastEndTimeIndex = 15;        // 22:00-22:59
inline constexpr int kFirstEndHour = 8;
inline constexpr int kLastEndHour = 22;

// The choices of the export tabs, as indexes of their drop-downs.
struct FixedPriceChoices {
  int description = kDescriptionFromNote;
  int price = kPriceFromAsking;  // 西数 only
  int period = 0;                // 西数 only: 0 .. kLastPeriodIndex, written as is
  int endTime = kRandomEndTime;  // 西数 only: index k >= 1 is hour k + 7
  int hourFrom = kFirstEndHour;  // 西数 random end hour range, inclusive
  int hourTo = kLastEndHour;
};

// A uniform whole number in from..to (inclusive); drawn anew for every line.
using HourDraw = std::function<int(int from, int to)>;
HourDraw randomHourDraw();

// "," and "，" become "；", blanks become "-", CR, LF and TAB a blank;
// nothing else changes.
std::string cleanDescription(std::string_view text);

// The range edits of the random end hour when one of them is left: its text
// read as a whole number and clamped to 8..22; the first may not exceed the
// second's value, the second may not fall below the first's.
enum class HourEdge { From, To };
int clampEndHour(std::string_view text, HourEdge edited, std::string_view otherText);

// One line, CR LF included.
std::string fixedPriceLine(FixedPriceFormat format, const ExportRow& row,
                           const FixedPriceChoices& choices, const HourDraw& draw);

struct FixedPriceText {
  std::string text;   // every line; empty when no domain matched
  std::string error;  // why the domains could not be read; empty on success
  bool ok() const { return error.empty(); }
};

// The lines for every domain the condition selects, in id order. Asked to
// stop through `stop`, it ends early with the lines it has.
FixedPriceText buildFixedPriceText(DomainDatabase& db, const SqlCondition& condition,
                                   FixedPriceFormat format, const FixedPriceChoices& choices,
                                   const HourDraw& draw = randomHourDraw(),
                                   const std::stop_token& stop = {});

// The same lines handed to `each` as the domains are read, until it returns
// false. False (reason in `error`) when the domains could not be read; lines
// already handed on stay handed on.
bool forEachFixedPriceLine(DomainDatabase& db, const SqlCondition& condition,
                           FixedPriceFormat format, const FixedPriceChoices& choices,
                           const std::function<bool(const std::string&)>& each, std::string& error,
                           const HourDraw& draw = randomHourDraw());

}  // namespace pelmora

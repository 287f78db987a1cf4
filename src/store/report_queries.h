#pragma once

// The sums behind the purchase and sales statistics: purchases by 购买时间,
// sales by 出售 = 1 and 出售时间, over a range of days and per period.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "store/domain_database.h"
#include "support/dates.h"
#include "support/result.h"

namespace pelmora {

// What one range or period holds. A sum or average over no values is
// nullopt (SQL's NULL).
struct TradeSums {
  std::int64_t bought = 0;                // domains with 购买时间 in the period
  std::optional<double> purchaseCost;     // sum(实际成本) of those
  std::optional<double> purchaseAverage;  // avg(实际成本) of those
  std::int64_t sold = 0;                  // sold domains with 出售时间 in the period
  std::optional<double> salesAmount;      // sum(最终售价) of those
};

// How a range is cut into periods: by the day, the month or the year of the
// stored date, i.e. by its first 10, 7 or 4 characters ("2017-03-05",
// "2017-03", "2017").
enum class PeriodKey { Day = 10, Month = 7, Year = 4 };

// The key of the period a date falls in.
std::string periodKeyOf(const Date& date, PeriodKey key);

struct TradeTally {
  TradeSums range;                           // the whole range
  std::map<std::string, TradeSums> periods;  // by period key; periods with nothing are absent
};

// The range `first`..`last` (both included; nothing when `first` comes after
// `last`) and its periods, from one snapshot of the table and one pass over
// each side's rows. Fails when a statement fails.
Result<TradeTally> tallyTrades(DomainDatabase& db, const Date& first, const Date& last,
                               PeriodKey key);

}  // namespace pelmora

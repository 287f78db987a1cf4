#pragma once

// The renewal forecast: what keeping the unsold domains will cost, month by
// month over the coming months, per registrar, suffix or category, beside
// what each group earned from sales in the last twelve months.

#include <cstdint>
#include <string>
#include <vector>

#include "store/forecast_queries.h"
#include "support/table_writer.h"

namespace pelmora {

inline constexpr int kDefaultForecastMonths = 12;
inline constexpr int kMaxForecastMonths = 60;
inline constexpr std::string_view kExpiredPeriod = "已过期";

struct RenewalForecast {
  ForecastGroup group = ForecastGroup::Registrar;
  std::vector<std::string> periods;  // kExpiredPeriod, then "yyyy-MM" from today's month on
  std::vector<std::string> groups;   // every group with a domain in the forecast or a sale
  // [period][group]
  std::vector<std::vector<std::int64_t>> counts;
  std::vector<std::vector<double>> costs;
  // [group]: sales from a year ago through today, renewals from today on for a year
  std::vector<double> earnedLastYear;
  std::vector<double> costNextYear;
};

// `months` (1 .. kMaxForecastMonths) from today's month on; the domains of
// `condition` only.
Result<RenewalForecast> runRenewalForecast(DomainDatabase& db, const SqlCondition& condition,
                                           ForecastGroup group, const Date& today, int months);

// One row per period and group with domains (期间, the group column, 数量,
// 续费成本), then per group a 合计 row with its share of the cost (占比, in
// percent), 近12月销售额 and 未来12月续费, then 合计 of 全部.
Table renewalForecastTable(const RenewalForecast& forecast);

}  // namespace pelmora

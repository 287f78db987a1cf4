#include "reports/renewal_forecast.h"

#include <algorithm>
#include <map>
#include <set>

#include "support/numbers.h"

namespace pelmora {
namespace {

Date firstOfMonth(const Date& date) { return date.year() / date.month() / std::chrono::day{1}; }

std::string monthText(const Date& first) { return formatDate(first).substr(0, 7); }

std::size_t indexOf(const std::vector<std::string>& list, const std::string& value) {
  return static_cast<std::size_t>(std::lower_bound(list.begin(), list.end(), value) - list.begin());
}

}  // namespace

Result<RenewalForecast> runRenewalForecast(DomainDatabase& db, const SqlCondition& condition,
                                           ForecastGroup group, const Date& today, int months) {
  months = std::clamp(months, 1, kMaxForecastMonths);
  const Date first = firstOfMonth(today);
  const int reach = std::max(months, 12);
  const Date until = first + std::chrono::months{reach};
  const auto cells = renewalCells(db, condition, group, today, until);
  if (!cells) return Failure{cells.error()};
  const auto sales =
      salesCells(db, condition, group, addDays(today + std::chrono::years{-1}, 1), today);
  if (!sales) return Failure{sales.error()};

  RenewalForecast forecast;
  forecast.group = group;
  forecast.periods.emplace_back(kExpiredPeriod);
  for (int m = 0; m < months; ++m)
    forecast.periods.push_back(monthText(first + std::chrono::months{m}));
  // The next year: this month (from today) and the eleven after it.
  const std::string yearEnd = monthText(first + std::chrono::months{12});
  std::set<std::string> groups;
  for (const RenewalCell& cell : *cells) groups.insert(cell.group);
  for (const SalesCell& cell : *sales) groups.insert(cell.group);
  forecast.groups.assign(groups.begin(), groups.end());
  const std::size_t width = forecast.groups.size();
  forecast.counts.assign(forecast.periods.size(), std::vector<std::int64_t>(width, 0));
  forecast.costs.assign(forecast.periods.size(), std::vector<double>(width, 0));
  forecast.earnedLastYear.assign(width, 0);
  forecast.costNextYear.assign(width, 0);
  std::map<std::string, std::size_t> periodIndex{{std::string(), 0}};
  for (std::size_t p = 1; p < forecast.periods.size(); ++p) periodIndex[forecast.periods[p]] = p;
  for (const RenewalCell& cell : *cells) {
    const auto period = periodIndex.find(cell.month);
    const bool inYear = !cell.month.empty() && cell.month < yearEnd;
    if (period == periodIndex.end() && !inYear) continue;
    const std::size_t g = indexOf(forecast.groups, cell.group);
    if (inYear) forecast.costNextYear[g] += cell.cost;
    if (period == periodIndex.end()) continue;
    forecast.counts[period->second][g] += cell.count;
    forecast.costs[period->second][g] += cell.cost;
  }
  for (const SalesCell& cell : *sales) {
    forecast.earnedLastYear[indexOf(forecast.groups, cell.group)] += cell.earned;
  }
  return forecast;
}

Table renewalForecastTable(const RenewalForecast& forecast) {
  Table table{{"期间", std::string(forecastGroupColumn(forecast.group)), "数量", "续费成本", "占比",
               "近12月销售额", "未来12月续费"},
              {}};
  const std::size_t width = forecast.groups.size();
  std::vector<std::int64_t> groupCount(width, 0);
  std::vector<double> groupCost(width, 0);
  for (std::size_t p = 0; p < forecast.periods.size(); ++p) {
    for (std::size_t g = 0; g < width; ++g) {
      if (forecast.counts[p][g] == 0) continue;
      groupCount[g] += forecast.counts[p][g];
      groupCost[g] += forecast.costs[p][g];
      table.rows.push_back({forecast.periods[p],
                            forecast.groups[g],
                            forecast.counts[p][g],
                            roundMoney(forecast.costs[p][g]),
                            {},
                            {},
                            {}});
    }
  }
  std::int64_t totalCount = 0;
  double totalCost = 0, totalEarned = 0, totalNextYear = 0;
  for (std::size_t g = 0; g < width; ++g) {
    totalCount += groupCount[g];
    totalCost += groupCost[g];
    totalEarned += forecast.earnedLastYear[g];
    totalNextYear += forecast.costNextYear[g];
  }
  const auto share = [&](double cost) -> TableCell {
    if (totalCost <= 0) return {};
    return roundMoney(cost / totalCost * 100);
  };
  for (std::size_t g = 0; g < width; ++g) {
    table.rows.push_back({std::string("合计"), forecast.groups[g], groupCount[g],
                          roundMoney(groupCost[g]), share(groupCost[g]),
                          roundMoney(forecast.earnedLastYear[g]),
                          roundMoney(forecast.costNextYear[g])});
  }
  table.rows.push_back({std::string("合计"), std::string("全部"), totalCount, roundMoney(totalCost),
                        share(totalCost), roundMoney(totalEarned), roundMoney(totalNextYear)});
  return table;
}

}  // namespace pelmora

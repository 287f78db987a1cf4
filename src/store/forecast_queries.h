#pragma once

// What the unsold domains will cost to renew, month by month, and what each
// group earned from sales: the figures behind the renewal forecast.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "support/dates.h"
#include "support/result.h"

namespace pelmora {

// The column a forecast is grouped by: 注册商, 后缀 or 自定义分类.
enum class ForecastGroup { Registrar, Suffix, Category };

// "注册商", "后缀", "自定义分类".
std::string_view forecastGroupColumn(ForecastGroup group);

struct RenewalCell {
  std::string group;  // the group's value as stored (empty for none)
  std::string month;  // "yyyy-MM"; empty: expired before `from`, not renewed
  std::int64_t count = 0;
  double cost = 0;  // the sum of 续费成本
};

// The unsold domains of `condition` whose expiry date is before `until`
// (exclusive, yyyy-MM-dd), per group and month; those that expired before
// `from` come as one cell per group with an empty month. Domains marked not
// registered (2222-11-11) and those without a date are left out.
Result<std::vector<RenewalCell>> renewalCells(DomainDatabase& db, const SqlCondition& condition,
                                              ForecastGroup group, const Date& from,
                                              const Date& until);

struct SalesCell {
  std::string group;
  double earned = 0;  // the sum of 最终售价
};

// The sold domains of `condition` with a sale date from `from` through `to`,
// per group.
Result<std::vector<SalesCell>> salesCells(DomainDatabase& db, const SqlCondition& condition,
                                          ForecastGroup group, const Date& from, const Date& to);

}  // namespace pelmora

#pragma once

// The filter window's state as plain data, and the WHERE condition built from it.

#include <array>
#include <string>
#include <string_view>

#include "store/sqlite_connection.h"
#include "support/dates.h"

namespace pelmora {

inline constexpr std::string_view kSoldAll = "全部";
inline constexpr std::string_view kSoldNo = "未出售";
inline constexpr std::string_view kSoldYes = "已出售";
inline constexpr std::string_view kExpiryAny = "不限";
inline constexpr std::string_view kExpiryPast = "已到期";
inline constexpr std::string_view kExpiryToday = "今天";
inline constexpr std::string_view kMatchAnywhere = "任意";
inline constexpr std::string_view kMatchStart = "开头";
inline constexpr std::string_view kMatchEnd = "结束";

// The choices of the sold, expiry and name-match drop-downs, in their order.
inline constexpr std::array<std::string_view, 3> kSoldChoices{kSoldAll, kSoldNo, kSoldYes};
inline constexpr std::array<std::string_view, 7> kExpiryChoices{
    kExpiryAny, kExpiryPast, kExpiryToday, "3", "5", "10", "30"};
inline constexpr std::array<std::string_view, 3> kNameMatchChoices{kMatchAnywhere, kMatchStart,
                                                                   kMatchEnd};

struct MoneyRange {
  bool on = false;
  std::string from = "0";
  std::string to = "0";
};

struct DateRange {
  bool on = false;
  Date from{std::chrono::year{2000}, std::chrono::January, std::chrono::day{1}};
  Date to{std::chrono::year{2000}, std::chrono::January, std::chrono::day{1}};
};

struct FilterCriteria {
  // Choices are "全部", "未分组" or an item text "name(count)".
  std::string registrar{"全部"};
  std::string domainType{"全部"};
  std::string category{"全部"};
  std::string suffix{"全部"};
  std::string sold{kSoldAll};
  std::string lengthFrom = "0";
  std::string lengthTo = "0";
  DateRange registered;
  DateRange expires;
  MoneyRange oneTimeCost;
  MoneyRange renewalCost;
  MoneyRange actualCost;
  MoneyRange reservePrice;
  MoneyRange askingPrice;
  MoneyRange finalPrice;
  MoneyRange profit;
  bool nameOn = false;
  std::string nameMode{kMatchAnywhere};
  std::string nameText;
  std::string expiry{kExpiryAny};
  bool noteOn = false;
  std::string noteText;
  DateRange purchased;
  DateRange soldOn;
};

// Back to the reset values; the dates of the date ranges are kept.
void resetFilterCriteria(FilterCriteria& criteria);

// A condition over table 域名 with every value bound.
struct SqlCondition {
  std::string sql;  // fragments joined by " and ", empty when nothing is active
  SqlParams params;

  bool empty() const { return sql.empty(); }
  // " where " + sql, or empty.
  std::string whereClause() const { return sql.empty() ? std::string() : " where " + sql; }
};

SqlCondition buildWhere(const FilterCriteria& criteria, const Date& today);

}  // namespace pelmora

#pragma once

// The purchase and sales statistics over a date range cut into days, months
// or years: per period the six series of the bar chart, and the totals of the
// whole range. Purchases are counted by 购买时间; sales are the sold domains
// (出售 = 1) by 出售时间.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora {

enum class ReportUnit { Day = 0, Month = 1, Year = 2 };  // "日", "月", "年"

inline constexpr std::array<std::string_view, 3> kReportUnitNames{"日", "月", "年"};
std::optional<ReportUnit> reportUnitFromName(std::string_view name);

// The six series, in chart order, named like the result columns.
enum class ReportSeries {
  BoughtCount = 0,      // 购买数量
  PurchaseCost = 1,     // 购买成本
  PurchaseAverage = 2,  // 购买均价
  SoldCount = 3,        // 销售数量
  SalesAmount = 4,      // 销售金额
  SalesAverage = 5,     // 销售均价
};
inline constexpr std::size_t kReportSeriesCount = 6;
inline constexpr std::array<std::string_view, kReportSeriesCount> kReportSeriesNames{
    "购买数量", "购买成本", "购买均价", "销售数量", "销售金额", "销售均价"};
struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};
inline constexpr std::array<Rgb, kReportSeriesCount> kReportSeriesColours{
    Rgb{135, 206, 250}, Rgb{70, 130, 180},  Rgb{160, 160, 0},
    Rgb{255, 127, 80},  Rgb{189, 183, 107}, Rgb{255, 20, 147}};

// One period (or the whole range): the six series values plus the profit
// (销售金额 − 购买成本), each rounded to two decimals.
struct ReportFigures {
  std::array<double, kReportSeriesCount> series{};
  double profit = 0;
};

struct ReportColumn {
  std::string label;  // "2017/03/05", "2017年/3月", "2016年"
  Date first;         // the period's first and last day
  Date last;
  ReportFigures figures;
};

struct StatisticsReport {
  std::vector<ReportColumn> columns;  // none when the end lies before the start
  ReportFigures totals;               // the whole range (widened to whole months/years)
  Date rangeFirst;
  Date rangeLast;
  // The value axis maximum: the largest integer part of any value + 1 (0
  // when every value is below 1). Only the listed series count.
  double axisMaximum = 0;
  std::string error;  // a query failed (reason); nothing is reported then
  bool ok() const { return error.empty(); }
};

// `start` plus `steps` days, months or years. Month and year steps keep the
// day of month, reduced to the last day of a shorter month (2016-01-31 plus
// one month is 2016-02-29).
Date addReportUnits(const Date& start, long long steps, ReportUnit unit);

// The periods of the range: their labels and first/last days.
std::vector<ReportColumn> reportPeriods(const Date& start, const Date& end, ReportUnit unit);

// The periods whose label is written under the chart when `periods` columns
// share an axis `axisWidth` wide and a label takes `labelWidth` (its text and
// the room around it): every step-th period from the first, the step the
// smallest round number of the unit (1, 2, 7, 14, 30, 91 ... days; 1, 2, 3,
// 6, 12 ... months; 1, 2, 5, 10 ... years) at which neighbouring labels do
// not overlap. A label that would stick out at either end of the axis is
// left out, and all of them together take at most the axis width less one
// label (the chart gives each label that share of the axis). Empty when not
// even one fits.
std::vector<std::size_t> labelledPeriods(std::size_t periods, ReportUnit unit, double axisWidth,
                                         double labelWidth);

// Runs the report. `shownSeries` are the ticked series (they decide the axis
// maximum); the figures are computed for all six.
StatisticsReport runStatisticsReport(DomainDatabase& db, const Date& start, const Date& end,
                                     ReportUnit unit, const std::vector<ReportSeries>& shownSeries);

// The totals as the window shows them: " " + value + " 个" / " 元", in the
// order 购买总数, 总成本, 购买均价, 销售总数, 总销售额, 销售均价, 总利润.
std::array<std::string, 7> reportTotalTexts(const ReportFigures& totals);

}  // namespace pelmora

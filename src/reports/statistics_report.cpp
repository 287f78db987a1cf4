#include "reports/statistics_report.h"

#include <algorithm>
#include <cmath>

#include "store/report_queries.h"
#include "support/numbers.h"

namespace pelmora {
namespace {

using std::chrono::day;
using std::chrono::last;
using std::chrono::month;
using std::chrono::year;
using std::chrono::year_month;

// The same day of month in another month, reduced to that month's last day.
Date onDayOf(const Date& date, const year_month& target) {
  const day lastDay = (target / last).day();
  return Date{target / std::min(date.day(), lastDay)};
}

Date firstOfMonth(const Date& date) { return Date{date.year() / date.month() / day{1}}; }
Date lastOfMonth(const Date& date) { return Date{date.year() / date.month() / last}; }
Date firstOfYear(const Date& date) { return Date{date.year() / std::chrono::January / day{1}}; }
Date lastOfYear(const Date& date) { return Date{date.year() / std::chrono::December / day{31}}; }

// The number of whole units from `start` to `end` (negative when `end` comes
// first): days, calendar months or calendar years.
long long unitsBetween(const Date& start, const Date& end, ReportUnit unit) {
  const long long years = static_cast<int>(end.year()) - static_cast<int>(start.year());
  switch (unit) {
    case ReportUnit::Day:
      return (std::chrono::sys_days{end} - std::chrono::sys_days{start}).count();
    case ReportUnit::Month:
      return years * 12 + static_cast<unsigned>(end.month()) -
             static_cast<long long>(static_cast<unsigned>(start.month()));
    case ReportUnit::Year:
      return years;
  }
  return 0;
}

}  // namespace

Date addReportUnits(const Date& start, long long steps, ReportUnit unit) {
  const year_month startMonth{start.year(), start.month()};
  switch (unit) {
    case ReportUnit::Day:
      return addDays(start, static_cast<int>(steps));
    case ReportUnit::Month:
      return onDayOf(start, startMonth + std::chrono::months{steps});
    case ReportUnit::Year:
      return onDayOf(start, startMonth + std::chrono::years{steps});
  }
  return start;
}

namespace {

std::string twoDigits(unsigned value) {
  return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

std::string dayLabel(const Date& date) {
  return std::to_string(static_cast<int>(date.year())) + "/" +
         twoDigits(static_cast<unsigned>(date.month())) + "/" +
         twoDigits(static_cast<unsigned>(date.day()));
}

std::string monthLabel(const Date& date) {
  return std::to_string(static_cast<int>(date.year())) + "年/" +
         std::to_string(static_cast<unsigned>(date.month())) + "月";
}

std::string yearLabel(const Date& date) {
  return std::to_string(static_cast<int>(date.year())) + "年";
}

PeriodKey periodKeyFor(ReportUnit unit) {
  switch (unit) {
    case ReportUnit::Day:
      return PeriodKey::Day;
    case ReportUnit::Month:
      return PeriodKey::Month;
    case ReportUnit::Year:
      return PeriodKey::Year;
  }
  return PeriodKey::Day;
}

// The rounded figures of one period or range. Empty sums count as 0; the
// average sale price is the sales amount over the number sold.
ReportFigures figuresOf(const TradeSums& sums) {
  const double cost = sums.purchaseCost.value_or(0);
  const double amount = sums.salesAmount.value_or(0);
  ReportFigures figures;
  auto& s = figures.series;
  s[static_cast<std::size_t>(ReportSeries::BoughtCount)] = static_cast<double>(sums.bought);
  s[static_cast<std::size_t>(ReportSeries::PurchaseCost)] = roundMoney(cost);
  s[static_cast<std::size_t>(ReportSeries::PurchaseAverage)] =
      roundMoney(sums.purchaseAverage.value_or(0));
  s[static_cast<std::size_t>(ReportSeries::SoldCount)] = static_cast<double>(sums.sold);
  s[static_cast<std::size_t>(ReportSeries::SalesAmount)] = roundMoney(amount);
  s[static_cast<std::size_t>(ReportSeries::SalesAverage)] =
      sums.sold > 0 ? roundMoney(amount / static_cast<double>(sums.sold)) : 0;
  figures.profit = roundMoney(amount - cost);
  return figures;
}

// The axis maximum: raised to the integer part + 1 whenever a shown value's
// integer part exceeds the largest one seen so far (which starts at 0).
double axisMaximumOf(const std::vector<ReportColumn>& columns,
                     const std::vector<ReportSeries>& shownSeries) {
  double largest = 0;
  double maximum = 0;
  for (const ReportColumn& column : columns) {
    for (ReportSeries series : shownSeries) {
      const double whole = std::trunc(column.figures.series[static_cast<std::size_t>(series)]);
      if (whole > largest) {
        largest = whole;
        maximum = whole + 1;
      }
    }
  }
  return maximum;
}

}  // namespace

std::optional<ReportUnit> reportUnitFromName(std::string_view name) {
  for (std::size_t i = 0; i < kReportUnitNames.size(); ++i) {
    if (kReportUnitNames[i] == name) return static_cast<ReportUnit>(i);
  }
  return std::nullopt;
}

std::vector<ReportColumn> reportPeriods(const Date& start, const Date& end, ReportUnit unit) {
  std::vector<ReportColumn> columns;
  const long long count = unitsBetween(start, end, unit) + 1;
  for (long long i = 0; i < count; ++i) {
    const Date date = addReportUnits(start, i, unit);
    ReportColumn column;
    switch (unit) {
      case ReportUnit::Day:
        column.label = dayLabel(date);
        column.first = column.last = date;
        break;
      case ReportUnit::Month:
        column.first = firstOfMonth(date);
        column.last = lastOfMonth(date);
        column.label = monthLabel(column.first);
        break;
      case ReportUnit::Year:
        column.first = firstOfYear(date);
        column.last = lastOfYear(date);
        column.label = yearLabel(date);
        break;
    }
    columns.push_back(std::move(column));
  }
  return columns;
}

namespace {

// The round label steps of a unit, smallest first; beyond the last one the
// steps double.
std::vector<std::size_t> labelSteps(ReportUnit unit) {
  switch (unit) {
    case ReportUnit::Day:
      return {1, 2, 7, 14, 30, 91, 182, 365, 730, 1461};
    case ReportUnit::Month:
      return {1, 2, 3, 6, 12, 24, 60, 120};
    case ReportUnit::Year:
      return {1, 2, 5, 10, 20, 50, 100};
  }
  return {1};
}

}  // namespace

std::vector<std::size_t> labelledPeriods(std::size_t periods, ReportUnit unit, double axisWidth,
                                         double labelWidth) {
  if (periods == 0 || !(axisWidth > 0) || !(labelWidth > 0)) return {};
  const double column = axisWidth / static_cast<double>(periods);
  std::vector<std::size_t> steps = labelSteps(unit);
  while (steps.back() < periods) steps.push_back(steps.back() * 2);
  for (const std::size_t step : steps) {
    if (static_cast<double>(step) * column < labelWidth) continue;
    std::vector<std::size_t> labelled;
    for (std::size_t i = 0; i < periods; i += step) {
      // A label is centred under its column.
      const double centre = (static_cast<double>(i) + 0.5) * column;
      if (centre - labelWidth / 2 >= 0 && centre + labelWidth / 2 <= axisWidth) {
        labelled.push_back(i);
      }
    }
    if (static_cast<double>(labelled.size() + 1) * labelWidth <= axisWidth) return labelled;
  }
  return {};
}

StatisticsReport runStatisticsReport(DomainDatabase& db, const Date& from, const Date& to,
                                     ReportUnit unit,
                                     const std::vector<ReportSeries>& shownSeries) {
  // A range typed backwards means the days between its two dates.
  const Date& start = std::min(from, to);
  const Date& end = std::max(from, to);
  StatisticsReport report;
  switch (unit) {
    case ReportUnit::Day:
      report.rangeFirst = start;
      report.rangeLast = end;
      break;
    case ReportUnit::Month:
      report.rangeFirst = firstOfMonth(start);
      report.rangeLast = lastOfMonth(end);
      break;
    case ReportUnit::Year:
      report.rangeFirst = firstOfYear(start);
      report.rangeLast = lastOfYear(end);
      break;
  }
  // The periods together cover the range exactly, so one grouped pass over
  // the range gives every period's sums.
  const PeriodKey key = periodKeyFor(unit);
  const auto tally = tallyTrades(db, report.rangeFirst, report.rangeLast, key);
  if (!tally) {
    report.error = tally.error().empty() ? "the statistics could not be read" : tally.error();
    return report;
  }
  report.columns = reportPeriods(start, end, unit);
  for (ReportColumn& column : report.columns) {
    const auto sums = tally->periods.find(periodKeyOf(column.first, key));
    column.figures = figuresOf(sums == tally->periods.end() ? TradeSums{} : sums->second);
  }
  report.totals = figuresOf(tally->range);
  report.axisMaximum = axisMaximumOf(report.columns, shownSeries);
  return report;
}

std::array<std::string, 7> reportTotalTexts(const ReportFigures& totals) {
  const auto count = [](double value) {
    return " " + std::to_string(static_cast<long long>(value)) + " 个";
  };
  const auto money = [](double value) { return " " + formatNumber(value) + " 元"; };
  const auto& s = totals.series;
  return {count(s[0]), money(s[1]), money(s[2]),         count(s[3]),
          money(s[4]), money(s[5]), money(totals.profit)};
}

}  // namespace pelmora

#include "reports/report_table.h"

#include <cmath>
#include <cstdint>

namespace pelmora {
namespace {

bool isCount(std::size_t series) {
  return series == static_cast<std::size_t>(ReportSeries::BoughtCount) ||
         series == static_cast<std::size_t>(ReportSeries::SoldCount);
}

std::vector<TableCell> rowOf(std::string_view label, const ReportFigures& figures,
                             bool withProfit) {
  std::vector<TableCell> row;
  row.emplace_back(std::string(label));
  for (std::size_t i = 0; i < kReportSeriesCount; ++i) {
    const double value = figures.series[i];
    if (isCount(i)) {
      row.emplace_back(static_cast<std::int64_t>(std::llround(value)));
    } else {
      row.emplace_back(value);
    }
  }
  if (withProfit) {
    row.emplace_back(figures.profit);
  } else {
    row.emplace_back(std::monostate{});
  }
  return row;
}

}  // namespace

Table statisticsTable(const StatisticsReport& report) {
  Table table;
  table.columns.emplace_back(kReportPeriodColumn);
  for (std::string_view name : kReportSeriesNames) table.columns.emplace_back(name);
  table.columns.emplace_back(kReportProfitColumn);
  for (const ReportColumn& column : report.columns) {
    table.rows.push_back(rowOf(column.label, column.figures, false));
  }
  table.rows.push_back(rowOf(kReportTotalsLabel, report.totals, true));
  return table;
}

}  // namespace pelmora

#pragma once

// The statistics report as a table for spreadsheets and scripts: one row per
// period (its label and the six series; 销售利润 empty) and a last row "合计"
// with the seven totals of the whole range.

#include "reports/statistics_report.h"
#include "support/table_writer.h"

namespace pelmora {

inline constexpr std::string_view kReportPeriodColumn = "期间";
inline constexpr std::string_view kReportProfitColumn = "销售利润";
inline constexpr std::string_view kReportTotalsLabel = "合计";

// Columns: 期间, the six series names, 销售利润. The counts are whole numbers.
Table statisticsTable(const StatisticsReport& report);

}  // namespace pelmora

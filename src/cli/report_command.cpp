#include "cli/report_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "cli/cli_options.h"
#include "cli/format_option.h"
#include "reports/report_table.h"
#include "reports/statistics_report.h"
#include "support/table_writer.h"

namespace pelmora::cli {
namespace {

constexpr const char* kReportHelp =
    "The purchase and sales statistics of a date range cut into days (日), months (月) or\n"
    "years (年); 月 and 年 widen the range to whole months or years. The first line names\n"
    "the columns: 期间, the six series (购买数量 购买成本 购买均价 销售数量 销售金额\n"
    "销售均价) and 销售利润. Then one line per period: its label and the six values;\n"
    "销售利润 stays empty there. The last line, 合计, holds the seven totals of the range,\n"
    "销售利润 included. Values are rounded to two decimals; fees are ignored.\n"
    "csv: the same rows, RFC 4180. json: one array of objects keyed by the column names,\n"
    "the 合计 object last; an empty 销售利润 is null.";

struct ReportOptions {
  std::optional<Date> from;
  std::optional<Date> to;
  std::optional<ReportUnit> unit;
  TableFormat format = TableFormat::Tsv;
};

std::string readDate(const std::string& value, std::optional<Date>& into) {
  into = parseDate(value);
  return into ? std::string() : "not a date (use yyyy-MM-dd)";
}

int runReport(DomainDatabase& db, const ReportOptions& options, std::ostream& out,
              std::ostream& err) {
  const std::vector<ReportSeries> allSeries{
      ReportSeries::BoughtCount, ReportSeries::PurchaseCost, ReportSeries::PurchaseAverage,
      ReportSeries::SoldCount,   ReportSeries::SalesAmount,  ReportSeries::SalesAverage};
  const StatisticsReport report =
      runStatisticsReport(db, *options.from, *options.to, *options.unit, allSeries);
  if (!report.ok()) {
    err << "pelmora-cli report: " << report.error << "\n";
    return 2;
  }
  writeTable(out, statisticsTable(report), options.format);
  return 0;
}

}  // namespace

CommandRun declareReport(CLI::App& command) {
  auto options = std::make_shared<ReportOptions>();
  command.footer(std::string(kReportHelp) + "\n\n" + command.get_footer());
  addValueOption(command, "--from", "yyyy-MM-dd", "the first day of the range (required)",
                 [options](const std::string& value) { return readDate(value, options->from); });
  addValueOption(command, "--to", "yyyy-MM-dd", "the last day of the range (required)",
                 [options](const std::string& value) { return readDate(value, options->to); });
  addValueOption(command, "--unit", "日|月|年", "the period: 日, 月 or 年 (required)",
                 [options](const std::string& value) -> std::string {
                   options->unit = reportUnitFromName(value);
                   return options->unit ? std::string() : "use 日, 月 or 年";
                 });
  declareFormatOption(command, options->format);
  command.callback([options] {
    if (!options->from || !options->to || !options->unit) {
      throw UsageError("give --from, --to and --unit");
    }
  });
  return [options](const CommandContext& context) {
    return runReport(*context.db, *options, context.out, context.err);
  };
}

}  // namespace pelmora::cli

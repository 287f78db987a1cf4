#include "cli/forecast_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli_options.h"
#include "cli/format_option.h"
#include "reports/renewal_forecast.h"
#include "support/numbers.h"

namespace pelmora::cli {
namespace {

constexpr const char* kForecastHelp =
    "The unsold domains (of the filter options, if given) by the month their expiry date falls\n"
    "in, from this month on: 期间 (已过期 for those already expired and not renewed, then\n"
    "yyyy-MM), the group (--by), 数量 and 续费成本. Then one 合计 line per group: its domains\n"
    "and renewal cost over the whole forecast, 占比 (its share of the cost, in percent),\n"
    "近12月销售额 (最终售价 of the group's domains sold within the last 12 months) and\n"
    "未来12月续费 (renewals from today for 12 months). Last, 合计 of 全部.";

struct ForecastOptions {
  ListOptions listing;
  int months = kDefaultForecastMonths;
  ForecastGroup group = ForecastGroup::Registrar;
  TableFormat format = TableFormat::Tsv;
};

int runForecast(DomainDatabase& db, const ForecastOptions& options, const Clock& clock,
                std::ostream& out, std::ostream& err) {
  const Date today = clock.today();
  const auto forecast = runRenewalForecast(db, buildWhere(options.listing.criteria, today),
                                           options.group, today, options.months);
  if (!forecast) {
    err << "pelmora-cli forecast: " << forecast.error() << "\n";
    return 2;
  }
  writeTable(out, renewalForecastTable(*forecast), options.format);
  return 0;
}

}  // namespace

CommandRun declareForecast(CLI::App& command) {
  auto options = std::make_shared<ForecastOptions>();
  command.footer(std::string(kForecastHelp) + "\n\n" + command.get_footer());
  addValueOption(
      command, "--months", "N", "how many months from this one (default 12, up to 60)",
      [options](const std::string& value) -> std::string {
        const int months = readInt(value);
        if (months < 1 || months > kMaxForecastMonths || std::to_string(months) != value) {
          return "give 1 to 60 months";
        }
        options->months = months;
        return {};
      });
  addValueOption(
      command, "--by", "COLUMN", "注册商 (default), 后缀 or 自定义分类",
      [options](const std::string& value) -> std::string {
        for (const ForecastGroup group :
             {ForecastGroup::Registrar, ForecastGroup::Suffix, ForecastGroup::Category}) {
          if (value == forecastGroupColumn(group)) {
            options->group = group;
            return {};
          }
        }
        return "give 注册商, 后缀 or 自定义分类";
      });
  declareFormatOption(command, options->format);
  declareFilterOptions(command, options->listing);
  return [options](const CommandContext& context) {
    return runForecast(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

#include "cli/export_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/calendar_command.h"
#include "cli/cli_options.h"
#include "reports/fixed_price_export.h"
#include "support/numbers.h"

namespace pelmora::cli {
namespace {

struct ExportOptions {
  std::string calendar;  // --calendar FILE
  ListOptions list;
  FixedPriceFormat format = FixedPriceFormat::West;
  FixedPriceChoices choices;
};

// A whole number in first..last written in plain digits; nullopt otherwise.
std::optional<int> wholeIn(const std::string& text, int first, int last) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  const int value = readInt(text);
  if (value < first || value > last) return std::nullopt;
  return value;
}

// An option taking a whole number in first..last, stored in `target`.
void addWholeOption(CLI::App& command, const std::string& name, const std::string& help, int first,
                    int last, int& target) {
  addValueOption(command, name, "N", help, [=, &target](const std::string& value) -> std::string {
    const auto parsed = wholeIn(value, first, last);
    if (!parsed) {
      return "use a whole number from " + std::to_string(first) + " to " + std::to_string(last);
    }
    target = *parsed;
    return {};
  });
}

int runExport(DomainDatabase& db, const ExportOptions& options, const Clock& clock,
              std::ostream& out, std::ostream& err) {
  if (options.choices.hourFrom > options.choices.hourTo) {
    err << "pelmora-cli export: --hour-from may not be later than --hour-to\n";
    return 2;
  }
  const SqlCondition condition = buildWhere(options.list.criteria, clock.today());
  std::string error;
  const bool ok = forEachFixedPriceLine(
      db, condition, options.format, options.choices,
      [&out](const std::string& line) {
        out << line;
        return static_cast<bool>(out);
      },
      error);
  if (!ok) {
    err << "pelmora-cli export: " << error << "\n";
    return 2;
  }
  return 0;
}

}  // namespace

CommandRun declareExport(CLI::App& command) {
  auto options = std::make_shared<ExportOptions>();
  command
      .add_option_function<std::string>(
          "marketplace",
          [options](const std::string& value) {
            if (value == fixedPriceFormatName(FixedPriceFormat::West)) {
              options->format = FixedPriceFormat::West;
            } else if (value == fixedPriceFormatName(FixedPriceFormat::Aiming)) {
              options->format = FixedPriceFormat::Aiming;
            } else {
              throw UsageError("use 西数 or 爱名");
            }
          },
          "西数 (domain,description,price,period,end hour) or 爱名 (domain,description)")
      ->type_name("西数|爱名");
  command
      .add_option("--calendar", options->calendar,
                  "instead of fixed-price lines: the expiry dates as an iCalendar file"
                  " (as the calendar command writes)")
      ->type_name("FILE.ics");
  FixedPriceChoices& c = options->choices;
  addWholeOption(command, "--desc", "the description: 0 备注 (default), 1 自定义分类", 0, 1,
                 c.description);
  addWholeOption(command, "--price", "西数 price: 0 标价 (default), 1 预售底价", 0, 1, c.price);
  addWholeOption(command, "--period",
                 "西数 listing period index: 0 今天 .. 15 365天, 16 同域名到期时间 (default 0)", 0,
                 kLastPeriodIndex, c.period);
  addWholeOption(command, "--hour",
                 "西数 end time index: 0 a random hour (default), k = 1..15 the hour k+7", 0,
                 kLastEndTimeIndex, c.endTime);
  addWholeOption(command, "--hour-from", "西数 random end hour from (8..22, default 8)",
                 kFirstEndHour, kLastEndHour, c.hourFrom);
  addWholeOption(command, "--hour-to", "西数 random end hour to (8..22, default 22)", kFirstEndHour,
                 kLastEndHour, c.hourTo);
  declareFilterOptions(command, options->list);
  command.callback([options, &command] {
    const bool marketplace = command.get_option("marketplace")->count() > 0;
    if (marketplace == !options->calendar.empty()) {
      throw UsageError("give 西数 or 爱名, or --calendar FILE");
    }
  });
  return [options](const CommandContext& context) {
    if (!options->calendar.empty()) {
      return writeCalendarFile(*context.db, options->list, options->calendar, context.clock,
                               context.out, context.err, "export");
    }
    return runExport(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

#include "cli/coverage_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli_options.h"
#include "cli/format_option.h"
#include "lookup/lookup_plan.h"
#include "lookup/rdap_bootstrap.h"
#include "store/due_lookups.h"
#include "support/table_writer.h"

namespace pelmora::cli {
namespace {

constexpr int kFreshDays = 30;

constexpr const char* kCoverageHelp =
    "One line per suffix: 后缀, 域名数, 查询来源 (who is asked, in turn: the registry's WHOIS\n"
    "or RDAP server, the web service, or a WHOIS server still to be learnt from IANA),\n"
    "30天内有答复 (domains answered within 30 days) and 从未答复 (the names never\n"
    "answered, separated by spaces). A suffix whose 30天内有答复 stays below 域名数\n"
    "after a refresh is at risk: see the README on the sources.";

struct CoverageOptions {
  TableFormat format = TableFormat::Tsv;
  SourceChoice source = SourceChoice::Auto;
};

std::string joinNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += ' ';
    text += name;
  }
  return text;
}

int runCoverage(DomainDatabase& db, const CoverageOptions& options, const Clock& clock,
                std::ostream& out, std::ostream& err) {
  const auto coverage = suffixCoverage(db, clock.nowUtc(), kFreshDays);
  if (!coverage) {
    err << "pelmora-cli coverage: " << coverage.error() << "\n";
    return 2;
  }
  const RdapBootstrap bootstrap = currentRdapBootstrap();
  Table table{{"后缀", "域名数", "查询来源", "30天内有答复", "从未答复"}, {}};
  for (const SuffixCoverage& suffix : *coverage) {
    const std::string sample = "example." + suffix.suffix;
    table.rows.push_back({suffix.suffix, suffix.domains,
                          describePlan(lookupPlan(sample, options.source, bootstrap)), suffix.fresh,
                          joinNames(suffix.neverAnswered)});
  }
  writeTable(out, table, options.format);
  return 0;
}

}  // namespace

CommandRun declareCoverage(CLI::App& command) {
  auto options = std::make_shared<CoverageOptions>();
  command.footer(std::string(kCoverageHelp) + "\n\n" + command.get_footer());
  declareFormatOption(command, options->format);
  declareSourceOption(command, options->source,
                      "registry, service or auto (the default): as update-dates will be run");
  return [options](const CommandContext& context) {
    return runCoverage(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

#include "cli/lookup_commands.h"

#include <CLI/CLI.hpp>
#include <array>
#include <memory>

#include "cli/cli_options.h"
#include "cli/stop_signal.h"
#include "lookup/date_update.h"
#include "store/domain_lookup.h"
#include "store/listing.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

// The run works on every domain of the listing, so paging and order have no
// meaning for it; they are refused rather than silently dropped.
constexpr std::array<const char*, 3> kListingOnlyOptions{"--page", "--page-size", "--sort"};

constexpr const char* kFreshHelp = "ask the web service not to answer from its cache";

// One status line, flushed at once so that a log keeps the lines of an
// interrupted run.
void statusLine(std::ostream& out, std::string_view text) {
  out << escapeForTerminal(text) << '\n' << std::flush;
}

struct LookupOptions {
  std::string domain;
  bool fresh = false;
};

int runLookup(const LookupOptions& options, std::ostream& out) {
  const DateLookupResult result =
      lookupDomainDates(options.domain, options.fresh ? kFresh : kUseCache);
  out << escapeForTerminal(result) << "\n";
  const std::string message = lookupMessage(result);
  return message.empty() || result == kLookupNotRegistered ? 0 : 1;
}

struct UpdateDatesOptions {
  ListOptions listing;
  std::vector<std::string> domains;
  bool fresh = false;
};

int runUpdateDates(DomainDatabase& db, const UpdateDatesOptions& options, const Clock& clock,
                   std::ostream& out, std::ostream& err) {
  const CacheChoice cache = options.fresh ? kFresh : kUseCache;
  std::vector<std::string> domains = options.domains;
  if (domains.empty()) {
    auto names = listDomainNames(db, buildWhere(options.listing.criteria, clock.today()));
    if (!names) {
      err << "pelmora-cli update-dates: " << names.error() << "\n";
      return 2;
    }
    domains = std::move(*names);
  }

  BatchTally tally;
  tally.total = static_cast<int>(domains.size());
  const StopOnSignal stop;
  for (const std::string& domain : domains) {
    if (stop.requested()) {
      tally.cancelled = true;
      break;
    }
    ++tally.attempted;
    const StoredDomainName stored = storedDomainName(db, domain);
    if (!stored.ok) {
      err << "pelmora-cli update-dates: " << stored.error << "\n";
      return 2;
    }
    if (!stored.name) {
      ++tally.failed;
      statusLine(out, "提示: [ " + domain + "] 不在域名列表中.");
      continue;
    }
    const RowDateUpdate update =
        storeLookupResult(db, *stored.name, lookupDomainDates(*stored.name, cache));
    ++(update.success ? tally.ok : tally.failed);
    statusLine(out, update.status);
  }
  statusLine(out, batchSummaryText(tally));
  return tally.failed == 0 && !tally.cancelled ? 0 : 1;
}

}  // namespace

CommandRun declareLookup(CLI::App& command) {
  auto options = std::make_shared<LookupOptions>();
  command.add_option("DOMAIN", options->domain, "the domain to look up")->type_name("");
  command.add_flag("--fresh", options->fresh, kFreshHelp);
  command.callback([options] {
    if (options->domain.empty()) throw UsageError("give a domain");
  });
  return [options](const CommandContext& context) { return runLookup(*options, context.out); };
}

CommandRun declareUpdateDates(CLI::App& command) {
  auto options = std::make_shared<UpdateDatesOptions>();
  command
      .add_option("DOMAIN", options->domains, "the domains to update (none: the filtered listing)")
      ->type_name("");
  command.add_flag("--fresh", options->fresh, kFreshHelp);
  declareFilterOptions(command, options->listing);
  for (const char* refused : kListingOnlyOptions) {
    addValueOption(command, refused, "", "", [refused](const std::string&) -> std::string {
      throw UsageError(std::string(refused) +
                       " does not apply: every domain of the filtered listing is updated");
    })->group("");
  }
  command.callback([options] {
    if (!options->domains.empty() && options->listing.filtered) {
      throw UsageError("give domains or filter options, not both");
    }
  });
  return [options](const CommandContext& context) {
    return runUpdateDates(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

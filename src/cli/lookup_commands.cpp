#include "cli/lookup_commands.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <array>
#include <memory>

#include "cli/cli_options.h"
#include "cli/stop_signal.h"
#include "lookup/date_update.h"
#include "lookup/paced_lookups.h"
#include "store/domain_lookup.h"
#include "store/due_lookups.h"
#include "store/listing.h"
#include "support/numbers.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

// The run works on every domain of the listing, so paging and order have no
// meaning for it; they are refused rather than silently dropped.
constexpr std::array<const char*, 3> kListingOnlyOptions{"--page", "--page-size", "--sort"};

constexpr int kDefaultMaxAgeDays = 30;

constexpr const char* kFreshHelp = "ask the web service not to answer from its cache";

// One status line, flushed at once so that a log keeps the lines of an
// interrupted run.
void statusLine(std::ostream& out, std::string_view text) {
  out << escapeForTerminal(text) << '\n' << std::flush;
}

struct LookupOptions {
  std::string domain;
  bool fresh = false;
  SourceChoice source = SourceChoice::Auto;
};

constexpr const char* kSourceHelp =
    "who is asked for suffixes outside the route table: registry (its RDAP, then its WHOIS),"
    " service (the web service only) or auto (the service, then the registry; the default)";

int runLookup(const LookupOptions& options, std::ostream& out) {
  const DateLookupResult result = lookupDomainDates(
      options.domain, options.fresh ? kFresh : kUseCache, nullptr, options.source);
  out << escapeForTerminal(result) << "\n";
  const std::string message = lookupMessage(result);
  return message.empty() || result == kLookupNotRegistered ? 0 : 1;
}

struct UpdateDatesOptions {
  ListOptions listing;
  std::vector<std::string> domains;
  bool fresh = false;
  bool due = false;
  int maxAgeDays = kDefaultMaxAgeDays;
  SourceChoice source = SourceChoice::Auto;
  std::optional<int> paceMs;
};

// The names to look up as the list stores them; a name it lacks is reported
// and counted as failed.
std::vector<std::string> storedNames(DomainDatabase& db, const std::vector<std::string>& given,
                                     BatchTally& tally, std::ostream& out, std::string& error) {
  std::vector<std::string> names;
  for (const std::string& domain : given) {
    const StoredDomainName stored = storedDomainName(db, domain);
    if (!stored.ok) {
      error = stored.error;
      return {};
    }
    if (stored.name) {
      names.push_back(*stored.name);
      continue;
    }
    ++tally.attempted;
    ++tally.failed;
    statusLine(out, "提示: [ " + domain + "] 不在域名列表中.");
  }
  return names;
}

Result<std::vector<std::string>> domainsToUpdate(DomainDatabase& db,
                                                 const UpdateDatesOptions& options,
                                                 const Clock& clock) {
  if (options.due) return listDueDomains(db, clock.nowUtc(), options.maxAgeDays);
  return listDomainNames(db, buildWhere(options.listing.criteria, clock.today()));
}

int runUpdateDates(DomainDatabase& db, const UpdateDatesOptions& options, const Clock& clock,
                   std::ostream& out, std::ostream& err) {
  BatchTally tally;
  std::vector<std::string> domains;
  std::string error;
  if (options.domains.empty()) {
    auto names = domainsToUpdate(db, options, clock);
    if (!names) error = names.error();
    domains = names ? std::move(*names) : std::vector<std::string>{};
  } else {
    domains = storedNames(db, options.domains, tally, out, error);
  }
  if (!error.empty()) {
    err << "pelmora-cli update-dates: " << error << "\n";
    return 2;
  }
  const int notStored = tally.attempted;
  const StopOnSignal stop;
  PacedRunOptions run = pacedOptions();
  run.choice = options.source;
  run.cache = options.fresh ? kFresh : kUseCache;
  run.stop = stop.flag();
  if (options.paceMs) setPace(run, *options.paceMs);
  const bool showProgress = ::isatty(STDERR_FILENO) == 1;
  const auto started = std::chrono::steady_clock::now();
  const int given = static_cast<int>(domains.size());
  const BatchTally looked =
      updateDatesPaced(db, domains, clock, run, [&](const RowDateUpdate& update, int done) {
        statusLine(out, update.status);
        if (!showProgress) return;
        err << "进度 [" << done << "/" << given << "], 剩余时间 "
            << timeLeftText(
                   estimatedTimeLeft(done, given, std::chrono::steady_clock::now() - started))
            << "\n";
      });
  tally.total = notStored + looked.total;
  tally.attempted = notStored + looked.attempted;
  tally.ok = looked.ok;
  tally.failed += looked.failed;
  tally.cancelled = looked.cancelled;
  statusLine(out, batchSummaryText(tally));
  return tally.failed == 0 && !tally.cancelled ? 0 : 1;
}

}  // namespace

CommandRun declareLookup(CLI::App& command) {
  auto options = std::make_shared<LookupOptions>();
  command.add_option("DOMAIN", options->domain, "the domain to look up")->type_name("");
  command.add_flag("--fresh", options->fresh, kFreshHelp);
  declareSourceOption(command, options->source, kSourceHelp);
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
  command.add_flag("--due", options->due,
                   "only the domains whose dates are due: never answered; expiring within 30"
                   " days, past or in redemption and not asked for a day; or not asked for"
                   " --max-age days");
  addValueOption(command, "--max-age", "DAYS",
                 "with --due: the age of an answer that is due"
                 " (default 30)",
                 [options](const std::string& value) -> std::string {
                   const int days = readInt(value);
                   if (days < 1 || std::to_string(days) != value)
                     return "give whole days, 1 or more";
                   options->maxAgeDays = days;
                   return {};
                 });
  declareSourceOption(command, options->source, kSourceHelp);
  addValueOption(command, "--pace-ms", "MS",
                 "the least time between the starts of two requests to one server (default 1000;"
                 " RDAP servers half of it)",
                 [options](const std::string& value) -> std::string {
                   const int ms = readInt(value);
                   if (ms < 0 || std::to_string(ms) != value) return "give milliseconds, 0 or more";
                   options->paceMs = ms;
                   return {};
                 });
  command.callback([options] {
    if (!options->domains.empty() && options->listing.filtered) {
      throw UsageError("give domains or filter options, not both");
    }
    if (options->due && (!options->domains.empty() || options->listing.filtered)) {
      throw UsageError("--due picks the domains itself: give no domains or filter options");
    }
  });
  return [options](const CommandContext& context) {
    return runUpdateDates(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

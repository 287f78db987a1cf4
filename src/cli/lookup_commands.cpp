#include "cli/lookup_commands.h"

#include <array>

#include "cli/cli_options.h"
#include "lookup/date_update.h"
#include "store/domain_lookup.h"
#include "store/listing.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

// The run works on every domain of the listing, so paging and order have no
// meaning for it; they are refused rather than silently dropped.
constexpr std::array<std::string_view, 3> kListingOnlyOptions{"--page", "--page-size", "--sort"};

// One status line, flushed at once so that a log keeps the lines of an
// interrupted run.
void statusLine(std::ostream& out, std::string_view text) {
  out << escapeForTerminal(text) << '\n' << std::flush;
}

}  // namespace

int runLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string domain;
  CacheChoice cache = kUseCache;
  for (const std::string& arg : args) {
    if (arg == "--fresh") {
      cache = kFresh;
    } else if (arg.rfind("--", 0) == 0 || !domain.empty()) {
      err << "pelmora-cli lookup: unexpected " << escapeForTerminal(arg) << "\n";
      return 2;
    } else {
      domain = arg;
    }
  }
  if (domain.empty()) {
    err << "pelmora-cli lookup: give a domain\n";
    return 2;
  }
  const DateLookupResult result = lookupDomainDates(domain, cache);
  out << escapeForTerminal(result) << "\n";
  const std::string message = lookupMessage(result);
  return message.empty() || result == kLookupNotRegistered ? 0 : 1;
}

int runUpdateDates(DomainDatabase& db, const std::vector<std::string>& args, const Clock& clock,
                   std::ostream& out, std::ostream& err) {
  CacheChoice cache = kUseCache;
  std::vector<std::string> domains;
  std::vector<std::string> filterArgs;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--fresh") {
      cache = kFresh;
    } else if (args[i].rfind("--", 0) == 0) {
      for (std::string_view refused : kListingOnlyOptions) {
        if (args[i] == refused) {
          err << "pelmora-cli update-dates: " << refused
              << " does not apply: every domain of the filtered listing is updated\n";
          return 2;
        }
      }
      filterArgs.push_back(args[i]);
      if (i + 1 < args.size()) filterArgs.push_back(args[++i]);
    } else {
      domains.push_back(args[i]);
    }
  }
  if (!domains.empty() && !filterArgs.empty()) {
    err << "pelmora-cli update-dates: give domains or filter options, not both\n";
    return 2;
  }
  if (domains.empty()) {
    ListOptions options;
    std::string error;
    if (!parseListOptions(filterArgs, options, error)) {
      err << "pelmora-cli update-dates: " << error << "\n";
      return 2;
    }
    auto names = listDomainNames(db, buildWhere(options.criteria, clock.today()), &error);
    if (!names) {
      err << "pelmora-cli update-dates: " << error << "\n";
      return 2;
    }
    domains = std::move(*names);
  }

  BatchTally tally;
  for (const std::string& domain : domains) {
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
  statusLine(out, batchStatusText(tally));
  return tally.failed == 0 ? 0 : 1;
}

}  // namespace pelmora::cli

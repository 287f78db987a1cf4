#include "cli/lookup_commands.h"

#include "cli/cli_options.h"
#include "lookup/date_update.h"
#include "store/listing.h"

namespace pelmora::cli {

int runLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string domain;
  CacheChoice cache = kUseCache;
  for (const std::string& arg : args) {
    if (arg == "--fresh") {
      cache = kFresh;
    } else if (arg.rfind("--", 0) == 0 || !domain.empty()) {
      err << "pelmora-cli lookup: unexpected " << arg << "\n";
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
  out << result << "\n";
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
    domains = listDomainNames(db, buildWhere(options.criteria, clock.today()));
  }

  BatchTally tally;
  for (const std::string& domain : domains) {
    ++tally.attempted;
    const bool known =
        db.scalar("SELECT count(*) FROM 域名 WHERE 域名=?", {domain}) == SqlValue(std::int64_t{1});
    if (!known) {
      ++tally.failed;
      out << "提示: [ " << domain << "] 不在域名列表中.\n";
      continue;
    }
    const RowDateUpdate update = storeLookupResult(db, domain, lookupDomainDates(domain, cache));
    ++(update.success ? tally.ok : tally.failed);
    out << update.status << "\n";
  }
  out << batchStatusText(tally) << "\n";
  return tally.failed == 0 ? 0 : 1;
}

}  // namespace pelmora::cli

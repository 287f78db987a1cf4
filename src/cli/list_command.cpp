#include "cli/list_command.h"

#include "cli/cli_options.h"
#include "store/listing.h"
#include "store/settings_store.h"
#include "support/text_helpers.h"

namespace pelmora::cli {

int runList(DomainDatabase& db, const std::vector<std::string>& args, const Clock& clock,
            std::ostream& out, std::ostream& err) {
  ListOptions options;
  std::string error;
  if (!parseListOptions(args, options, error)) {
    err << "pelmora-cli list: " << error << "\n";
    return 2;
  }
  PageRequest request;
  request.pageSize = options.pageSize.value_or(SettingsStore(db).pageSize());
  request.page = options.page;
  request.sortKey = options.sortKey;
  const SqlCondition condition = buildWhere(options.criteria, clock.today());
  const ListingPage listing = loadListing(db, condition, request);
  if (!listing.ok()) {
    err << "pelmora-cli list: " << listing.error << "\n";
    return 2;
  }

  out << pageCaption(listing.total, listing.pageCount) << "\n";
  for (const DomainRecord& record : listing.rows) {
    const auto texts = displayTexts(record);
    for (int k = 1; k < kDomainFieldCount; ++k) {
      if (k > 1) out << '\t';
      out << escapeForTerminal(texts[k]);
    }
    out << "\n";
  }
  return 0;
}

}  // namespace pelmora::cli

#include "cli/list_command.h"

#include <memory>

#include "cli/cli_options.h"
#include "store/listing.h"
#include "store/program_settings.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

int runList(DomainDatabase& db, const ListOptions& options, const Clock& clock, std::ostream& out,
            std::ostream& err) {
  std::string error;
  const auto settings = readProgramSettings(db, &error);
  if (!settings) {
    err << "pelmora-cli list: " << error << "\n";
    return 2;
  }
  PageRequest request;
  request.pageSize = options.pageSize.value_or(settings->pageSize);
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

}  // namespace

CommandRun declareList(CLI::App& command) {
  auto options = std::make_shared<ListOptions>();
  declarePagingOptions(command, *options);
  declareFilterOptions(command, *options);
  return [options](const CommandContext& context) {
    return runList(*context.db, *options, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

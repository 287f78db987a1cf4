#include "cli/list_command.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/cli_options.h"
#include "cli/format_option.h"
#include "reports/listing_table.h"
#include "store/listing.h"
#include "store/program_settings.h"

namespace pelmora::cli {
namespace {

int runList(DomainDatabase& db, const ListOptions& options, const ListingTableOptions& table,
            const Clock& clock, std::ostream& out, std::ostream& err) {
  const auto settings = readProgramSettings(db);
  if (!settings) {
    err << "pelmora-cli list: " << settings.error() << "\n";
    return 2;
  }
  PageRequest request;
  request.pageSize = options.pageSize.value_or(settings->pageSize);
  request.page = options.page;
  request.sortKey = options.sortKey;
  request.ascending = options.ascending;
  request.wholeListing = options.wholeListing;
  request.emptyPastLastPage = true;
  const SqlCondition condition = buildWhere(options.criteria, clock.today());
  const ListingTableResult written = writeListingTable(db, condition, request, table, out);
  if (!written.error.empty()) {
    err << "pelmora-cli list: " << written.error << "\n";
    return 2;
  }
  return 0;
}

}  // namespace

CommandRun declareList(CLI::App& command) {
  auto options = std::make_shared<ListOptions>();
  auto table = std::make_shared<ListingTableOptions>();
  declarePagingOptions(command, *options);
  command.add_flag("--all", options->wholeListing,
                   "every row on one page (--page and --page-size do not count)");
  declareFilterOptions(command, *options);
  declareFormatOption(command, table->format);
  command.add_flag("--bom", table->byteOrderMark,
                   "csv, json: start with a UTF-8 byte order mark, for spreadsheet programs");
  return [options, table](const CommandContext& context) {
    return runList(*context.db, *options, *table, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

#include "cli/list_command.h"

#include <memory>
#include <optional>
#include <vector>

#include "cli/cli_options.h"
#include "cli/format_option.h"
#include "store/listing.h"
#include "store/program_settings.h"
#include "support/numbers.h"
#include "support/table_writer.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

// A grid cell typed for CSV and JSON: amounts and lengths as numbers, no date
// as no value, the rest as the grid shows it.
TableCell listingCell(DomainField field, const std::string& shown) {
  if (isMoneyField(field)) return readNumber(shown);
  if (field == DomainField::Length || field == DomainField::Sold) {
    if (shown.empty()) return {};
    return static_cast<std::int64_t>(readInt(shown));
  }
  if (isDateField(field) && shown.empty()) return {};
  return shown;
}

std::vector<std::string> listingColumns() {
  std::vector<std::string> columns;
  for (int k = 1; k < kDomainFieldCount; ++k) columns.emplace_back(kDomainColumns[k]);
  return columns;
}

int runList(DomainDatabase& db, const ListOptions& options, TableFormat format, const Clock& clock,
            std::ostream& out, std::ostream& err) {
  const auto settings = readProgramSettings(db);
  if (!settings) {
    err << "pelmora-cli list: " << settings.error() << "\n";
    return 2;
  }
  std::string error;
  PageRequest request;
  request.pageSize = options.pageSize.value_or(settings->pageSize);
  request.page = options.page;
  request.sortKey = options.sortKey;
  request.emptyPastLastPage = true;
  const SqlCondition condition = buildWhere(options.criteria, clock.today());

  // Rows go out as they are read; a page of a million rows is never held.
  // The caption or header waits for the first row, so that a listing that
  // cannot be read at all prints nothing.
  ListingPage head;
  std::optional<TableStream> table;
  const auto start = [&] {
    if (table) return;
    if (format == TableFormat::Tsv) out << pageCaption(head.total, head.pageCount) << "\n";
    table.emplace(out, listingColumns(), format, TableWriteOptions{.tsvHeader = false});
  };
  std::vector<TableCell> cells;
  error = forEachListingRow(
      db, condition, request, [&](const ListingPage& counted) { head = counted; },
      [&](const DomainRecord& record) {
        start();
        const auto texts = displayTexts(record);
        cells.clear();
        for (int k = 1; k < kDomainFieldCount; ++k) {
          if (format == TableFormat::Tsv) {
            cells.emplace_back(texts[k]);
          } else {
            cells.push_back(listingCell(static_cast<DomainField>(k), texts[k]));
          }
        }
        table->row(cells);
        return static_cast<bool>(out);
      });
  if (!error.empty()) {
    err << "pelmora-cli list: " << error << "\n";
    return 2;
  }
  start();
  table->finish();
  return 0;
}

}  // namespace

CommandRun declareList(CLI::App& command) {
  auto options = std::make_shared<ListOptions>();
  auto format = std::make_shared<TableFormat>(TableFormat::Tsv);
  declarePagingOptions(command, *options);
  declareFilterOptions(command, *options);
  declareFormatOption(command, *format);
  return [options, format](const CommandContext& context) {
    return runList(*context.db, *options, *format, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

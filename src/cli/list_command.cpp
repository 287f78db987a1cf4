#include "cli/list_command.h"

#include <memory>

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

Table listingTable(const std::vector<DomainRecord>& rows) {
  Table table;
  for (int k = 1; k < kDomainFieldCount; ++k) table.columns.emplace_back(kDomainColumns[k]);
  table.rows.reserve(rows.size());
  for (const DomainRecord& record : rows) {
    const auto texts = displayTexts(record);
    auto& cells = table.rows.emplace_back();
    for (int k = 1; k < kDomainFieldCount; ++k)
      cells.push_back(listingCell(static_cast<DomainField>(k), texts[k]));
  }
  return table;
}

int runList(DomainDatabase& db, const ListOptions& options, TableFormat format, const Clock& clock,
            std::ostream& out, std::ostream& err) {
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

  if (format != TableFormat::Tsv) {
    writeTable(out, listingTable(listing.rows), format);
    return 0;
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
  auto format = std::make_shared<TableFormat>(TableFormat::Tsv);
  declarePagingOptions(command, *options);
  declareFilterOptions(command, *options);
  declareFormatOption(command, *format);
  return [options, format](const CommandContext& context) {
    return runList(*context.db, *options, *format, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

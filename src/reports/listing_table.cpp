#include "reports/listing_table.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

#include "support/numbers.h"
#include "support/text_encoding.h"

namespace pelmora {
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

std::vector<std::string> listingColumns(TableFormat format) {
  std::vector<std::string> columns;
  for (int k = 1; k < kDomainFieldCount; ++k) columns.emplace_back(kDomainColumns[k]);
  if (format != TableFormat::Tsv) {
    columns.insert(columns.end(), kLookupColumns.begin(), kLookupColumns.end());
  }
  return columns;
}

TableCell textOrNone(const std::string& text) {
  if (text.empty()) return {};
  return text;
}

}  // namespace

ListingTableResult writeListingTable(
    DomainDatabase& db, const SqlCondition& condition, const PageRequest& request,
    const ListingTableOptions& options, std::ostream& out,
    const std::function<bool(std::int64_t written, std::int64_t total)>& progress) {
  ListingTableResult result;
  // Rows go out as they are read; a listing of a million rows is never held.
  // The caption or header waits for the first row, so that a listing that
  // cannot be read at all writes nothing.
  ListingPage head;
  std::optional<TableStream> table;
  const auto start = [&] {
    if (table) return;
    if (options.byteOrderMark && options.format != TableFormat::Tsv) out << kUtf8Mark;
    if (options.format == TableFormat::Tsv) {
      out << pageCaption(head.total, head.pageCount) << "\n";
    }
    table.emplace(out, listingColumns(options.format), options.format,
                  TableWriteOptions{.tsvHeader = false});
  };
  std::int64_t toWrite = 0;
  std::vector<TableCell> cells;
  result.error = forEachListingRow(
      db, condition, request,
      [&](const ListingPage& counted) {
        head = counted;
        toWrite =
            std::clamp<std::int64_t>(head.total - (head.page - 1) * std::max(request.pageSize, 1),
                                     0, request.wholeListing ? head.total : request.pageSize);
      },
      [&](const DomainRecord& record) {
        start();
        const auto texts = displayTexts(record);
        cells.clear();
        for (int k = 1; k < kDomainFieldCount; ++k) {
          if (options.format == TableFormat::Tsv) {
            cells.emplace_back(texts[k]);
          } else {
            cells.push_back(listingCell(static_cast<DomainField>(k), texts[k]));
          }
        }
        if (options.format != TableFormat::Tsv) {
          for (const std::string* text :
               {&record.lookup.checkedAt, &record.lookup.source, &record.lookup.status}) {
            cells.push_back(textOrNone(*text));
          }
        }
        table->row(cells);
        ++result.rows;
        if (progress && !progress(result.rows, toWrite)) {
          result.stopped = true;
          return false;
        }
        return static_cast<bool>(out);
      });
  if (!result.error.empty() || result.stopped) return result;
  start();
  table->finish();
  return result;
}

}  // namespace pelmora

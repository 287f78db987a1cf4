#pragma once

// The listing as a table: what `pelmora-cli list` prints and what the window's
// 导出列表 writes, the columns 域名 .. 出售时间 as the grid shows them. CSV and
// JSON add the last lookup (最后查询, 查询来源, 域名状态); in them amounts and
// lengths are numbers and a missing date or lookup is no value.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "store/listing.h"
#include "support/table_writer.h"

namespace pelmora {

struct ListingTableOptions {
  TableFormat format = TableFormat::Tsv;
  // CSV and JSON: the UTF-8 byte order mark first (kUtf8Mark), which
  // spreadsheet programs need to read Chinese texts right.
  bool byteOrderMark = false;
};

struct ListingTableResult {
  std::string error;  // why the listing could not be read; empty on success
  std::int64_t rows = 0;
  bool stopped = false;  // `progress` asked to stop
};

// Writes the page of `request` (every row when request.wholeListing) in the
// current order. TSV starts with the page caption; nothing at all is written
// when the listing cannot be read. `progress` gets the rows written so far and
// the rows to write after each row; false stops the writing.
ListingTableResult writeListingTable(
    DomainDatabase& db, const SqlCondition& condition, const PageRequest& request,
    const ListingTableOptions& options, std::ostream& out,
    const std::function<bool(std::int64_t written, std::int64_t total)>& progress = {});

}  // namespace pelmora

#pragma once

// The paged listing: grid columns, totals, page arithmetic, the page query and
// the display text of every cell.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_database.h"
#include "store/domain_record.h"
#include "store/filter_criteria.h"
#include "support/result.h"

namespace pelmora {

enum class CellType { Text = 1, Date = 3, CheckBox = 5, DropDown = 8 };

struct GridColumn {
  std::string title;
  int width = 0;
  CellType type = CellType::Text;
};

// The twenty grid columns; column k (1..19) shows field k of a DomainRecord.
const std::array<GridColumn, kDomainFieldCount>& gridColumns();

// Columns the user cannot edit in place: 域名, 后缀, 长度, 实际成本, 利润, 出售.
bool isReadOnlyColumn(int column);

inline constexpr std::string_view kDefaultSortKey = "id";

// The sort key for a click on a header title ("对外标价" sorts by 标价); none
// for the tick column or an unknown title.
std::optional<std::string> sortKeyForHeader(std::string_view title);

// A column name the page query may order by: "id" or one of the 19 columns.
bool isSortKey(std::string_view key);

// The number of domains the condition selects, or why the count failed. A
// count is kept per condition until the data changes.
Result<std::int64_t> countDomains(DomainDatabase& db, const SqlCondition& condition);

// Pages of `total` rows at `pageSize` per page, at least 1.
std::int64_t pageCountFor(std::int64_t total, int pageSize);

// "翻页,总数[" + total + "]个,共[" + pages + "]页"
std::string pageCaption(std::int64_t total, std::int64_t pageCount);

struct PageRequest {
  int pageSize = 100;
  std::int64_t page = 1;  // 1-based; clamped to the existing pages
  std::string sortKey{kDefaultSortKey};
  // Key ascending, then id ascending; by default both descend.
  bool ascending = false;
  // Every row the condition selects on one page (pageSize and page do not
  // count).
  bool wholeListing = false;
  // A page past the last one is empty instead of the last page, so that a
  // script paging until a page is empty comes to an end.
  bool emptyPastLastPage = false;
};

struct PageStatement {
  std::string sql;
  SqlParams params;
  bool reversed = false;  // rows come in ascending order and must be reversed
};

// The statement for one page: key descending, then id descending (both
// ascending when asked), the same rows and order as the nested TOP query. The page's ids are cut
// from the key's index and only their rows read; a page in the back half of the listing is read
// from the other end so that late pages stay cheap. The sort key must satisfy isSortKey().
// `tableRows` (all rows, or an estimate) lets a search in one text column pick the cheaper of the
// key's and the text's index. `inDisplayOrder` has the statement sort such a page back into display
// order itself, for rows handed on as they are read.
// The rows carry their last lookup (DomainRecord::lookup).
PageStatement pageStatement(const SqlCondition& condition, const PageRequest& request,
                            std::int64_t total, std::int64_t tableRows = 0,
                            bool inDisplayOrder = false);

// A total and the data stamp it was counted at (see DomainDatabase::dataStamp).
struct ListingTotal {
  ListingTotal(std::int64_t count = 0, std::optional<std::string> at = std::nullopt)
      : rows(count), stamp(std::move(at)) {}
  std::int64_t rows;
  std::optional<std::string> stamp;  // none: not known to be fresh
};

// The count of countDomains with the stamp it is valid for.
Result<ListingTotal> countListing(DomainDatabase& db, const SqlCondition& condition);

struct PageRows {
  std::vector<DomainRecord> rows;
  std::int64_t total = 0;  // the total the page was cut from
  std::string error;       // why the rows could not be read; empty on success
  bool ok() const { return error.empty(); }
};

// Rows of one page in display order, cut from `total` rows. A page read from
// the far end needs the exact total: unless the data is unchanged since
// `total` was counted, it is counted again in the same read transaction, so
// rows that moved in or out of the filter are neither shown twice nor lost.
// An unknown sort key or a failing statement is an error.
PageRows loadPageRows(DomainDatabase& db, const SqlCondition& condition, const PageRequest& request,
                      const ListingTotal& total);

struct ListingPage {
  std::int64_t total = 0;
  std::int64_t pageCount = 1;
  std::int64_t page = 1;
  std::vector<DomainRecord> rows;
  std::string error;  // why the listing could not be read; empty on success
  bool ok() const { return error.empty(); }
};

// Count, page count and the rows of the requested page, read in one read
// transaction.
ListingPage loadListing(DomainDatabase& db, const SqlCondition& condition, PageRequest request);

// The same without holding the page: `onHead` gets the listing without rows
// once it is counted, then `onRow` each row in display order as it is read,
// until it returns false. The reason when the listing could not be read (rows
// already handed on stay handed on); empty on success.
std::string forEachListingRow(DomainDatabase& db, const SqlCondition& condition,
                              PageRequest request,
                              const std::function<void(const ListingPage&)>& onHead,
                              const std::function<bool(const DomainRecord&)>& onRow);

// Every domain name the condition selects, newest first, or why the query
// failed.
Result<std::vector<std::string>> listDomainNames(DomainDatabase& db, const SqlCondition& condition);

// What the grid shows in columns 1..19 of a row (index 0 is the tick column
// and stays empty): "-" groups empty, amounts rounded to two decimals, dates
// yyyy-MM-dd, no date empty. The sold column holds "1" or "0".
std::array<std::string, kDomainFieldCount> displayTexts(const DomainRecord& record);

}  // namespace pelmora

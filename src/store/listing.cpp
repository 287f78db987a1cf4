#include "store/listing.h"

#include <algorithm>
#include <limits>

#include "support/numbers.h"

namespace pelmora {
namespace {

constexpr std::array<std::string_view, kDomainFieldCount> kColumnDefinitions{
    "选|23|5",       "域名|100|1",      "后缀|50|1",     "长度|35|1",     "注册商|50|8",
    "域名类型|60|8", "自定义分类|70|8", "注册时间|80|3", "到期时间|80|3", "一次成本|60|1",
    "续费成本|60|1", "实际成本|60|1",   "预售底价|60|1", "对外标价|60|1", "最终售价|60|1",
    "利润|60|1",     "出售|35|5",       "备注|110|1",    "购买时间|80|3", "出售时间|80|3"};

GridColumn parseColumnDefinition(std::string_view definition) {
  const std::size_t first = definition.find('|');
  const std::size_t second = definition.find('|', first + 1);
  GridColumn column;
  column.title = std::string(definition.substr(0, first));
  column.width = readInt(definition.substr(first + 1, second - first - 1));
  column.type = static_cast<CellType>(readInt(definition.substr(second + 1)));
  return column;
}

// A search in one text column alone, and the narrow index that column has.
// The sort key's index walks the table in listing order and tests every row
// it passes, which for a rare term is nearly the whole table; the text index
// finds each match once, and only the matches are then sorted.
std::optional<std::string_view> textSearchIndex(const SqlCondition& condition) {
  if (condition.sql == "备注 LIKE ? ESCAPE '\\'" || condition.sql == "instr(备注, ?) > 0") {
    return "域名_备注";
  }
  if (condition.sql == "域名 LIKE ? ESCAPE '\\'" || condition.sql == "instr(域名, ?) > 0") {
    return "sqlite_autoindex_域名_1";
  }
  return std::nullopt;
}

}  // namespace

const std::array<GridColumn, kDomainFieldCount>& gridColumns() {
  static const auto columns = [] {
    std::array<GridColumn, kDomainFieldCount> parsed;
    for (std::size_t i = 0; i < parsed.size(); ++i)
      parsed[i] = parseColumnDefinition(kColumnDefinitions[i]);
    return parsed;
  }();
  return columns;
}

bool isReadOnlyColumn(int column) {
  return (column >= 1 && column <= 3) || column == 11 || column == 15 || column == 16;
}

std::optional<std::string> sortKeyForHeader(std::string_view title) {
  const auto& columns = gridColumns();
  for (int k = 1; k < kDomainFieldCount; ++k) {
    if (columns[k].title == title) return std::string(kDomainColumns[k]);
  }
  return std::nullopt;
}

bool isSortKey(std::string_view key) {
  return std::find(kDomainColumns.begin(), kDomainColumns.end(), key) != kDomainColumns.end();
}

namespace {

// A note search for a term that is not empty; its one parameter is the term
// (instr) or the pattern around it (LIKE, "%%" for no term).
bool searchesNotesForSomething(const SqlCondition& condition) {
  if (textSearchIndex(condition) != "域名_备注" || condition.params.size() != 1) return false;
  const auto* bound = std::get_if<std::string>(&condition.params.front());
  if (bound == nullptr) return false;
  return condition.sql.starts_with("instr(") ? !bound->empty() : *bound != "%%";
}

}  // namespace

Result<std::int64_t> countDomains(DomainDatabase& db, const SqlCondition& condition) {
  // No term is found in an empty note, and a third of the notes in a typical
  // file are empty: the count seeks past them in the note index.
  const std::string where = searchesNotesForSomething(condition)
                                ? " WHERE 备注 > '' AND " + condition.sql
                                : condition.whereClause();
  std::string error;
  const auto count = db.cachedCount("SELECT COUNT(*) FROM 域名" + where, condition.params, &error);
  if (!count) return Failure{error};
  return *count;
}

std::int64_t pageCountFor(std::int64_t total, int pageSize) {
  if (pageSize < 1) pageSize = 1;
  if (total <= pageSize) return 1;
  const double pages = static_cast<double>(total) / pageSize;
  const auto whole = static_cast<std::int64_t>(pages);
  return pages - static_cast<double>(whole) > 0.0000001 ? whole + 1 : whole;
}

std::string pageCaption(std::int64_t total, std::int64_t pageCount) {
  return "翻页,总数[" + std::to_string(total) + "]个,共[" + std::to_string(pageCount) + "]页";
}

PageStatement pageStatement(const SqlCondition& condition, const PageRequest& request,
                            std::int64_t total, std::int64_t tableRows, bool inDisplayOrder) {
  const std::int64_t size = std::max(request.pageSize, 1);
  const std::int64_t page = std::clamp<std::int64_t>(request.page, 1, pageCountFor(total, size));
  const std::int64_t offset = (page - 1) * size;
  const std::int64_t rows = std::max<std::int64_t>(0, std::min(size, total - offset));
  const std::string& key = request.sortKey;

  PageStatement statement;
  statement.params = condition.params;
  // Ascending order puts NULL keys first, exactly the reverse of descending
  // order, so either direction read from the far end is the other one.
  const std::string shown = request.ascending ? " ASC" : " DESC";
  const std::string reverse = request.ascending ? " DESC" : " ASC";
  std::string order;
  std::int64_t skip = offset;
  if (offset > total / 2) {
    statement.reversed = true;
    order = key + reverse + ", id" + reverse;
    skip = total - offset - rows;
  } else {
    order = key + shown + ", id" + shown;
  }
  // The ids of the page are cut from the (key, id) index, which skipping
  // along is cheap; only the page's own rows are then read from the table.
  // Walking the key's index passes about (skip + rows) * tableRows / total
  // rows; a text search's own index looks up `total` rows instead.
  std::string source = " FROM 域名";
  const auto textIndex = textSearchIndex(condition);
  if (textIndex && static_cast<double>(skip + rows) * static_cast<double>(tableRows) >
                       static_cast<double>(total) * static_cast<double>(total)) {
    source += " INDEXED BY " + std::string(*textIndex);
  }
  std::string outerOrder = order;
  if (statement.reversed && inDisplayOrder) {
    outerOrder = key + shown + ", id" + shown;
    statement.reversed = false;
  }
  statement.sql = "SELECT " + domainColumnListWithLookup() + " FROM 域名 WHERE id IN (SELECT id" +
                  source + condition.whereClause() + " ORDER BY " + order +
                  " LIMIT ? OFFSET ?) ORDER BY " + outerOrder;
  statement.params.emplace_back(rows);
  statement.params.emplace_back(skip);
  return statement;
}

namespace {

bool readsFromFarEnd(const PageRequest& request, std::int64_t total) {
  return total > 0 && pageStatement({}, request, total).reversed;
}

// The statement for the page, or nullopt with the reason in `error`.
std::optional<PageStatement> statementFor(DomainDatabase& db, const SqlCondition& condition,
                                          const PageRequest& request, std::int64_t total,
                                          bool inDisplayOrder, std::string& error) {
  std::int64_t tableRows = 0;
  if (textSearchIndex(condition)) {
    // The highest id stands in for the number of rows: exact enough, and free.
    const auto highest = db.scalar("SELECT max(id) FROM 域名", {}, &error);
    if (!highest) return std::nullopt;
    if (const auto* id = std::get_if<std::int64_t>(&*highest)) tableRows = *id;
  }
  return pageStatement(condition, request, total, tableRows, inDisplayOrder);
}

bool readPage(DomainDatabase& db, const SqlCondition& condition, const PageRequest& request,
              PageRows& page) {
  page.rows.clear();
  if (page.total <= 0) return true;
  const auto statement = statementFor(db, condition, request, page.total, false, page.error);
  if (!statement) return false;
  const bool ok = db.query(
      statement->sql, statement->params,
      [&](const SqlRow& row) { page.rows.push_back(readDomainRecord(row)); }, &page.error);
  if (!ok) {
    page.rows.clear();
    return false;
  }
  if (statement->reversed) std::reverse(page.rows.begin(), page.rows.end());
  return true;
}

}  // namespace

Result<ListingTotal> countListing(DomainDatabase& db, const SqlCondition& condition) {
  std::optional<ListingTotal> total;
  std::string reason;
  db.readTransaction(
      [&](SqliteConnection&) {
        auto stamp = db.dataStamp();
        const auto rows = countDomains(db, condition);
        if (rows) total = ListingTotal(*rows, std::move(stamp));
        reason = rows.error();
        return rows.ok();
      },
      &reason);
  if (!total) return Failure{reason};
  return *total;
}

PageRows loadPageRows(DomainDatabase& db, const SqlCondition& condition, const PageRequest& request,
                      const ListingTotal& total) {
  PageRows page;
  page.total = total.rows;
  if (!isSortKey(request.sortKey)) {
    page.error = "unknown sort key: " + request.sortKey;
    return page;
  }
  std::string error;
  db.readTransaction(
      [&](SqliteConnection&) {
        if (readsFromFarEnd(request, page.total) &&
            (!total.stamp || db.dataStamp() != total.stamp)) {
          const auto fresh = countDomains(db, condition);
          page.error = fresh.error();
          if (!fresh) return false;
          page.total = *fresh;
        }
        return readPage(db, condition, request, page);
      },
      &error);
  if (!page.ok() || !error.empty()) {
    page.rows.clear();
    if (page.error.empty()) page.error = error;
  }
  return page;
}

ListingPage loadListing(DomainDatabase& db, const SqlCondition& condition, PageRequest request) {
  ListingPage listing;
  listing.error = forEachListingRow(
      db, condition, std::move(request), [&](const ListingPage& head) { listing = head; },
      [&](const DomainRecord& record) {
        listing.rows.push_back(record);
        return true;
      });
  if (!listing.ok()) {
    const std::string error = std::move(listing.error);
    listing = ListingPage{};
    listing.error = error;
  }
  return listing;
}

std::string forEachListingRow(DomainDatabase& db, const SqlCondition& condition,
                              PageRequest request,
                              const std::function<void(const ListingPage&)>& onHead,
                              const std::function<bool(const DomainRecord&)>& onRow) {
  request.pageSize = std::max(request.pageSize, 1);
  if (!isSortKey(request.sortKey)) return "unknown sort key: " + request.sortKey;
  std::string failure;
  std::string error;
  db.readTransaction(
      [&](SqliteConnection&) {
        const auto total = countDomains(db, condition);
        failure = total.error();
        if (!total) return false;
        ListingPage head;
        head.total = *total;
        if (request.wholeListing) {
          request.pageSize = static_cast<int>(
              std::clamp<std::int64_t>(head.total, 1, std::numeric_limits<int>::max()));
          request.page = 1;
        }
        head.pageCount = pageCountFor(head.total, request.pageSize);
        const bool pastLastPage = request.emptyPastLastPage && request.page > head.pageCount;
        head.page = request.page = std::clamp<std::int64_t>(request.page, 1, head.pageCount);
        onHead(head);
        if (head.total <= 0 || pastLastPage) return true;
        const auto statement = statementFor(db, condition, request, head.total, true, failure);
        return statement &&
               db.queryWhile(
                   statement->sql, statement->params,
                   [&](const SqlRow& row) { return onRow(readDomainRecord(row)); }, &failure);
      },
      &error);
  return !failure.empty() ? failure : error;
}

Result<std::vector<std::string>> listDomainNames(DomainDatabase& db,
                                                 const SqlCondition& condition) {
  std::vector<std::string> names;
  std::string error;
  const bool ok = db.query(
      "SELECT 域名 FROM 域名" + condition.whereClause() + " ORDER BY id DESC", condition.params,
      [&](const SqlRow& row) { names.push_back(row.text(0)); }, &error);
  if (!ok) return Failure{error};
  return names;
}

std::array<std::string, kDomainFieldCount> displayTexts(const DomainRecord& record) {
  std::array<std::string, kDomainFieldCount> texts;
  for (int k = 1; k < kDomainFieldCount; ++k) {
    const auto field = static_cast<DomainField>(k);
    const std::string& value = record.fields[k];
    if (isClassificationField(field)) {
      texts[k] = value == kNotGrouped ? std::string() : value;
    } else if (isMoneyField(field)) {
      texts[k] = formatNumber(roundMoney(readNumber(value)));
    } else if (isDateField(field)) {
      const auto date = parseDate(value);
      texts[k] = date ? formatDate(*date) : std::string();
    } else if (field == DomainField::Sold) {
      texts[k] = record.sold() ? "1" : "0";
    } else {
      texts[k] = value;
    }
  }
  return texts;
}

}  // namespace pelmora

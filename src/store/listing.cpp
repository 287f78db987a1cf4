#include "store/listing.h"

#include <algorithm>

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

std::int64_t countDomains(DomainDatabase& db, const SqlCondition& condition) {
  const auto value =
      db.scalar("SELECT COUNT(*) FROM 域名" + condition.whereClause(), condition.params);
  if (!value) return 0;
  const auto* count = std::get_if<std::int64_t>(&*value);
  return count != nullptr ? *count : 0;
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
                            std::int64_t total) {
  const std::int64_t size = std::max(request.pageSize, 1);
  const std::int64_t page = std::clamp<std::int64_t>(request.page, 1, pageCountFor(total, size));
  const std::int64_t offset = (page - 1) * size;
  const std::int64_t rows = std::max<std::int64_t>(0, std::min(size, total - offset));
  const std::string& key = request.sortKey;

  PageStatement statement;
  statement.params = condition.params;
  std::string order;
  std::int64_t skip = offset;
  if (offset > total / 2) {
    // Read from the far end: ascending order puts NULL keys first, exactly the
    // reverse of descending order.
    statement.reversed = true;
    order = key + " ASC, id ASC";
    skip = total - offset - rows;
  } else {
    order = key + " DESC, id DESC";
  }
  statement.sql = "SELECT " + domainColumnList() + " FROM 域名" + condition.whereClause() +
                  " ORDER BY " + order + " LIMIT ? OFFSET ?";
  statement.params.emplace_back(rows);
  statement.params.emplace_back(skip);
  return statement;
}

std::vector<DomainRecord> loadPageRows(DomainDatabase& db, const SqlCondition& condition,
                                       const PageRequest& request, std::int64_t total) {
  std::vector<DomainRecord> rows;
  if (!isSortKey(request.sortKey) || total <= 0) return rows;
  const PageStatement statement = pageStatement(condition, request, total);
  const bool ok = db.query(statement.sql, statement.params,
                           [&](const SqlRow& row) { rows.push_back(readDomainRecord(row)); });
  if (!ok) return {};
  if (statement.reversed) std::reverse(rows.begin(), rows.end());
  return rows;
}

ListingPage loadListing(DomainDatabase& db, const SqlCondition& condition, PageRequest request) {
  ListingPage listing;
  request.pageSize = std::max(request.pageSize, 1);
  listing.total = countDomains(db, condition);
  listing.pageCount = pageCountFor(listing.total, request.pageSize);
  listing.page = std::clamp<std::int64_t>(request.page, 1, listing.pageCount);
  request.page = listing.page;
  listing.rows = loadPageRows(db, condition, request, listing.total);
  return listing;
}

std::vector<std::string> listDomainNames(DomainDatabase& db, const SqlCondition& condition) {
  std::vector<std::string> names;
  db.query("SELECT 域名 FROM 域名" + condition.whereClause() + " ORDER BY id DESC",
           condition.params, [&](const SqlRow& row) { names.push_back(row.text(0)); });
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

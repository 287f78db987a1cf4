#include "store/classification_lists.h"

#include <unordered_map>

namespace pelmora {
namespace {

using CountMap = std::unordered_map<std::string, std::int64_t>;

// Group counts are kept up to date by triggers (see the schema upgrade).
CountMap countByColumn(DomainDatabase& db, std::string_view column) {
  CountMap counts;
  db.query("SELECT 名称, 数量 FROM 分组计数 WHERE 列=?", {std::string(column)},
           [&](const SqlRow& row) { counts[row.text(0)] = row.integer(1); });
  return counts;
}

std::vector<ClassItem> readList(DomainDatabase& db, CategoryKind kind) {
  const std::string table(categoryTable(kind));
  const CountMap counts = countByColumn(db, table);
  std::vector<ClassItem> items;
  db.query("SELECT " + table + " FROM " + table + " ORDER BY 排序 ASC, rowid ASC", {},
           [&](const SqlRow& row) {
             ClassItem item{row.text(0), 0};
             if (auto hit = counts.find(item.name); hit != counts.end()) item.count = hit->second;
             items.push_back(std::move(item));
           });
  return items;
}

}  // namespace

std::string_view categoryTable(CategoryKind kind) {
  switch (kind) {
    case CategoryKind::Registrar:
      return "注册商";
    case CategoryKind::DomainType:
      return "域名类型";
    case CategoryKind::Category:
      return "自定义分类";
  }
  return "注册商";
}

std::string_view targetName(ListTarget target) {
  switch (target) {
    case ListTarget::FilterWindow:
      return "筛选窗口";
    case ListTarget::SingleAddWindow:
      return "单个添加域名窗口";
    case ListTarget::BatchModifyWindow:
      return "批量修改窗口";
    case ListTarget::Grid:
      return "表格";
  }
  return "表格";
}

std::string itemText(const ClassItem& item) {
  return item.name + "(" + std::to_string(item.count) + ")";
}

std::string nameOfItem(std::string_view text) {
  return std::string(text.substr(0, text.find('(')));
}

void ClassificationLists::rebuild(DomainDatabase& db) {
  registrars_ = readList(db, CategoryKind::Registrar);
  domainTypes_ = readList(db, CategoryKind::DomainType);
  categories_ = readList(db, CategoryKind::Category);
  suffixes_.clear();
  db.query("SELECT 名称, 数量 FROM 分组计数 WHERE 列='后缀' ORDER BY 名称", {},
           [&](const SqlRow& row) {
             suffixes_.push_back({row.text(0), row.integer(1)});
           });
}

const std::vector<ClassItem>& ClassificationLists::list(CategoryKind kind) const {
  switch (kind) {
    case CategoryKind::DomainType:
      return domainTypes_;
    case CategoryKind::Category:
      return categories_;
    case CategoryKind::Registrar:
      break;
  }
  return registrars_;
}

std::vector<std::string> ClassificationLists::itemsFor(ListTarget target, CategoryKind kind) const {
  std::vector<std::string> items;
  switch (target) {
    case ListTarget::FilterWindow:
      items = {std::string(kItemAll), std::string(kItemNotGrouped)};
      break;
    case ListTarget::SingleAddWindow:
      items = {std::string(kItemNone)};
      break;
    case ListTarget::BatchModifyWindow:
      items = {std::string(kItemNotGrouped)};
      break;
    case ListTarget::Grid:
      for (const ClassItem& item : list(kind)) items.push_back(item.name);
      return items;
  }
  for (const ClassItem& item : list(kind)) items.push_back(itemText(item));
  return items;
}

std::vector<std::string> ClassificationLists::suffixItemsForFilter() const {
  std::vector<std::string> items{std::string(kItemAll), std::string(kItemNotGrouped)};
  for (const ClassItem& item : suffixes_) items.push_back(itemText(item));
  return items;
}

}  // namespace pelmora

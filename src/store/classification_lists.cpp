#include "store/classification_lists.h"

namespace pelmora {
namespace {

// Group counts are kept up to date by triggers (see the schema upgrade); a
// list entry matches its group without case, as the domain columns compare.
bool readList(DomainDatabase& db, CategoryKind kind, std::vector<ClassItem>& items,
              std::string* error) {
  const std::string table(categoryTable(kind));
  items.clear();
  return db.query(
      "SELECT t." + table + ", ifnull(c.数量, 0) FROM " + table +
          " t LEFT JOIN 分组计数 c ON c.列=? AND c.名称=t." + table +
          " ORDER BY t.排序 ASC, t.rowid ASC",
      {table},
      [&](const SqlRow& row) {
        items.push_back({row.text(0), row.integer(1)});
      },
      error);
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

Result<void> ClassificationLists::rebuild(DomainDatabase& db) {
  std::string reason;
  std::string* error = &reason;
  std::vector<ClassItem> registrars;
  std::vector<ClassItem> domainTypes;
  std::vector<ClassItem> categories;
  std::vector<ClassItem> suffixes;
  const bool ok = readList(db, CategoryKind::Registrar, registrars, error) &&
                  readList(db, CategoryKind::DomainType, domainTypes, error) &&
                  readList(db, CategoryKind::Category, categories, error) &&
                  db.query(
                      "SELECT 名称, 数量 FROM 分组计数 WHERE 列='后缀' ORDER BY 名称", {},
                      [&](const SqlRow& row) {
                        suffixes.push_back({row.text(0), row.integer(1)});
                      },
                      error);
  if (!ok) return Failure{reason};
  registrars_ = std::move(registrars);
  domainTypes_ = std::move(domainTypes);
  categories_ = std::move(categories);
  suffixes_ = std::move(suffixes);
  return {};
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

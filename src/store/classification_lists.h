#pragma once

// The in-memory lists of registrars, domain types, custom categories and
// suffixes, each item shown as the name followed by its domain count.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_database.h"
#include "support/result.h"

namespace pelmora {

enum class CategoryKind { Registrar, DomainType, Category };

// The table and the 域名 column of that name.
std::string_view categoryTable(CategoryKind kind);

// Where a list is shown; each target has its own fixed first items.
enum class ListTarget { FilterWindow, SingleAddWindow, BatchModifyWindow, Grid };

std::string_view targetName(ListTarget target);  // "筛选窗口", "单个添加域名窗口", ...

inline constexpr std::string_view kItemAll = "全部";
inline constexpr std::string_view kItemNotGrouped = "未分组";
inline constexpr std::string_view kItemNone = "不选";

struct ClassItem {
  std::string name;
  std::int64_t count = 0;
};

// name + "(" + count + ")"
std::string itemText(const ClassItem& item);

// The text before the first "(" (the whole text when there is none).
std::string nameOfItem(std::string_view itemText);

class ClassificationLists {
 public:
  // Reads the three tables (ordered by 排序) and the distinct suffixes with
  // their domain counts, replacing all four lists. On failure the lists stay
  // as they were.
  Result<void> rebuild(DomainDatabase& db);

  const std::vector<ClassItem>& list(CategoryKind kind) const;
  const std::vector<ClassItem>& suffixes() const { return suffixes_; }

  // The texts a target's control shows for one list: fixed items, then the
  // item texts (the grid gets bare names and no fixed items).
  std::vector<std::string> itemsFor(ListTarget target, CategoryKind kind) const;
  // The filter window's suffix list: "全部", "未分组", then the suffix items.
  std::vector<std::string> suffixItemsForFilter() const;

 private:
  std::vector<ClassItem> registrars_;
  std::vector<ClassItem> domainTypes_;
  std::vector<ClassItem> categories_;
  std::vector<ClassItem> suffixes_;
};

}  // namespace pelmora

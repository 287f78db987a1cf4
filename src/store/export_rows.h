#pragma once

// The columns the fixed-price exports read, for every domain a filter selects.

#include <functional>
#include <string>

#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "support/result.h"

namespace pelmora {

struct ExportRow {
  std::string name;         // 域名
  double reservePrice = 0;  // 预售底价, no value as 0
  double askingPrice = 0;   // 标价, no value as 0
  std::string category;     // 自定义分类
  std::string note;         // 备注
};

// Calls `each` for every domain the condition selects, in id order, until it
// returns false. Fails when the query fails; rows already passed stay
// passed.
Result<void> forEachExportRow(DomainDatabase& db, const SqlCondition& condition,
                              const std::function<bool(const ExportRow&)>& each);

}  // namespace pelmora

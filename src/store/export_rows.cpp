#include "store/export_rows.h"

namespace pelmora {

Result<void> forEachExportRow(DomainDatabase& db, const SqlCondition& condition,
                              const std::function<bool(const ExportRow&)>& each) {
  ExportRow current;
  std::string error;
  const bool ok = db.queryWhile(
      "SELECT 域名,预售底价,标价,自定义分类,备注 FROM 域名" + condition.whereClause() +
          " ORDER BY id",
      condition.params,
      [&](const SqlRow& row) {
        current.name = row.text(0);
        current.reservePrice = row.isNull(1) ? 0 : row.real(1);
        current.askingPrice = row.isNull(2) ? 0 : row.real(2);
        current.category = row.text(3);
        current.note = row.text(4);
        return each(current);
      },
      &error);
  if (!ok) return Failure{error};
  return {};
}

}  // namespace pelmora

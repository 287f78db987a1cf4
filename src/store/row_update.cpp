#include "store/row_update.h"

#include <string>

namespace pelmora {

Result<void> updateDomainColumns(DomainDatabase& db, std::int64_t id,
                                 const std::vector<ColumnValue>& values, int waitMs) {
  if (values.empty()) return Failure{};
  std::string sql = "UPDATE 域名 SET ";
  SqlParams params;
  for (const ColumnValue& column : values) {
    if (column.field == DomainField::Id) return Failure{};
    if (!params.empty()) sql += ',';
    sql += columnName(column.field);  // a name from the fixed column list, never user text
    sql += "=?";
    params.push_back(column.value);
  }
  sql += " WHERE id=?";
  params.emplace_back(id);

  bool changedOne = false;
  std::string error;
  db.withConnection([&](SqliteConnection& connection) {
    if (waitMs >= 0) connection.setBusyTimeout(waitMs);
    SqliteStatement statement = connection.prepare(sql);
    bool ran = statement.valid() && statement.bind(params);
    if (ran) {
      statement.step();
      ran = !statement.failed();
    }
    if (!ran) error = connection.lastError();
    changedOne = ran && connection.changes() == 1;
    if (waitMs >= 0) connection.setBusyTimeout(kBusyTimeoutMs);
  });
  if (!changedOne) return Failure{error};
  return {};
}

}  // namespace pelmora

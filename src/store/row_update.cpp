#include "store/row_update.h"

#include <string>

namespace pelmora {

bool updateDomainColumns(DomainDatabase& db, std::int64_t id,
                         const std::vector<ColumnValue>& values) {
  if (values.empty()) return false;
  std::string sql = "UPDATE 域名 SET ";
  SqlParams params;
  for (const ColumnValue& column : values) {
    if (column.field == DomainField::Id) return false;
    if (!params.empty()) sql += ',';
    sql += columnName(column.field);  // a name from the fixed column list, never user text
    sql += "=?";
    params.push_back(column.value);
  }
  sql += " WHERE id=?";
  params.emplace_back(id);

  bool changedOne = false;
  db.withConnection([&](SqliteConnection& connection) {
    SqliteStatement statement = connection.prepare(sql);
    if (!statement.valid() || !statement.bind(params)) return;
    statement.step();
    changedOne = !statement.failed() && connection.changes() == 1;
  });
  return changedOne;
}

}  // namespace pelmora

#include "store/batch_update.h"

namespace pelmora {

NamedRowWriter::NamedRowWriter(SqliteConnection& connection)
    : connection_(connection),
      amounts_(connection.prepare(
          "SELECT 一次成本, 续费成本, 最终售价, 出售 FROM 域名 WHERE 域名=? LIMIT 1")) {}

StoredAmountsRead NamedRowWriter::storedAmounts(std::string_view name) {
  StoredAmountsRead read;
  amounts_.reset();
  if (amounts_.bind({std::string(name)}) && amounts_.step()) {
    const SqlRow row = amounts_.row();
    read.amounts = StoredAmounts{row.real(0), row.real(1), row.real(2), row.integer(3) != 0};
  }
  read.ok = amounts_.valid() && !amounts_.failed();
  if (!read.ok) {
    read.amounts.reset();
    read.error = connection_.lastError();
  }
  amounts_.reset();
  return read;
}

SqliteStatement* NamedRowWriter::updateStatement(const std::vector<ColumnValue>& values) {
  std::string set;
  for (const ColumnValue& column : values) {
    if (column.field == DomainField::Id || column.field == DomainField::Name) return nullptr;
    if (!set.empty()) set += ',';
    set += columnName(column.field);  // a name from the fixed column list, never user text
    set += "=?";
  }
  if (set.empty()) return nullptr;
  auto found = updates_.find(set);
  if (found == updates_.end()) {
    found = updates_
                .emplace(set, connection_.prepare("UPDATE 域名 SET " + set +
                                                  " WHERE 域名=? RETURNING " + domainColumnList()))
                .first;
  }
  return &found->second;
}

NamedRowUpdate NamedRowWriter::updateColumns(std::string_view name,
                                             const std::vector<ColumnValue>& values) {
  NamedRowUpdate update;
  SqliteStatement* statement = updateStatement(values);
  if (statement == nullptr) {
    update.error = "no column to set";
    return update;
  }
  SqlParams params;
  params.reserve(values.size() + 1);
  for (const ColumnValue& column : values) params.push_back(column.value);
  params.emplace_back(std::string(name));

  statement->reset();
  int rows = 0;
  if (statement->bind(params)) {
    while (statement->step()) {
      if (++rows == 1) update.stored = readDomainRecord(statement->row());
    }
  }
  if (!statement->valid() || statement->failed()) {
    update.error = connection_.lastError();
  } else if (rows != 1) {
    update.error = "not in the domain list";
  } else {
    update.ok = true;
  }
  statement->reset();
  return update;
}

}  // namespace pelmora

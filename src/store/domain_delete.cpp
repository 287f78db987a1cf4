#include "store/domain_delete.h"

namespace pelmora {

DeleteResult deleteDomains(DomainDatabase& db, const std::vector<std::string>& names) {
  DeleteResult result;
  std::vector<bool> removed(names.size(), false);
  std::size_t deleted = 0;
  std::string error;
  const bool committed = db.transaction(
      [&](SqliteConnection& connection) {
        SqliteStatement statement = connection.prepare("DELETE FROM 域名 WHERE 域名=?");
        for (std::size_t i = 0; i < names.size(); ++i) {
          statement.reset();
          if (!statement.bind({names[i]})) return false;
          statement.step();
          if (statement.failed()) return false;
          removed[i] = connection.changes() > 0;
          if (removed[i]) ++deleted;
        }
        return true;
      },
      &error);
  result.removed.assign(names.size(), false);
  if (!committed) {
    result.error = error.empty() ? "the domains could not be deleted" : error;
    return result;
  }
  result.removed = std::move(removed);
  result.deleted = deleted;
  return result;
}

ClassificationDelete deleteClassificationValue(DomainDatabase& db, CategoryKind kind,
                                               std::string_view value, std::string* error) {
  // The table and its column share the kind's name, a fixed word never taken
  // from input. Domains are grouped without case, so a value is in use as
  // long as any domain's group matches it that way.
  const std::string table(categoryTable(kind));
  const std::string name(value);
  bool inUse = false;
  std::string failure;
  std::string reason;
  const bool committed = db.transaction(
      [&](SqliteConnection& connection) {
        SqliteStatement count =
            connection.prepare("SELECT count(*) FROM 域名 WHERE " + table + "=? COLLATE NOCASE");
        const auto fail = [&](std::string why) {
          failure = std::move(why);
          return false;
        };
        if (!count.bind({name}) || !count.step()) return fail(connection.lastError());
        inUse = count.row().integer(0) > 0;
        count.reset();
        if (inUse) return false;
        SqliteStatement remove =
            connection.prepare("DELETE FROM " + table + " WHERE " + table + "=?");
        if (!remove.bind({name})) return fail(connection.lastError());
        remove.step();
        if (remove.failed()) return fail(connection.lastError());
        if (connection.changes() == 0) return fail("[" + name + "] is not in the list of " + table);
        return true;
      },
      &reason);
  if (committed) return ClassificationDelete::Deleted;
  if (inUse) return ClassificationDelete::InUse;
  if (error != nullptr) *error = failure.empty() ? reason : failure;
  return ClassificationDelete::Failed;
}

}  // namespace pelmora

#include "store/classification_edit.h"

#include <cstdint>
#include <functional>
#include <utility>

namespace pelmora {
namespace {

// Table and column names come from categoryTable only, never from input.

// Runs `work` in one write transaction; `work` sets the status it ends with.
ClassificationEditResult editInTransaction(
    DomainDatabase& db, const std::function<bool(ClassificationEditResult&)>& work) {
  ClassificationEditResult result;
  std::string reason;
  const bool committed = db.transaction([&](SqliteConnection&) { return work(result); }, &reason);
  if (committed) {
    result.status = ClassificationEditStatus::Done;
    result.error.clear();
  } else if (result.status == ClassificationEditStatus::Done) {
    // The work went through but the commit did not.
    result.status = ClassificationEditStatus::Failed;
    result.error = reason;
  } else if (result.status == ClassificationEditStatus::Failed && result.error.empty()) {
    result.error = reason;
  }
  return result;
}

bool fail(ClassificationEditResult& result, ClassificationEditStatus status,
          std::string error = {}) {
  result.status = status;
  result.error = std::move(error);
  return false;
}

}  // namespace

ClassificationEditResult addClassificationValue(DomainDatabase& db, CategoryKind kind,
                                                std::string_view name) {
  const std::string table(categoryTable(kind));
  const std::string value(name);
  return editInTransaction(db, [&](ClassificationEditResult& result) {
    std::string error;
    const auto same = db.count(
        "SELECT count(*) FROM " + table + " WHERE " + table + "=? COLLATE NOCASE", {value}, &error);
    if (!same) return fail(result, ClassificationEditStatus::Failed, error);
    if (*same > 0) return fail(result, ClassificationEditStatus::AlreadyExists);
    const StatementResult insert =
        db.execute("INSERT INTO " + table + "(" + table + ") VALUES(?)", {value});
    if (!insert.ok) return fail(result, ClassificationEditStatus::Failed, insert.error);
    result.status = ClassificationEditStatus::Done;
    return true;
  });
}

ClassificationEditResult renameClassificationValue(DomainDatabase& db, CategoryKind kind,
                                                   std::string_view oldName,
                                                   std::string_view newName) {
  const std::string table(categoryTable(kind));
  const std::string from(oldName);
  const std::string to(newName);
  return editInTransaction(db, [&](ClassificationEditResult& result) {
    std::string error;
    // Another value with the new name; the renamed one itself may differ in case.
    const auto other = db.count("SELECT count(*) FROM " + table + " WHERE " + table +
                                    "=?1 COLLATE NOCASE AND " + table + "<>?2",
                                {to, from}, &error);
    if (!other) return fail(result, ClassificationEditStatus::Failed, error);
    if (*other > 0) return fail(result, ClassificationEditStatus::AlreadyExists);
    const auto users =
        db.count("SELECT count(*) FROM 域名 WHERE " + table + "=? COLLATE NOCASE", {from}, &error);
    if (!users) return fail(result, ClassificationEditStatus::Failed, error);
    if (*users > 0) return fail(result, ClassificationEditStatus::InUse);
    const StatementResult update =
        db.execute("UPDATE " + table + " SET " + table + "=? WHERE " + table + "=?", {to, from});
    if (!update.ok) return fail(result, ClassificationEditStatus::Failed, update.error);
    if (update.changes == 0) {
      return fail(result, ClassificationEditStatus::Failed,
                  "[" + from + "] is not in the list of " + table);
    }
    result.status = ClassificationEditStatus::Done;
    return true;
  });
}

Result<void> storeClassificationOrder(DomainDatabase& db,
                                      const std::vector<ClassificationOrder>& order) {
  std::string failure;
  std::string reason;
  const bool committed = db.transaction(
      [&](SqliteConnection&) {
        for (const ClassificationOrder& entry : order) {
          const std::string table(categoryTable(entry.kind));
          const StatementResult update =
              db.execute("UPDATE " + table + " SET 排序=? WHERE " + table + "=?",
                         {static_cast<std::int64_t>(entry.position), entry.name});
          // A value that is no longer there (changes == 0) is passed over.
          if (!update.ok) {
            failure = update.error;
            return false;
          }
        }
        return true;
      },
      &reason);
  if (!committed) return Failure{failure.empty() ? reason : failure};
  return {};
}

}  // namespace pelmora

#pragma once

// Adding, renaming and ordering the values of the three classification
// lists. Values compare without case, as the domains are grouped, so a name
// that differs from a stored one only in case is taken as the same value.

#include <string>
#include <string_view>
#include <vector>

#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "support/result.h"

namespace pelmora {

enum class ClassificationEditStatus {
  Done,
  AlreadyExists,  // another value of the list has this name
  InUse,          // a rename of a value some domain uses
  Failed,         // a statement failed: the reason is in `error`
};

struct ClassificationEditResult {
  ClassificationEditStatus status = ClassificationEditStatus::Failed;
  std::string error;
  bool ok() const { return status == ClassificationEditStatus::Done; }
};

// Adds `name` at the end of the list of `kind` (its order stays empty until
// the order is stored), unless the list already holds it.
ClassificationEditResult addClassificationValue(DomainDatabase& db, CategoryKind kind,
                                                std::string_view name);

// Renames `oldName` to `newName` unless a domain uses `oldName` or another
// value of the list is named `newName`; the checks and the update happen in
// one transaction. A rename that only changes letter case is allowed.
ClassificationEditResult renameClassificationValue(DomainDatabase& db, CategoryKind kind,
                                                   std::string_view oldName,
                                                   std::string_view newName);

struct ClassificationOrder {
  CategoryKind kind = CategoryKind::Registrar;
  std::string name;
  int position = 0;
};

// Stores each value's position in one transaction: all of them or none. A
// value that is no longer in its list is passed over.
Result<void> storeClassificationOrder(DomainDatabase& db,
                                      const std::vector<ClassificationOrder>& order);

}  // namespace pelmora

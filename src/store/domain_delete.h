#pragma once

// Deleting domains, and deleting a classification value no domain uses.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/classification_lists.h"
#include "store/domain_database.h"

namespace pelmora {

struct DeleteResult {
  // Per name, in the order given: whether a stored row went.
  std::vector<bool> removed;
  std::size_t deleted = 0;
  std::string error;  // a statement failed: the transaction was rolled back
  bool ok() const { return error.empty(); }
};

// Deletes the named domains in the order given, in one transaction: either
// every statement succeeds or nothing is deleted. A name with no stored row
// deletes nothing and is not an error.
DeleteResult deleteDomains(DomainDatabase& db, const std::vector<std::string>& names);

enum class ClassificationDelete { Deleted, InUse, Failed };

// Deletes `value` from the list of `kind` unless a domain still uses it; the
// check and the delete happen in one transaction.
ClassificationDelete deleteClassificationValue(DomainDatabase& db, CategoryKind kind,
                                               std::string_view value,
                                               std::string* error = nullptr);

}  // namespace pelmora

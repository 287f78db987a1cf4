#pragma once

// Updating chosen columns of one stored domain, leaving the others untouched.

#include <cstdint>
#include <vector>

#include "store/domain_database.h"
#include "store/domain_record.h"

namespace pelmora {

struct ColumnValue {
  DomainField field;
  SqlValue value;
};

// Sets the given columns of the domain with id `id`. True only when exactly
// that one row changed: a domain that is gone, a refused value or a failing
// statement is a failure. The id column itself cannot be set.
bool updateDomainColumns(DomainDatabase& db, std::int64_t id,
                         const std::vector<ColumnValue>& values);

}  // namespace pelmora

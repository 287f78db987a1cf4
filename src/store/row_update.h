#pragma once

// Updating chosen columns of one stored domain, leaving the others untouched.

#include <cstdint>
#include <utility>
#include <vector>

#include "store/domain_database.h"
#include "store/domain_record.h"
#include "support/result.h"

namespace pelmora {

struct ColumnValue {
  DomainField field;
  SqlValue value;
};

// Appends a column built in place (clang 14 cannot emplace an aggregate, and
// moving a whole SqlValue makes GCC 12 warn of an uninitialised read).
template <typename Value>
void appendColumn(std::vector<ColumnValue>& columns, DomainField field, Value&& value) {
  ColumnValue& column = columns.emplace_back();
  column.field = field;
  column.value = std::forward<Value>(value);
}

// Sets the given columns of the domain with id `id`. Succeeds only when
// exactly that one row changed: a domain that is gone, a refused value or a
// failing statement is a failure, with the database's reason where it
// refused. The id column itself cannot be set. `waitMs`, when not negative,
// bounds the wait for another writer's lock instead of the usual time-out.
Result<void> updateDomainColumns(DomainDatabase& db, std::int64_t id,
                                 const std::vector<ColumnValue>& values, int waitMs = -1);

}  // namespace pelmora

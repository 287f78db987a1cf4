#pragma once

// Storing whole domains. Values are checked before they are bound: a money
// text that is not a number or a date that is not a date fails its row and is
// never stored as junk.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "store/domain_record.h"

namespace pelmora {

// The bound values for fields 1..19 of a record, or nullopt with the reason.
std::optional<SqlParams> domainValues(const DomainRecord& record, std::string* why = nullptr);

struct InsertSummary {
  std::size_t added = 0;
  std::size_t failed = 0;
};

// Inserts the records as they are (derived fields already applied) in one
// transaction; a failing row does not stop the others. `onFailure` gets the
// index of each failing record and the reason.
InsertSummary insertDomains(
    DomainDatabase& db, const std::vector<DomainRecord>& records,
    const std::function<void(std::size_t, const std::string&)>& onFailure = {});

}  // namespace pelmora

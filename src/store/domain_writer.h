#pragma once

// Storing whole domains. Values are checked before they are bound: a money
// text that is not a number or a date that is not a date fails its row and is
// never stored as junk.

#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
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
  bool cancelled = false;  // stopped before the end: nothing was stored
  std::string error;       // the transaction could not be stored: nothing was
};

// How a long insert reports and is stopped.
struct InsertControl {
  // (records done, records in all): every kInsertProgressStep records and
  // once at the end.
  std::function<void(std::size_t, std::size_t)> progress;
  std::stop_token stop;
};

inline constexpr std::size_t kInsertProgressStep = 256;

// Inserts the records as they are (derived fields already applied) in one
// transaction; a failing row does not stop the others. `onFailure` gets the
// index of each failing record and the reason. When the transaction is
// stopped or cannot be committed, nothing is stored and every record counts
// as failed (`onFailure` is not called for them).
InsertSummary insertDomains(
    DomainDatabase& db, const std::vector<DomainRecord>& records,
    const std::function<void(std::size_t, const std::string&)>& onFailure = {},
    const InsertControl& control = {});

}  // namespace pelmora

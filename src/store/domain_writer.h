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
#include "support/result.h"

namespace pelmora {

// The bound values for fields 1..19 of a record, or why it cannot be stored.
Result<SqlParams> domainValues(const DomainRecord& record);

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

// How one insert ended: stored; refused for the row itself (a value that is
// not a number or a date, a duplicate name, another constraint); or failed
// because the database refused the write (locked, full, read-only, I/O), which
// fails the whole run.
enum class RowInsert { Added, Refused, Failed };

// Inserts records one by one inside a transaction the caller holds
// (DomainDatabase::transaction), records as they are (derived fields already
// applied).
class DomainInserter {
 public:
  explicit DomainInserter(SqliteConnection& connection);
  // The reason goes to `why` unless the record was added.
  RowInsert insert(const DomainRecord& record, std::string* why = nullptr);

 private:
  SqliteConnection& connection_;
  SqliteStatement statement_;
};

// Inserts the records in one transaction; a refused row does not stop the
// others. `onFailure` gets the index of each refused record and the reason.
// When the transaction is stopped, a write fails or the commit does, nothing
// is stored and every record counts as failed (`onFailure` is not called for
// them).
InsertSummary insertDomains(
    DomainDatabase& db, const std::vector<DomainRecord>& records,
    const std::function<void(std::size_t, const std::string&)>& onFailure = {},
    const InsertControl& control = {});

}  // namespace pelmora

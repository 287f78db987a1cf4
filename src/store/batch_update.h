#pragma once

// Changing many domains by name inside one open transaction: the statements
// are prepared once and reused for every domain.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_record.h"
#include "store/row_update.h"
#include "store/sqlite_connection.h"

namespace pelmora {

// The stored values a change of amounts is computed from.
struct StoredAmounts {
  double oneTimeCost = 0;
  double renewalCost = 0;
  double finalPrice = 0;
  bool sold = false;
};

// A read of one domain: `ok` false when the statement failed (reason in
// `error`); `amounts` empty when no row has that name.
struct StoredAmountsRead {
  bool ok = false;
  std::optional<StoredAmounts> amounts;
  std::string error;
};

// The row after an update: `ok` false when the statement failed or no row
// has that name (reason in `error`).
struct NamedRowUpdate {
  bool ok = false;
  DomainRecord stored;
  std::string error;
};

// Works on a connection whose transaction the caller holds. Names are
// matched as the table compares them (without case).
class NamedRowWriter {
 public:
  explicit NamedRowWriter(SqliteConnection& connection);

  StoredAmountsRead storedAmounts(std::string_view name);

  // Sets the given columns of the row named `name` and reads the whole row
  // back as stored. The id and the name cannot be set.
  NamedRowUpdate updateColumns(std::string_view name, const std::vector<ColumnValue>& values);

 private:
  SqliteStatement* updateStatement(const std::vector<ColumnValue>& values);

  SqliteConnection& connection_;
  SqliteStatement amounts_;
  std::map<std::string, SqliteStatement> updates_;  // by their SET lists
};

}  // namespace pelmora

#pragma once

// Storing what the user typed into one cell of the grid. Only the edited
// column is written, plus the derived columns an amount changes; every other
// column keeps its stored value exactly.

#include <string>
#include <string_view>
#include <vector>

#include "store/domain_database.h"
#include "store/domain_record.h"

namespace pelmora {

struct CellWriteBack {
  DomainRecord record;  // the row as stored afterwards; unchanged when nothing was stored
  std::vector<DomainField> written;  // the edited field first, then the derived ones
  bool stored = false;
  std::string error;  // the database's reason when it refused the write
};

// Stores `text`, typed into the cell of `field`, for the stored row `row`.
// The derived amounts come from the stored values of the other columns.
// Fails (nothing stored) for a column the user cannot edit, an amount that
// is not a number, a date that is not a date, or a domain that is gone.
// The grid waits at most kCellWriteWaitMs for another writer: the window
// does not freeze behind a lock.
inline constexpr int kCellWriteWaitMs = 250;

CellWriteBack writeCellBack(DomainDatabase& db, const DomainRecord& row, DomainField field,
                            std::string_view text);

}  // namespace pelmora

#pragma once

// Writing a grid row back after the user edited one of its cells in place.

#include <array>
#include <string>

#include "store/domain_database.h"
#include "store/domain_record.h"

namespace pelmora {

// The grid's cell texts, columns 1..19 (index 0 unused); the sold column holds
// "1" or "0".
using RowCells = std::array<std::string, kDomainFieldCount>;

struct RowWriteBack {
  RowCells cells;  // with actual cost, profit, sold and (when unsold) sale date recomputed
  bool stored = false;
};

// Recomputes the derived cells and updates the domain named in column 1. Fails
// (nothing stored) when an amount is not a number, a date is not a date, or the
// domain no longer exists.
RowWriteBack writeRowBack(DomainDatabase& db, RowCells cells);

}  // namespace pelmora

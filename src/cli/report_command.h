#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `report`: the purchase and sales statistics of a date range, one line per
// period and a 合计 line with the totals of the range.
CommandRun declareReport(CLI::App& command);

}  // namespace pelmora::cli

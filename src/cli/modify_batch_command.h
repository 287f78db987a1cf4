#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `modify-batch [DOMAIN...] [filter options] [--all] --set 列名=值...`: sets
// the chosen columns of the listed domains (or of every domain the filter
// selects, or of all with --all) with the batch-modify rules, prints each
// failed domain with its reason, then the result text. Exit 0 when every
// domain was modified, 1 otherwise.
CommandRun declareModifyBatch(CLI::App& command);

}  // namespace pelmora::cli

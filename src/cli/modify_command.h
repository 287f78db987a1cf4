#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `modify [--file F]`: applies advanced-modify lines (域名,字段=值,...) from the
// file or standard input, prints each failed line as domain[reason], then the
// result text. Exit 0 when every line was applied, 1 when some failed, 2 when
// the input cannot be read or the database fails.
CommandRun declareModify(CLI::App& command);

}  // namespace pelmora::cli

#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `add [--file F | --csv F]`: batch-add lines from a file or standard input,
// or the records of a CSV file; every failure-list line, then the result text.
CommandRun declareAdd(CLI::App& command);

}  // namespace pelmora::cli

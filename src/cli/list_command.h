#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `list`: the page caption, then one TAB-separated line per row.
CommandRun declareList(CLI::App& command);

}  // namespace pelmora::cli

#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `lookup DOMAIN [--fresh]`: the lookup result text. Exit 0 for dates or
// not registered, 1 for any failure.
CommandRun declareLookup(CLI::App& command);

// `update-dates [--fresh] [DOMAIN ...]` (no domains: the filtered listing):
// stores each result as the grid does and prints its status text, then the
// final status. Exit 0 when every domain succeeded, 1 otherwise.
CommandRun declareUpdateDates(CLI::App& command);

}  // namespace pelmora::cli

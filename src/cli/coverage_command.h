#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `coverage`: for each suffix of the inventory, its domains, who is asked for
// their dates, how many have a recent answer and which were never answered.
CommandRun declareCoverage(CLI::App& command);

}  // namespace pelmora::cli

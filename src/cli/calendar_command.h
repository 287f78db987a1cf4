#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `calendar FILE`: the expiry dates of the filtered domains as an iCalendar
// file, written under a temporary name and renamed into place when complete.
CommandRun declareCalendar(CLI::App& command);

}  // namespace pelmora::cli

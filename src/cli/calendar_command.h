#pragma once

#include "cli/cli_options.h"
#include "cli/command.h"

namespace pelmora::cli {

// `calendar FILE`: the expiry dates of the filtered domains as an iCalendar
// file, written under a temporary name and renamed into place when complete.
CommandRun declareCalendar(CLI::App& command);

// Writes the calendar of the listing `list` filters to `path` whole (also
// `export --calendar`); `commandName` names the command in a failure.
int writeCalendarFile(DomainDatabase& db, const ListOptions& list, const std::string& path,
                      const Clock& clock, std::ostream& out, std::ostream& err,
                      std::string_view commandName);

}  // namespace pelmora::cli

#pragma once

#include <ostream>

#include "cli/command.h"
#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora::cli {

// `expiring`: the six reminder item captions after one expiry check.
// A count that fails is reported on `err` with exit code 2.
int runExpiring(DomainDatabase& db, const Clock& clock, std::ostream& out, std::ostream& err);

// `expiring` takes no options of its own.
CommandRun declareExpiring(CLI::App& command);

}  // namespace pelmora::cli

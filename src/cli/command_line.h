#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora::cli {

// Runs `pelmora-cli args...` (args without the program name): reads the
// options, then opens the database the command needs (read-only unless the
// command writes) and runs the command. A usage error is reported before any
// file is opened. `database`, when given, is used instead of opening one.
// Whatever the command wrote to `out` is flushed at the end (and standard
// output closed, see finishOutput); a write that failed is reported with its
// reason. The exit code: 0 all done, 1 some items failed, 2 usage error,
// database unusable or output lost.
int runCommandLine(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err, DomainDatabase* database = nullptr);

}  // namespace pelmora::cli

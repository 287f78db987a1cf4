#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `delete DOMAIN...`: deletes the domains in one transaction, lists each one
// that is not stored, then prints the delete status text. Exit 0 when every
// domain was deleted, 1 otherwise.
CommandRun declareDelete(CLI::App& command);

}  // namespace pelmora::cli

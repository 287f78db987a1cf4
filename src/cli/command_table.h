#pragma once

#include <span>

#include "cli/command.h"

namespace pelmora::cli {

// Every command of pelmora-cli, in the order the help lists them.
std::span<const Command> commandTable();

}  // namespace pelmora::cli

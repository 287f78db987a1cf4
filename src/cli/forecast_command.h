#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `forecast`: what renewing the unsold domains will cost per month, per
// registrar, suffix or category, beside what each group earned from sales.
CommandRun declareForecast(CLI::App& command);

}  // namespace pelmora::cli

#pragma once

#include "cli/command.h"

namespace pelmora::cli {

// `export 西数|爱名`: the fixed-price lines of the filtered domains, exactly
// as the filter window puts them on the clipboard (CR LF line ends).
CommandRun declareExport(CLI::App& command);

}  // namespace pelmora::cli

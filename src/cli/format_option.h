#pragma once

#include "support/table_writer.h"

namespace CLI {
class App;
}

namespace pelmora::cli {

// `--format tsv|csv|json` (default tsv) read into `format`.
void declareFormatOption(CLI::App& command, TableFormat& format);

}  // namespace pelmora::cli

#include "cli/format_option.h"

#include "cli/cli_options.h"

namespace pelmora::cli {

void declareFormatOption(CLI::App& command, TableFormat& format) {
  addValueOption(command, "--format", "FORMAT", "tsv (default), csv or json",
                 [&format](const std::string& value) -> std::string {
                   const auto parsed = parseTableFormat(value);
                   if (!parsed) return "use tsv, csv or json";
                   format = *parsed;
                   return {};
                 });
}

}  // namespace pelmora::cli

#include "cli/add_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "cli/command_input.h"
#include "editing/batch_add.h"
#include "editing/csv_import.h"
#include "support/list_lines.h"
#include "support/text_encoding.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

constexpr const char* kPrefix = "pelmora-cli add: ";

struct AddOptions {
  std::optional<std::string> file;
  std::optional<std::string> csv;
};

int report(const BatchAddResult& result, std::ostream& out, std::ostream& err) {
  for (const BatchAddFailure& failure : result.failedLines) {
    out << escapeForTerminal(failure.name) << failure.tag << '\n';
  }
  out << batchAddResultText(result) << '\n';
  if (!result.error.empty()) {
    err << kPrefix << "nothing was stored: " << escapeForTerminal(result.error) << '\n';
    return 2;
  }
  return result.failed == 0 ? 0 : 1;
}

int runAdd(DomainDatabase& db, const AddOptions& options, std::ostream& out, std::ostream& err) {
  const std::optional<std::string>& path = options.csv ? options.csv : options.file;
  const auto input = readEditingInput(db, path, kPrefix, err);
  if (!input) return 2;
  const std::string& text = input->text;
  const ClassificationLists& lists = input->lists;
  if (!options.csv) return report(runBatchAdd(db, splitListLines(text), lists), out, err);

  const CsvImport import = readCsvImport(text, lists);
  if (!import.ok()) {
    err << kPrefix << escapeForTerminal(*options.csv) << ": " << escapeForTerminal(import.error)
        << '\n';
    return 2;
  }
  if (!import.unknownColumns.empty()) {
    err << kPrefix << escapeForTerminal(unknownColumnsWarning(import.unknownColumns)) << '\n';
  }
  return report(runBatchAddRows(db, import.rows), out, err);
}

}  // namespace

CommandRun declareAdd(CLI::App& command) {
  auto options = std::make_shared<AddOptions>();
  command.add_option("--file", options->file,
                     "read batch-add lines from this file (default: standard input)");
  command.add_option("--csv", options->csv,
                     "import a CSV file with a header row naming the columns");
  command.callback([options] {
    if (options->file && options->csv) throw UsageError("give --file or --csv, not both");
  });
  return [options](const CommandContext& context) {
    return runAdd(*context.db, *options, context.out, context.err);
  };
}

}  // namespace pelmora::cli

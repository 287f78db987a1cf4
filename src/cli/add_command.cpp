#include "cli/add_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "cli/command_input.h"
#include "editing/batch_add.h"
#include "editing/csv_import.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

constexpr const char* kPrefix = "pelmora-cli add: ";

struct AddOptions {
  std::optional<std::string> file;
  std::optional<std::string> csv;
};

// The lines that failed on their own, then the result line; when nothing
// could be stored, the reason instead of a result.
int report(const BatchAddResult& result, std::ostream& out, std::ostream& err) {
  for (const BatchAddFailure& failure : result.failedLines) {
    if (!out) break;
    out << escapeForTerminal(failure.name) << failure.tag << '\n';
  }
  if (!result.error.empty()) {
    err << kPrefix << "nothing was stored: " << escapeForTerminal(result.error) << '\n';
    return 2;
  }
  out << batchAddResultText(result) << '\n';
  return result.failed == 0 ? 0 : 1;
}

int runAdd(DomainDatabase& db, const AddOptions& options, std::ostream& out, std::ostream& err) {
  const std::optional<std::string>& path = options.csv ? options.csv : options.file;
  CommandInput input(path);
  const auto lists = openEditingInput(db, input, kPrefix, err);
  if (!lists) return 2;
  if (!options.csv) {
    const BatchLineSource next = [&input](std::string& line, std::string& why) {
      if (input.lines().next(line)) return true;
      why = input.problem();
      return false;
    };
    // Failed lines go out as they fail: a million of them are not held.
    BatchAddControl control;
    control.onFailure = [&out](const BatchAddFailure& failure) {
      if (out) out << escapeForTerminal(failure.name) << failure.tag << '\n';
    };
    return report(runBatchAddStream(db, next, *lists, control), out, err);
  }

  const auto text = readInputText(input, kPrefix, err);
  if (!text) return 2;
  const CsvImport import = readCsvImport(*text, *lists);
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

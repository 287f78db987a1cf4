#include "cli/modify_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "cli/command_input.h"
#include "editing/advanced_modify.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

constexpr const char* kPrefix = "pelmora-cli modify: ";

struct ModifyOptions {
  std::optional<std::string> file;
};

int runModify(DomainDatabase& db, const ModifyOptions& options, std::ostream& out,
              std::ostream& err) {
  CommandInput input(options.file);
  const auto lists = openEditingInput(db, input, kPrefix, err);
  if (!lists) return 2;
  auto lines = readInputLines(input, kPrefix, err);
  if (!lines) return 2;
  dropEmptyLastLines(*lines);
  const AdvancedModifyResult result = runAdvancedModify(db, *lines, *lists);
  for (const AdvancedModifyFailure& failure : result.failures) {
    if (!out) break;
    out << escapeForTerminal(failure.domain) << '[' << escapeForTerminal(failure.reason) << "]\n";
  }
  out << advancedModifyResultText(result) << '\n';
  if (!result.error.empty()) {
    err << kPrefix << escapeForTerminal(result.error) << '\n';
    return 2;
  }
  return result.failed == 0 ? 0 : 1;
}

}  // namespace

CommandRun declareModify(CLI::App& command) {
  auto options = std::make_shared<ModifyOptions>();
  command
      .add_option("--file", options->file,
                  "read advanced-modify lines 域名,字段=值,... from this file (default: standard "
                  "input); 字段: " +
                      std::string(advancedModifyFieldList()))
      ->type_name("FILE");
  return [options](const CommandContext& context) {
    return runModify(*context.db, *options, context.out, context.err);
  };
}

}  // namespace pelmora::cli

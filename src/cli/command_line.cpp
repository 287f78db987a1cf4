#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "cli/cli_options.h"
#include "cli/command_table.h"
#include "cli/standard_output.h"
#include "store/file_check.h"
#include "store/schema.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

constexpr const char* kDescription =
    "pelmora-cli: the domain inventory from a terminal, for scripts and cron.";
constexpr const char* kExitCodeRule =
    "Exit codes: 0 all done, 1 some items failed, 2 usage error, database unusable or input/output "
    "error.";

// What no command took, in this program's words: an unknown option or a
// stray word. Called once every argument is read, before any command runs.
void refuseStrayArguments(const CLI::App& app) {
  const bool commandGiven = !app.get_subcommands().empty();
  const std::vector<std::string> stray = app.remaining();
  if (stray.empty()) {
    if (!commandGiven) throw UsageError("no command given");
    return;
  }
  const std::string shown = escapeForTerminal(stray.front());
  if (stray.front().rfind('-', 0) == 0) throw UsageError("unknown option " + shown);
  throw UsageError((commandGiven ? "unexpected " : "unknown command ") + shown);
}

// CLI11 tells a missing value as "--name: 1 required TEXT missing".
std::string missingValueMessage(const CLI::ArgumentMismatch& mismatch) {
  const std::string what = mismatch.what();
  return escapeForTerminal(what.substr(0, what.find(':'))) + " needs a value";
}

std::unique_ptr<DomainDatabase> openDatabase(const std::optional<std::string>& path,
                                             DatabaseUse use, std::ostream& err) {
  std::string why;
  const std::filesystem::path file = path ? std::filesystem::path(*path) : defaultDatabasePath();
  const auto notice = [&] {
    err << "upgrading " << escapeForTerminal(file.string())
        << " to this version: a backup is written first, and a large file takes a minute or "
           "more\n"
        << std::flush;
  };
  // Commands that only read never write the file (nor create it), unless it
  // is older and must be upgraded first.
  OpenProblem problem = OpenProblem::Other;
  auto db = openCurrentDatabase(
      file, &why, use == DatabaseUse::ReadWrite ? OpenMode::ReadWrite : OpenMode::ReadOnly, notice,
      &problem);
  if (!db) {
    err << escapeForTerminal(openFailureHeadline(problem, file)) << "\n(" << escapeForTerminal(why)
        << ")\n";
    return nullptr;
  }
  if (use == DatabaseUse::ReadWrite) {
    const FileCheck check = checkBeforeWriting(*db, CheckWhen::IfChanged);
    if (!check.sound) {
      err << kDamagedFileMessage << "\n(" << escapeForTerminal(check.problem) << ")\n";
      return nullptr;
    }
  }
  return db;
}

// runCommandLine before the output is checked; `command` gets the name of
// the command that ran.
int runCommand(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
               std::ostream& err, DomainDatabase* database, std::string& command) {
  CLI::App app{kDescription, "pelmora-cli"};
  app.footer(kExitCodeRule);
  app.set_version_flag("--version", "pelmora-cli " PELMORA_VERSION, "print the version and exit");
  app.require_subcommand(0, 1);
  // Unknown options and words go up to here, from the commands too, and are
  // refused by refuseStrayArguments; "--db" is found after the command too.
  app.allow_extras();
  app.fallthrough();
  app.get_formatter()->column_width(28);
  app.get_formatter()->label("SUBCOMMAND", "COMMAND");
  std::optional<std::string> databasePath;
  declareDatabaseOption(app, databasePath);
  app.parse_complete_callback([&app] { refuseStrayArguments(app); });

  std::vector<CommandRun> runs;
  for (const Command& command : commandTable()) {
    CLI::App* sub = app.add_subcommand(std::string(command.name), std::string(command.summary));
    sub->group("Commands");
    sub->footer(kExitCodeRule);
    if (command.database != DatabaseUse::None) declareDatabaseOption(*sub, databasePath);
    runs.push_back(command.declare(*sub));
  }

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  if (!reversed.empty() && reversed.back() == "help") reversed.back() = "--help";
  try {
    app.parse(reversed);
  } catch (const CLI::Success& done) {  // --help, --version
    return app.exit(done, out, err);
  } catch (const std::exception& error) {
    const auto parsed = app.get_subcommands();
    std::string message = error.what();
    if (const auto* mismatch = dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
      message = missingValueMessage(*mismatch);
    } else if (dynamic_cast<const UsageError*>(&error) == nullptr) {
      message = escapeForTerminal(message);
    }
    if (parsed.empty()) {
      err << "pelmora-cli: " << message << "\n" << app.help();
    } else {
      err << "pelmora-cli " << parsed.front()->get_name() << ": " << message << "\n";
    }
    return 2;
  }

  const auto commands = commandTable();
  const CLI::App* chosen = app.get_subcommands().front();
  command = chosen->get_name();
  std::size_t k = 0;
  while (commands[k].name != command) ++k;

  const DatabaseUse use =
      commands[k].databaseFor != nullptr ? commands[k].databaseFor(*chosen) : commands[k].database;
  std::unique_ptr<DomainDatabase> opened;
  if (use != DatabaseUse::None && database == nullptr) {
    opened = openDatabase(databasePath, use, err);
    if (!opened) return 2;
    database = opened.get();
  }
  return runs[k]({database, clock, out, err});
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
                   std::ostream& err, DomainDatabase* database) {
  std::string command;
  const int code = runCommand(args, clock, out, err, database, command);
  if (const auto lost = finishOutput(out)) {
    err << "pelmora-cli" << (command.empty() ? "" : " " + command)
        << ": cannot write standard output: " << escapeForTerminal(*lost) << "\n";
    return 2;
  }
  return code;
}

}  // namespace pelmora::cli

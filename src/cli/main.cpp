// pelmora-cli: the domain inventory from a terminal, for scripts and cron.

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/expiring_command.h"
#include "cli/list_command.h"
#include "cli/lookup_commands.h"
#include "store/domain_database.h"
#include "store/schema.h"
#include "support/dates.h"
#include "support/text_helpers.h"

namespace {

constexpr const char* kUsage =
    "usage: pelmora-cli [--db PATH] COMMAND [OPTIONS]\n"
    "commands:\n"
    "  list [--page N] [--page-size S] [--sort 列名] [filter options]\n"
    "  expiring      the six expiry reminder captions after one check\n"
    "  lookup DOMAIN [--fresh]   the registration and expiry dates of one domain\n"
    "  update-dates [--fresh] [DOMAIN ...] [filter options]\n"
    "                store fetched dates (no domains: every domain of the filtered listing)\n"
    "filter options:\n"
    "  --registrar NAME|未分组  --type NAME|未分组  --category NAME|未分组\n"
    "  --suffix NAME|未分组     --sold 未出售|已出售\n"
    "  --expiry 已到期|今天|3|5|10|30\n"
    "  --name TEXT [--name-match 任意|开头|结束]  --note TEXT\n"
    "  --length A:B   --range 列名:A:B (money column; B empty or 0: no upper bound)\n"
    "  --date 列名:yyyy-MM-dd:yyyy-MM-dd (注册时间, 到期时间, 购买时间, 出售时间)\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace pelmora;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    std::cout << kUsage;
    return 0;
  }
  cli::GlobalOptions global;
  std::string error;
  if (!cli::parseGlobalOptions(args, global, error)) {
    std::cerr << "pelmora-cli: " << error << "\n" << kUsage;
    return 2;
  }
  if (global.command == "lookup") return cli::runLookup(global.commandArgs, std::cout, std::cerr);
  if (global.command != "list" && global.command != "expiring" &&
      global.command != "update-dates") {
    std::cerr << "pelmora-cli: unknown command " << escapeForTerminal(global.command) << "\n"
              << kUsage;
    return 2;
  }

  const auto path =
      global.databasePath ? std::filesystem::path(*global.databasePath) : defaultDatabasePath();
  std::string why;
  // Commands that only read never write the file (nor create it).
  const OpenMode mode = global.command == "update-dates" ? OpenMode::ReadWrite : OpenMode::ReadOnly;
  auto db = openCurrentDatabase(path, &why, mode);
  if (!db) {
    std::cerr << kOpenFailureMessage << "\n(" << escapeForTerminal(why) << ")\n";
    return 2;
  }
  if (global.command == "update-dates") {
    return cli::runUpdateDates(*db, global.commandArgs, Clock::system(), std::cout, std::cerr);
  }
  if (global.command == "expiring") {
    if (!global.commandArgs.empty()) {
      std::cerr << "pelmora-cli expiring: takes no options\n";
      return 2;
    }
    return cli::runExpiring(*db, Clock::system(), std::cout, std::cerr);
  }
  return cli::runList(*db, global.commandArgs, Clock::system(), std::cout, std::cerr);
}

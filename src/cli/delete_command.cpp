#include "cli/delete_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "store/domain_delete.h"
#include "support/text_helpers.h"

namespace pelmora::cli {
namespace {

std::string deleteStatusText(std::size_t deleted, std::size_t failed) {
  return " 提示: 删除 [" + std::to_string(deleted) + "]  个成功! 删除 [" + std::to_string(failed) +
         "] 个失败";
}

int runDelete(DomainDatabase& db, const std::vector<std::string>& names, std::ostream& out,
              std::ostream& err) {
  const DeleteResult result = deleteDomains(db, names);
  if (!result.ok()) {
    err << "pelmora-cli delete: nothing was deleted: " << escapeForTerminal(result.error) << "\n";
  } else {
    for (std::size_t i = 0; i < names.size() && out; ++i) {
      if (!result.removed[i]) out << escapeForTerminal(names[i]) << "[不存在]\n";
    }
  }
  const std::size_t failed = names.size() - result.deleted;
  out << deleteStatusText(result.deleted, failed) << "\n";
  if (!result.ok()) return 2;
  return failed == 0 ? 0 : 1;
}

}  // namespace

CommandRun declareDelete(CLI::App& command) {
  auto names = std::make_shared<std::vector<std::string>>();
  command.add_option("DOMAIN", *names, "the domains to delete")->type_name("");
  command.callback([names] {
    if (names->empty()) throw UsageError("give the domains to delete");
  });
  return [names](const CommandContext& context) {
    return runDelete(*context.db, *names, context.out, context.err);
  };
}

}  // namespace pelmora::cli

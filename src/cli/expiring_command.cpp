#include "cli/expiring_command.h"

#include "reports/expiry_reminder.h"
#include "support/text_helpers.h"

namespace pelmora::cli {

int runExpiring(DomainDatabase& db, const Clock& clock, std::ostream& out, std::ostream& err) {
  std::string error;
  const auto found = countExpiring(db, clock.today(), &error);
  if (!found) {
    err << "pelmora-cli expiring: " << error << "\n";
    return 2;
  }
  const ExpiryCounts& counts = *found;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    out << escapeForTerminal(reminderItemCaption(kReminderItemCaptions[i], counts[i])) << "\n";
  }
  return 0;
}

CommandRun declareExpiring(CLI::App&) {
  return [](const CommandContext& context) {
    return runExpiring(*context.db, context.clock, context.out, context.err);
  };
}

}  // namespace pelmora::cli

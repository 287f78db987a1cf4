#include "cli/expiring_command.h"

#include "reports/expiry_reminder.h"

namespace pelmora::cli {

int runExpiring(DomainDatabase& db, const Clock& clock, std::ostream& out) {
  const ExpiryCounts counts = countExpiring(db, clock.today());
  for (std::size_t i = 0; i < counts.size(); ++i) {
    out << reminderItemCaption(kReminderItemCaptions[i], counts[i]) << "\n";
  }
  return 0;
}

}  // namespace pelmora::cli

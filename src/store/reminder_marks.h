#pragma once

// Which reminders were already given for which domain (the table 已提醒),
// so that a reminder is given once: per domain, reminder and source, for the
// expiry date it was given for.

#include <string>
#include <vector>

#include "store/domain_database.h"
#include "support/result.h"

namespace pelmora {

struct ReminderMark {
  std::string domain;
  std::string reminder;   // the reminder's name, such as 3日内到期
  std::string expiresOn;  // the expiry date the reminder was given for
};

// For each mark, whether `source` has recorded it: the same domain (without
// case), reminder and expiry date. Fails when the table cannot be read.
Result<std::vector<bool>> findReminderMarks(DomainDatabase& db, const std::string& source,
                                            const std::vector<ReminderMark>& marks);

// Records the marks for `source` at `time` (UTC, yyyy-MM-dd HH:mm:ss), each
// replacing the one for the same domain and reminder, and drops the marks of
// `source` whose domain is gone or expires on another day now. One
// transaction: all of it or, on failure, nothing.
Result<void> recordReminderMarks(DomainDatabase& db, const std::string& source,
                                 const std::vector<ReminderMark>& marks, const std::string& time);

}  // namespace pelmora

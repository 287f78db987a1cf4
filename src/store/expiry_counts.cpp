#include "store/expiry_counts.h"

namespace pelmora {

std::optional<ExpiryTally> countByExpiryDate(DomainDatabase& db, const Date& day,
                                             const std::vector<ExpiryDateRange>& ranges,
                                             std::string* error) {
  ExpiryTally tally;
  std::string reason;
  const bool ok = db.readTransaction(
      [&](SqliteConnection&) {
        const auto before =
            db.count("SELECT count(*) FROM 域名 WHERE 到期时间 < ?", {formatDate(day)}, &reason);
        if (!before) return false;
        tally.before = *before;
        for (const ExpiryDateRange& range : ranges) {
          const auto inRange = db.count("SELECT count(*) FROM 域名 WHERE 到期时间 BETWEEN ? AND ?",
                                        {formatDate(range.first), formatDate(range.last)}, &reason);
          if (!inRange) return false;
          tally.inRanges.push_back(*inRange);
        }
        return true;
      },
      error);
  if (!ok) {
    if (error != nullptr && !reason.empty()) *error = reason;
    return std::nullopt;
  }
  return tally;
}

}  // namespace pelmora

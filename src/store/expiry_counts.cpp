#include "store/expiry_counts.h"

namespace pelmora {

Result<ExpiryTally> countByExpiryDate(DomainDatabase& db, const Date& day,
                                      const std::vector<ExpiryDateRange>& ranges) {
  ExpiryTally tally;
  std::string reason;
  std::string snapshotReason;
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
      &snapshotReason);
  if (!ok) return Failure{reason.empty() ? snapshotReason : reason};
  return tally;
}

}  // namespace pelmora

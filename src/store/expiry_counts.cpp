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

Result<std::vector<ExpiryGroupedDomain>> listByExpiryDate(
    DomainDatabase& db, const Date& day, const std::vector<ExpiryDateRange>& ranges) {
  // The conditions of the counts above, the group of each in a CASE that
  // takes the first that holds; the text is made of fixed fragments, one per
  // range, and every date is bound.
  std::string group = "CASE WHEN 到期时间 < ?1 THEN 0";
  std::string where = "到期时间 < ?1";
  SqlParams params{formatDate(day)};
  for (std::size_t k = 0; k < ranges.size(); ++k) {
    const std::string first = "?" + std::to_string(params.size() + 1);
    const std::string last = "?" + std::to_string(params.size() + 2);
    const std::string condition = "到期时间 BETWEEN " + first + " AND " + last;
    group += " WHEN " + condition + " THEN " + std::to_string(k + 1);
    where += " OR " + condition;
    params.push_back(formatDate(ranges[k].first));
    params.push_back(formatDate(ranges[k].last));
  }
  std::vector<ExpiryGroupedDomain> domains;
  std::string error;
  const bool ok = db.query(
      "SELECT 域名, 到期时间, 注册商, " + group + " END FROM 域名 WHERE " + where +
          " ORDER BY 到期时间, 域名",
      params,
      [&](const SqlRow& row) {
        domains.push_back({row.text(0), row.text(1),
                           row.isNull(2) ? std::nullopt : std::optional(row.text(2)),
                           static_cast<std::size_t>(row.integer(3))});
      },
      &error);
  if (!ok) return Failure{error};
  return domains;
}

}  // namespace pelmora

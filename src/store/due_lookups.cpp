#include "store/due_lookups.h"

#include <optional>
#include <unordered_map>

namespace pelmora {
namespace {

// The lookups store this expiry date for a name that is not registered.
constexpr std::string_view kNotRegisteredDate = "2222-11-11";
// A domain this close to its expiry date, or past it, changes from day to day.
constexpr int kExpiringDays = 30;

// The registry's words for a domain about to be deleted, lower case.
constexpr std::string_view kRedemption = "redemption";
constexpr std::string_view kPendingDelete = "pending delete";

struct Cutoffs {
  std::string dayAgo;      // now less one day
  std::string daysAgo;     // now less the days asked for
  std::string expiringBy;  // the last expiry date that counts as expiring
};

std::string daysModifier(int days) { return std::to_string(-days) + " days"; }

// SQLite's own date arithmetic, so that the cut-offs compare with 最后查询
// exactly as it is written.
Result<Cutoffs> cutoffsAt(DomainDatabase& db, const std::string& nowUtc, int days) {
  std::optional<Cutoffs> cutoffs;
  std::string error;
  const bool ok = db.query(
      "SELECT datetime(?1) IS ?1, datetime(?1, '-1 day'), datetime(?1, ?2), date(?1, ?3)",
      {nowUtc, daysModifier(days), daysModifier(-kExpiringDays)},
      [&](const SqlRow& row) {
        if (row.integer(0) != 0) cutoffs = Cutoffs{row.text(1), row.text(2), row.text(3)};
      },
      &error);
  if (!ok) return Failure{error};
  if (!cutoffs) return Failure{"not a time of the form yyyy-MM-dd HH:mm:ss: " + nowUtc};
  return *cutoffs;
}

}  // namespace

Result<std::vector<std::string>> listDueDomains(DomainDatabase& db, const std::string& nowUtc,
                                                int maxAgeDays) {
  const auto cutoffs = cutoffsAt(db, nowUtc, maxAgeDays);
  if (!cutoffs) return Failure{cutoffs.error()};
  std::vector<std::string> names;
  std::string error;
  const bool ok = db.query(
      "SELECT 域名 FROM 域名 WHERE 最后查询 IS NULL OR 最后查询 < ?1"
      " OR (最后查询 < ?2 AND 到期时间 IS NOT ?3 AND (到期时间 <= ?4"
      " OR instr(lower(域名状态), ?5) > 0 OR instr(lower(域名状态), ?6) > 0))"
      " ORDER BY id",
      {cutoffs->daysAgo, cutoffs->dayAgo, std::string(kNotRegisteredDate), cutoffs->expiringBy,
       std::string(kRedemption), std::string(kPendingDelete)},
      [&](const SqlRow& row) { names.push_back(row.text(0)); }, &error);
  if (!ok) return Failure{error};
  return names;
}

Result<std::vector<SuffixCoverage>> suffixCoverage(DomainDatabase& db, const std::string& nowUtc,
                                                   int freshDays) {
  std::vector<SuffixCoverage> groups;
  std::string failure;  // the work's own reason, which the transaction's would hide
  std::string error;
  const bool ok = db.readTransaction(
      [&](SqliteConnection&) {
        const auto cutoffs = cutoffsAt(db, nowUtc, freshDays);
        if (!cutoffs) {
          failure = cutoffs.error();
          return false;
        }
        // Suffixes compare without case, like the 后缀 column (SQLite's
        // lower() folds ASCII alone, as NOCASE does).
        std::unordered_map<std::string, std::size_t> place;
        const bool counted = db.query(
            "SELECT lower(ifnull(后缀, '')) AS s, count(*),"
            " count(CASE WHEN 最后查询 >= ?1 THEN 1 END) FROM 域名 GROUP BY s ORDER BY s",
            {cutoffs->daysAgo},
            [&](const SqlRow& row) {
              place.emplace(row.text(0), groups.size());
              groups.push_back({row.text(0), row.integer(1), row.integer(2), {}});
            },
            &failure);
        return counted && db.query(
                              "SELECT lower(ifnull(后缀, '')), 域名 FROM 域名 WHERE 最后查询 IS "
                              "NULL ORDER BY id",
                              {},
                              [&](const SqlRow& row) {
                                const auto found = place.find(row.text(0));
                                if (found != place.end()) {
                                  groups[found->second].neverAnswered.push_back(row.text(1));
                                }
                              },
                              &failure);
      },
      &error);
  if (!ok) return Failure{failure.empty() ? error : failure};
  return groups;
}

}  // namespace pelmora

#pragma once

// Which domains' dates are due to be looked up again, and how well the last
// lookups cover each suffix. Times are UTC, yyyy-MM-dd HH:mm:ss, like 最后查询.

#include <cstdint>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "support/result.h"

namespace pelmora {

// The names, by id, of the domains due at `nowUtc`: never answered; expiring
// within 30 days of its date or already expired, or in redemption or pending
// delete, and answered more than a day ago; any other answered more than
// `maxAgeDays` days ago. A domain marked not registered (2222-11-11) is due
// by age alone. Fails on a time of another shape.
Result<std::vector<std::string>> listDueDomains(DomainDatabase& db, const std::string& nowUtc,
                                                int maxAgeDays);

struct SuffixCoverage {
  std::string suffix;
  std::int64_t domains = 0;
  std::int64_t fresh = 0;                  // answered within the last freshDays days
  std::vector<std::string> neverAnswered;  // by id
};

// One entry per suffix (后缀 in lower case, NULL as ""), ordered by suffix.
Result<std::vector<SuffixCoverage>> suffixCoverage(DomainDatabase& db, const std::string& nowUtc,
                                                   int freshDays);

}  // namespace pelmora

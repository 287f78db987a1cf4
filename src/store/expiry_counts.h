#pragma once

// Counting and listing domains by their expiry date (到期时间).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "support/dates.h"
#include "support/result.h"

namespace pelmora {

// Both days included; first == last is that one day.
struct ExpiryDateRange {
  Date first;
  Date last;
};

struct ExpiryTally {
  std::int64_t before = 0;             // expiry date earlier than the day asked about
  std::vector<std::int64_t> inRanges;  // one count per range, in order
};

// All counts from one snapshot of the table. Domains without an expiry date
// are in none. Fails when a count fails.
Result<ExpiryTally> countByExpiryDate(DomainDatabase& db, const Date& day,
                                      const std::vector<ExpiryDateRange>& ranges);

struct ExpiryGroupedDomain {
  std::string name;
  std::string expiresOn;                 // yyyy-MM-dd
  std::optional<std::string> registrar;  // 注册商, none when NULL
  // 0: earlier than the day asked about; k + 1: in ranges[k], the first
  // range that holds it.
  std::size_t group = 0;
};

// The domains countByExpiryDate counts, by the same comparisons, each once:
// in the first group that holds it (`before` first, then the ranges in
// order). Ordered by expiry date, then name. Fails when the query fails.
Result<std::vector<ExpiryGroupedDomain>> listByExpiryDate(
    DomainDatabase& db, const Date& day, const std::vector<ExpiryDateRange>& ranges);

}  // namespace pelmora

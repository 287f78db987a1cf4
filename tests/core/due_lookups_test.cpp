#include "store/due_lookups.h"

#include <gtest/gtest.h>

#include "store/date_store.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

const std::string kNow = "2026-06-15 12:00:00";

// An empty checkedAt: never answered.
struct DueCase {
  std::string name, expires, checkedAt, status;
  bool due;
};

// Due at kNow with a week as the age limit.
const std::vector<DueCase> kDueCases{
    {"never.com", "2030-01-01", "", "", true},
    {"fresh.com", "2030-01-01", "2026-06-08 12:00:00", "", false},
    {"stale.com", "2030-01-01", "2026-06-08 11:59:59", "", true},
    {"expiring.com", "2026-07-15", "2026-06-13 12:00:00", "", true},
    {"expiring-today.com", "2026-07-15", "2026-06-15 00:00:00", "", false},
    {"later.com", "2026-07-16", "2026-06-13 12:00:00", "", false},
    {"expired.com", "2026-01-01", "2026-06-14 11:59:59", "", true},
    {"redemption.com", "2030-01-01", "2026-06-13 12:00:00", "Redemption Period", true},
    {"deleting.com", "2030-01-01", "2026-06-13 12:00:00", "client hold, pending delete", true},
    {"renewed.com", "2030-01-01", "2026-06-13 12:00:00", "auto renew period", false},
    {"free.com", "2222-11-11", "2026-06-13 12:00:00", "redemption period", false},
    {"free-stale.com", "2222-11-11", "2026-06-01 12:00:00", "", true},
};

class DueLookupsTest : public DatabaseTest {
 protected:
  void stamped(const std::string& name, const std::string& expires, const LookupStamp& stamp) {
    add({makeDomain(name)});
    ASSERT_EQ(storeDomainDates(db(), name, std::nullopt, *parseDate(expires), stamp).changes, 1);
  }
};

TEST_F(DueLookupsTest, TheDueRuleForEveryKindOfRow) {
  std::vector<std::string> expected;
  for (const DueCase& c : kDueCases) {
    stamped(c.name, c.expires, {c.checkedAt, "whois.example", c.status});
    if (c.due) expected.push_back(c.name);
  }
  // Dates written without an answer keep the last one.
  ASSERT_TRUE(storeDomainDates(db(), "fresh.com", std::nullopt, *parseDate("2030-01-01")).ok);
  EXPECT_EQ(listDueDomains(db(), kNow, 7).value_or({}), expected);
  EXPECT_FALSE(listDueDomains(db(), "2026-06-15", 7));
}

TEST_F(DueLookupsTest, CoveragePerSuffix) {
  for (const char* name : {"b.net", "a.com", "e.COM"}) stamped(name, "2030-01-01", {});
  stamped("c.com", "2030-01-01", {"2026-06-14 12:00:00", "", ""});
  stamped("d.net", "2030-01-01", {"2026-06-01 12:00:00", "", ""});
  std::string shown;
  for (const SuffixCoverage& s : suffixCoverage(db(), kNow, 7).value_or({})) {
    shown += s.suffix + " " + std::to_string(s.fresh) + "/" + std::to_string(s.domains) + ":";
    for (const std::string& name : s.neverAnswered) shown += " " + name;
    shown += ";";
  }
  EXPECT_EQ(shown, "com 1/3: a.com e.COM;net 0/2: b.net;");
}

}  // namespace
}  // namespace pelmora::testing

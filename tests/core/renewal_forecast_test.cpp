// The forecast against a computation of its own over a seeded inventory.

#include "reports/renewal_forecast.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "support/numbers.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

const Date kToday{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{11}};

class RenewalForecastTest : public DatabaseTest {};

TEST_F(RenewalForecastTest, EveryFigureMatchesACountOfItsOwn) {
  std::mt19937 random(7);
  const std::vector<std::string> registrars{"西数", "爱名", "易名"};
  std::vector<DomainRecord> records;
  for (int i = 0; i < 400; ++i) {
    const bool sold = random() % 5 == 0;
    records.push_back(testDomain(
        "f" + std::to_string(i) + ".com",
        {{DomainField::Registrar, registrars[random() % 3]},
         {DomainField::ExpiresOn,
          formatDate(addDays(kToday, static_cast<int>(random() % 600) - 100))},
         {DomainField::RenewalCost, std::to_string(random() % 100) + ".5"},
         {DomainField::FinalPrice, sold ? std::to_string(100 + random() % 900) : "0"},
         {DomainField::SoldOn, formatDate(addDays(kToday, -static_cast<int>(random() % 500)))}}));
  }
  add(records);

  // Counted here: unsold, expiring before the 1st of the month six months on.
  const std::string end = "2027-06-01", yearAgo = "2025-12-11", today = formatDate(kToday);
  std::map<std::pair<std::string, std::string>, std::pair<std::int64_t, double>> expected;
  std::map<std::string, double> earned;
  for (const DomainRecord& r : records) {
    const std::string& expires = r[DomainField::ExpiresOn];
    if (r.sold()) {
      if (r[DomainField::SoldOn] > yearAgo && r[DomainField::SoldOn] <= today) {
        earned[r[DomainField::Registrar]] += readNumber(r[DomainField::FinalPrice]);
      }
    } else if (expires < end) {
      auto& cell =
          expected[{expires < today ? "已过期" : expires.substr(0, 7), r[DomainField::Registrar]}];
      ++cell.first;
      cell.second += readNumber(r[DomainField::RenewalCost]);
    }
  }

  const auto forecast = runRenewalForecast(db(), {}, ForecastGroup::Registrar, kToday, 6);
  ASSERT_TRUE(forecast) << forecast.error();
  const Table table = renewalForecastTable(*forecast);
  EXPECT_EQ(table.columns[1], "注册商");
  std::size_t periodRows = 0;
  for (const auto& row : table.rows) {
    const auto& period = std::get<std::string>(row[0]);
    const auto& group = std::get<std::string>(row[1]);
    if (period == "合计") {
      if (group != "全部") {
        EXPECT_DOUBLE_EQ(std::get<double>(row[5]), roundMoney(earned[group])) << group;
      }
      continue;
    }
    ++periodRows;
    const auto want = expected[{period, group}];
    EXPECT_EQ(std::get<std::int64_t>(row[2]), want.first) << period << " " << group;
    EXPECT_DOUBLE_EQ(std::get<double>(row[3]), roundMoney(want.second)) << period << " " << group;
  }
  EXPECT_EQ(periodRows, expected.size());
  EXPECT_EQ(forecast->periods.front(), "已过期");
  EXPECT_EQ(forecast->periods.back(), "2027-05");
}

}  // namespace
}  // namespace pelmora::testing

#include <gtest/gtest.h>

#include "store/filter_criteria.h"
#include "store/listing.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

const Date kToday{year{2017}, month{3}, day{15}};

Date ymd(int y, unsigned m, unsigned d) { return Date{year{y}, month{m}, day{d}}; }

struct FragmentCase {
  std::string label;
  std::function<void(FilterCriteria&)> set;
  std::string sql;
  SqlParams params;
};

class FragmentTest : public ::testing::TestWithParam<FragmentCase> {};

TEST_P(FragmentTest, BuildsTheFragment) {
  FilterCriteria criteria;
  GetParam().set(criteria);
  const SqlCondition condition = buildWhere(criteria, kToday);
  EXPECT_EQ(condition.sql, GetParam().sql);
  EXPECT_EQ(condition.params, GetParam().params);
}

std::string S(const char* s) { return s; }

INSTANTIATE_TEST_SUITE_P(
    Criteria, FragmentTest,
    ::testing::Values(FragmentCase{"defaults", [](FilterCriteria&) {}, "", {}},
                      FragmentCase{"notGroupedAndSold",
                                   [](FilterCriteria& c) {
                                     c.registrar = "未分组";
                                     c.sold = "已出售";
                                   },
                                   "注册商=? and 出售=1",
                                   {S("-")}},
                      FragmentCase{"itemNameWithoutCount",
                                   [](FilterCriteria& c) { c.domainType = "双拼(12)"; },
                                   "域名类型=?",
                                   {S("双拼")}},
                      FragmentCase{"suffixNotGroupedIsLiteral",
                                   [](FilterCriteria& c) { c.suffix = "未分组"; },
                                   "后缀=?",
                                   {S("未分组")}},
                      FragmentCase{
                          "unsold", [](FilterCriteria& c) { c.sold = "未出售"; }, "出售=0", {}},
                      FragmentCase{"lengthOnlyThroughTo",
                                   [](FilterCriteria& c) {
                                     c.lengthFrom = "5";
                                     c.lengthTo = "";
                                   },
                                   "",
                                   {}},
                      FragmentCase{"lengthEmptyFromReadsZero",
                                   [](FilterCriteria& c) {
                                     c.lengthFrom = "";
                                     c.lengthTo = "4";
                                   },
                                   "长度 between ? and ?",
                                   {0.0, 4.0}},
                      FragmentCase{"costFromOnly",
                                   [](FilterCriteria& c) {
                                     c.oneTimeCost = {true, "10", ""};
                                   },
                                   "一次成本 >= ?",
                                   {10.0}},
                      FragmentCase{"costBetween",
                                   [](FilterCriteria& c) {
                                     c.oneTimeCost = {true, "10", "50"};
                                   },
                                   "一次成本 between ? and ?",
                                   {10.0, 50.0}},
                      FragmentCase{"toBelowOneIsNoUpperBound",
                                   [](FilterCriteria& c) {
                                     c.renewalCost = {true, "1", "0.5"};
                                   },
                                   "续费成本 >= ?",
                                   {1.0}},
                      FragmentCase{"emptyFromReadsZero",
                                   [](FilterCriteria& c) {
                                     c.profit = {true, "", "0"};
                                   },
                                   "利润 >= ?",
                                   {0.0}},
                      FragmentCase{"boundsInEitherOrder",
                                   [](FilterCriteria& c) {
                                     c.askingPrice = {true, "90", "20"};
                                   },
                                   "标价 between ? and ?",
                                   {20.0, 90.0}},
                      FragmentCase{"nameAnywhereEmptyMatchesAll",
                                   [](FilterCriteria& c) { c.nameOn = true; },
                                   "instr(域名, ?) > 0",
                                   {S("")}},
                      FragmentCase{"nameAnywhereWithLettersIgnoresTheirCase",
                                   [](FilterCriteria& c) {
                                     c.nameOn = true;
                                     c.nameText = "Ab%";
                                   },
                                   "域名 LIKE ? ESCAPE '\\'",
                                   {S("%Ab\\%%")}},
                      FragmentCase{"noteWithoutLettersIsAPlainSubstring",
                                   [](FilterCriteria& c) {
                                     c.noteOn = true;
                                     c.noteText = "议价_100%";
                                   },
                                   "instr(备注, ?) > 0",
                                   {S("议价_100%")}},
                      FragmentCase{"nameEnds",
                                   [](FilterCriteria& c) {
                                     c.nameOn = true;
                                     c.nameMode = "结束";
                                     c.nameText = "abc";
                                   },
                                   "域名 LIKE ? ESCAPE '\\'",
                                   {S("%abc.%")}},
                      FragmentCase{"nameStartsEscapingWildcards",
                                   [](FilterCriteria& c) {
                                     c.nameOn = true;
                                     c.nameMode = "开头";
                                     c.nameText = "a_b%";
                                   },
                                   "域名 LIKE ? ESCAPE '\\'",
                                   {S("a\\_b\\%%")}},
                      FragmentCase{"nameOtherModeNothing",
                                   [](FilterCriteria& c) {
                                     c.nameOn = true;
                                     c.nameMode = "其他";
                                   },
                                   "",
                                   {}},
                      FragmentCase{"expiryToday",
                                   [](FilterCriteria& c) { c.expiry = "今天"; },
                                   "到期时间 = ?",
                                   {S("2017-03-15")}},
                      FragmentCase{"expiryPast",
                                   [](FilterCriteria& c) { c.expiry = "已到期"; },
                                   "到期时间 < ?",
                                   {S("2017-03-15")}},
                      FragmentCase{"expiryThreeDays",
                                   [](FilterCriteria& c) { c.expiry = "3"; },
                                   "到期时间 between ? and ?",
                                   {S("2017-03-15"), S("2017-03-17")}},
                      FragmentCase{"expiryOneDayIsToday",
                                   [](FilterCriteria& c) { c.expiry = "1"; },
                                   "到期时间 between ? and ?",
                                   {S("2017-03-15"), S("2017-03-15")}},
                      FragmentCase{"noteWithApostrophe",
                                   [](FilterCriteria& c) {
                                     c.noteOn = true;
                                     c.noteText = "it's";
                                   },
                                   "备注 LIKE ? ESCAPE '\\'",
                                   {S("%it's%")}},
                      FragmentCase{"saleDatesReversed",
                                   [](FilterCriteria& c) {
                                     c.soldOn = {true, ymd(2020, 5, 1), ymd(2019, 1, 2)};
                                   },
                                   "出售时间 between ? and ?",
                                   {S("2019-01-02"), S("2020-05-01")}}),
    [](const auto& info) { return info.param.label; });

TEST(BuildWhere, AllTwentyCriteriaInOrder) {
  FilterCriteria c;
  c.registrar = "西数(3)";
  c.domainType = "双拼(1)";
  c.category = "精品(1)";
  c.suffix = "com(9)";
  c.sold = "未出售";
  c.lengthTo = "5";
  c.registered.on = c.expires.on = c.purchased.on = c.soldOn.on = true;
  for (MoneyRange* r : {&c.oneTimeCost, &c.renewalCost, &c.actualCost, &c.reservePrice,
                        &c.askingPrice, &c.finalPrice, &c.profit}) {
    r->on = true;
    r->to = "50";
  }
  c.nameOn = c.noteOn = true;
  c.expiry = "30";
  const std::string sql = buildWhere(c, kToday).sql;
  const std::vector<std::string> order{"注册商",
                                       "域名类型",
                                       "自定义分类",
                                       "后缀",
                                       "出售",
                                       "长度",
                                       "注册时间",
                                       "到期时间 between",
                                       "一次成本",
                                       "续费成本",
                                       "实际成本",
                                       "预售底价",
                                       "标价",
                                       "最终售价",
                                       "利润",
                                       "instr(域名",
                                       "到期时间 between",
                                       "备注",
                                       "购买时间",
                                       "出售时间"};
  std::size_t pos = 0;
  for (const std::string& column : order) {
    const std::size_t hit = sql.find(column, pos);
    ASSERT_NE(hit, std::string::npos) << column << " after " << pos << " in " << sql;
    pos = hit + column.size();
  }
  std::size_t joins = 0;
  for (std::size_t at = sql.find(" and "); at != std::string::npos;
       at = sql.find(" and ", at + 1)) {
    ++joins;
  }
  // 19 joins plus the "between ? and ?" of every range fragment.
  const std::size_t betweens = 1 + 4 + 7 + 1;
  EXPECT_EQ(joins, 19 + betweens);
}

TEST(ResetFilterCriteria, RestoresDefaultsAndKeepsDates) {
  FilterCriteria c;
  c.registrar = "西数(1)";
  c.expiry = "3";
  c.nameOn = true;
  c.nameText = "x";
  c.nameMode = "开头";
  c.profit = {true, "5", "9"};
  c.lengthFrom = "3";
  c.registered = {true, ymd(2019, 1, 1), ymd(2019, 12, 31)};
  resetFilterCriteria(c);
  EXPECT_TRUE(buildWhere(c, kToday).empty());
  EXPECT_EQ(c.nameMode, "任意");
  EXPECT_EQ(c.profit.from, "0");
  EXPECT_EQ(c.lengthFrom, "0");
  EXPECT_FALSE(c.registered.on);
  EXPECT_EQ(c.registered.from, ymd(2019, 1, 1));
  EXPECT_EQ(c.registered.to, ymd(2019, 12, 31));
}

// The conditions run against a real table select the rows a user expects.
class FilterOnData : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("abc.com", {{DomainField::Registrar, "西数"},
                                {DomainField::ExpiresOn, "2017-03-15"},
                                {DomainField::Note, "it's 100%"}}),
         makeDomain("xabc.net",
                    {{DomainField::ExpiresOn, "2017-03-17"}, {DomainField::OneTimeCost, "10"}}),
         makeDomain("abcx.org",
                    {{DomainField::ExpiresOn, "2017-03-18"}, {DomainField::OneTimeCost, "60"}}),
         makeDomain("a-c.com",
                    {{DomainField::ExpiresOn, "2017-03-01"}, {DomainField::FinalPrice, "99"}})});
    // A name the program no longer stores, as an older file may hold.
    ASSERT_TRUE(db().run("UPDATE 域名 SET 域名='a_c.com' WHERE 域名='a-c.com'"));
  }
  std::vector<std::string> names(const FilterCriteria& c) {
    const SqlCondition condition = buildWhere(c, kToday);
    std::vector<std::string> out;
    for (const auto& r : loadListing(db(), condition, {100, 1, "id"}).rows) {
      out.push_back(r[DomainField::Name]);
    }
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(FilterOnData, SelectsTheExpectedDomains) {
  using Names = std::vector<std::string>;
  FilterCriteria c;
  EXPECT_EQ(names(c).size(), 4u);

  c.nameOn = true;
  c.nameMode = "结束";
  c.nameText = "abc";
  EXPECT_EQ(names(c), (Names{"abc.com", "xabc.net"}));
  c.nameMode = "开头";
  EXPECT_EQ(names(c), (Names{"abc.com", "abcx.org"}));
  c.nameMode = "任意";
  c.nameText = "_";  // literal underscore, not "any character"
  EXPECT_EQ(names(c), (Names{"a_c.com"}));

  resetFilterCriteria(c);
  c.noteOn = true;
  c.noteText = "it's 100%";
  EXPECT_EQ(names(c), (Names{"abc.com"}));

  resetFilterCriteria(c);
  c.expiry = "3";
  EXPECT_EQ(names(c), (Names{"abc.com", "xabc.net"}));
  c.expiry = "已到期";
  EXPECT_EQ(names(c), (Names{"a_c.com"}));
  c.expiry = "今天";
  EXPECT_EQ(names(c), (Names{"abc.com"}));

  resetFilterCriteria(c);
  c.registrar = "未分组";
  EXPECT_EQ(names(c).size(), 3u);
  c.registrar = "西数(1)";
  EXPECT_EQ(names(c), (Names{"abc.com"}));

  resetFilterCriteria(c);
  c.oneTimeCost = {true, "", "50"};
  EXPECT_EQ(names(c), (Names{"a_c.com", "abc.com", "xabc.net"}));
  c.oneTimeCost = {true, "20", "0"};
  EXPECT_EQ(names(c), (Names{"abcx.org"}));

  resetFilterCriteria(c);
  c.sold = "已出售";
  EXPECT_EQ(names(c), (Names{"a_c.com"}));
}

}  // namespace
}  // namespace pelmora::testing

#include "editing/single_add.h"

#include <gtest/gtest.h>

#include "lookup/fetched_dates.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

Date day(int y, unsigned m, unsigned d) {
  return Date{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

struct ShapeCase {
  std::string typed;
  std::string domain;
  std::string suffix;
  std::string length;
};

void PrintTo(const ShapeCase& c, std::ostream* out) { *out << "[" << c.typed << "]"; }

class DomainShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(DomainShapes, NormalisedDomainGivesSuffixAndGbkLength) {
  const ShapeCase& c = GetParam();
  EXPECT_EQ(normaliseAddedDomain(c.typed), c.domain);
  const DomainShape shape = addedDomainShape(c.typed);
  EXPECT_EQ(shape.suffix, c.suffix);
  EXPECT_EQ(shape.length, c.length);
}

INSTANTIATE_TEST_SUITE_P(Typed, DomainShapes,
                         ::testing::Values(ShapeCase{"  ABC.Com ", "abc.com", "com", "3"},
                                           ShapeCase{"abc", "abc", "", "0"},
                                           ShapeCase{"", "", "", "0"},
                                           ShapeCase{"中文.CN", "中文.cn", "cn", "4"},
                                           ShapeCase{"A.Com.Cn", "a.com.cn", "com.cn", "1"},
                                           ShapeCase{"\tX1.Net\t", "x1.net", "net", "2"}));

struct AmountCase {
  std::string first;
  std::string second;
  std::string sum;
};

void PrintTo(const AmountCase& c, std::ostream* out) { *out << c.first << " + " << c.second; }

class ActualCosts : public ::testing::TestWithParam<AmountCase> {};

TEST_P(ActualCosts, SumRoundedToTwoDecimals) {
  EXPECT_EQ(addedActualCost(GetParam().first, GetParam().second), GetParam().sum);
}

INSTANTIATE_TEST_SUITE_P(Costs, ActualCosts,
                         ::testing::Values(AmountCase{"12.5", "55.25", "67.75"},
                                           AmountCase{"12.5", "", "12.5"}, AmountCase{"", "", "0"},
                                           AmountCase{"1.005", "", "1.01"},
                                           AmountCase{"-1.005", "", "-1.01"},
                                           AmountCase{"0.1", "0.2", "0.3"}));

TEST(AddedProfit, FinalPriceMinusActualCostUnrounded) {
  const AddedProfit even = addedProfit("67.75", "67.75");
  EXPECT_EQ(even.text, "0");
  EXPECT_FALSE(even.showSaleDate);
  const AddedProfit cleared = addedProfit("", "25");
  EXPECT_EQ(cleared.text, "-25");
  EXPECT_TRUE(cleared.showSaleDate);
  const AddedProfit sold = addedProfit("100.01", "25.005");
  EXPECT_EQ(sold.text, "75.005");
  EXPECT_TRUE(sold.showSaleDate);
}

SingleAddFields sampleFields() {
  SingleAddFields f;
  f.domain = "  ABC.Com ";
  f.suffix = "com";
  f.length = "3";
  f.registrar = "不选";
  f.domainType = "不选";
  f.category = "不选";
  f.registeredOn = day(2016, 12, 9);
  f.expiresOn = day(2026, 12, 9);
  f.purchasedOn = day(2017, 1, 3);
  return f;
}

TEST(SingleAddRecord, EmptyFieldsTakeTheirDefaults) {
  const DomainRecord r = singleAddRecord(sampleFields());
  EXPECT_EQ(r[DomainField::Name], "abc.com");
  EXPECT_EQ(r[DomainField::Suffix], "com");
  EXPECT_EQ(r[DomainField::Length], "3");
  for (DomainField f : {DomainField::Registrar, DomainField::DomainType, DomainField::Category}) {
    EXPECT_EQ(r[f], "-");
  }
  EXPECT_EQ(r[DomainField::RegisteredOn], "2016-12-09");
  EXPECT_EQ(r[DomainField::ExpiresOn], "2026-12-09");
  EXPECT_EQ(r[DomainField::PurchasedOn], "2017-01-03");
  for (DomainField f : {DomainField::OneTimeCost, DomainField::RenewalCost, DomainField::ActualCost,
                        DomainField::ReservePrice, DomainField::AskingPrice,
                        DomainField::FinalPrice, DomainField::Profit, DomainField::Sold}) {
    EXPECT_EQ(r[f], "0") << columnName(f);
  }
  EXPECT_EQ(r[DomainField::Note], " ");
  EXPECT_EQ(r[DomainField::SoldOn], "");
}

TEST(SingleAddRecord, ChosenItemsLoseTheirCountAndAmountsAreRounded) {
  SingleAddFields f = sampleFields();
  f.registrar = "西数(3)";
  f.domainType = "3数字(0)";
  f.category = "已挂一口价(12)";
  f.oneTimeCost = "12.345";
  f.reservePrice = "abc";
  f.finalPrice = "0.00000001";
  f.profit = "-25";
  f.note = "it's mine";
  f.soldOn = day(2017, 3, 15);
  const DomainRecord r = singleAddRecord(f);
  EXPECT_EQ(r[DomainField::Registrar], "西数");
  EXPECT_EQ(r[DomainField::DomainType], "3数字");
  EXPECT_EQ(r[DomainField::Category], "已挂一口价");
  EXPECT_EQ(r[DomainField::OneTimeCost], "12.35");
  EXPECT_EQ(r[DomainField::ReservePrice], "0");
  EXPECT_EQ(r[DomainField::FinalPrice], "0");
  EXPECT_EQ(r[DomainField::Sold], "0");  // not above 0.0000001
  EXPECT_EQ(r[DomainField::Profit], "-25");
  EXPECT_EQ(r[DomainField::Note], "it's mine");
  EXPECT_EQ(r[DomainField::SoldOn], "2017-03-15");
}

class SingleAddInsert : public DatabaseTest {
 protected:
  DomainRecord stored(const std::string& domain) {
    DomainRecord record;
    EXPECT_TRUE(db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {domain},
                           [&](const SqlRow& row) { record = readDomainRecord(row); }));
    return record;
  }
};

TEST_F(SingleAddInsert, StoresTheRowAsTypedAndReportsSuccess) {
  SingleAddFields f = sampleFields();
  f.domain = "Neil-2.Com";
  f.suffix = "com";
  f.length = "6";
  f.note = "it's 'quoted'";
  f.oneTimeCost = "12.5";
  f.renewalCost = "55.25";
  f.actualCost = "67.75";
  f.finalPrice = "67.75";
  f.profit = "0";
  const SingleAddOutcome outcome = insertSingleDomain(db(), f);
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_EQ(outcome.status, " 提示: 新增 [neil-2.com]  成功, 可以继续添加!");
  const DomainRecord r = stored("neil-2.com");
  EXPECT_EQ(r[DomainField::Name], "neil-2.com");
  EXPECT_EQ(r[DomainField::Length], "6");
  EXPECT_EQ(r[DomainField::Note], "it's 'quoted'");
  EXPECT_EQ(r[DomainField::ActualCost], "67.75");
  EXPECT_EQ(r[DomainField::Profit], "0");
  EXPECT_EQ(r[DomainField::Sold], "TRUE");
  EXPECT_EQ(r[DomainField::SoldOn], "");
  EXPECT_EQ(r[DomainField::RegisteredOn], "2016-12-09");
}

TEST_F(SingleAddInsert, RefusedRowsGiveTheFailureText) {
  ASSERT_TRUE(insertSingleDomain(db(), sampleFields()).ok);
  const std::string failed =
      " 提示: 新增 [abc.com]  失败,请检查是否域名已经存在,或字段是否填写正确!";
  // The same domain again, in other letters.
  SingleAddFields again = sampleFields();
  again.domain = "ABC.COM";
  const SingleAddOutcome duplicate = insertSingleDomain(db(), again);
  EXPECT_FALSE(duplicate.ok);
  EXPECT_EQ(duplicate.status, failed);
  EXPECT_FALSE(duplicate.error.empty());

  // A profit typed by hand that is no number.
  SingleAddFields junk = sampleFields();
  junk.domain = "junk.com";
  junk.profit = "abc";
  const SingleAddOutcome refused = insertSingleDomain(db(), junk);
  EXPECT_FALSE(refused.ok);
  EXPECT_TRUE(refused.message.empty());  // not typed: the derived profit
  EXPECT_EQ(refused.status,
            " 提示: 新增 [junk.com]  失败,请检查是否域名已经存在,或字段是否填写正确!");
  EXPECT_EQ(stored("junk.com")[DomainField::Name], "");

  SingleAddFields blank = sampleFields();
  blank.domain = "   ";
  EXPECT_FALSE(insertSingleDomain(db(), blank).ok);

  std::int64_t rows = -1;
  ASSERT_TRUE(db().query("SELECT count(*) FROM 域名", {},
                         [&](const SqlRow& row) { rows = row.integer(0); }));
  EXPECT_EQ(rows, 1);
}

struct FetchCase {
  std::string result;
  bool failed;
  std::string message;
  std::optional<Date> registered;
  std::optional<Date> expires;
};

void PrintTo(const FetchCase& c, std::ostream* out) { *out << c.result; }

class FetchResults : public ::testing::TestWithParam<FetchCase> {};

TEST_P(FetchResults, FailureMessageOrTheDatesToShow) {
  const FetchCase& c = GetParam();
  const FetchedDates fetched = readFetchedDates(c.result);
  EXPECT_EQ(fetched.failed, c.failed);
  EXPECT_EQ(fetched.message, c.message);
  EXPECT_EQ(fetched.registered, c.registered);
  EXPECT_EQ(fetched.expires, c.expires);
}

INSTANTIATE_TEST_SUITE_P(
    Results, FetchResults,
    ::testing::Values(
        FetchCase{"err", true, "获取时间失败,检查您的电脑是否联网.或域名是否正确.", {}, {}},
        FetchCase{"err2", true, "获取时间失败,请尝试重新获取.", {}, {}},
        FetchCase{"未注册", true, "您提交的域名还未注册呢!", {}, {}},
        FetchCase{"非法后缀", true, "域名后缀不正确,如果确实正确,可手动填写日期.", {}, {}},
        FetchCase{"超过查询次数", false, "", {}, {}},
        FetchCase{"2001-02-03|2031-02-03", false, "", day(2001, 2, 3), day(2031, 2, 3)},
        FetchCase{"2001-2-3\r|\r2031-02-03\r", false, "", day(2001, 2, 3), day(2031, 2, 3)},
        // One side empty or unreadable: that box keeps its date.
        FetchCase{"|2031-02-03", false, "", {}, day(2031, 2, 3)},
        FetchCase{"2001-02-03|", false, "", day(2001, 2, 3), {}},
        FetchCase{"soon|2031-02-03", false, "", {}, day(2031, 2, 3)},
        FetchCase{"2001-02-03|2031-02-03|x", false, "", {}, {}}));

TEST(FetchStatus, TextsNameTheDomain) {
  EXPECT_EQ(fetchingDatesStatus("a.com"), "提示: [ a.com] 正在获取时间,请稍后...");
  EXPECT_EQ(fetchFailedStatus("a.com"), "提示: [ a.com] 获取时间错误,可重试!");
  EXPECT_EQ(fetchDoneStatus("a.com"), "提示: [ a.com] 获取时间完毕.");
}

}  // namespace
}  // namespace pelmora::testing

#include "store/derived_fields.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

struct NameCase {
  std::string name;
  std::string suffix;
  int length;
};

class SuffixAndLength : public ::testing::TestWithParam<NameCase> {};

TEST_P(SuffixAndLength, FollowTheFirstDot) {
  EXPECT_EQ(deriveSuffix(GetParam().name), GetParam().suffix);
  EXPECT_EQ(deriveLength(GetParam().name), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Names, SuffixAndLength,
                         ::testing::Values(NameCase{"nodot", "", 0}, NameCase{"abc.com", "com", 3},
                                           NameCase{"abc.com.cn", "com.cn", 3},
                                           NameCase{"青禾.com", "com", 4},
                                           NameCase{"a青.中国", "中国", 3},
                                           NameCase{".com", "com", 0}, NameCase{"abc.", "", 3}));

struct AmountCase {
  double oneTime, renewal, finalPrice;
  DerivedAmounts expected;
};

class Amounts : public ::testing::TestWithParam<AmountCase> {};

TEST_P(Amounts, ActualCostProfitAndSold) {
  const AmountCase& c = GetParam();
  const DerivedAmounts got = deriveAmounts(c.oneTime, c.renewal, c.finalPrice);
  EXPECT_DOUBLE_EQ(got.actualCost, c.expected.actualCost);
  EXPECT_DOUBLE_EQ(got.profit, c.expected.profit);
  EXPECT_EQ(got.sold, c.expected.sold);
}

INSTANTIATE_TEST_SUITE_P(Cases, Amounts,
                         ::testing::Values(AmountCase{25, 400, 500, {425, 75, true}},
                                           AmountCase{25, 400, 0, {425, 0, false}},
                                           AmountCase{100, 0, 50, {100, -50, true}},
                                           AmountCase{1, 1, 0.00000001, {2, 0, false}},
                                           AmountCase{0, 0, -5, {0, 0, false}}));

TEST(ApplyDerivedFields, UnsoldClearsTheSaleDate) {
  DomainRecord record;
  record[DomainField::Name] = "abc.net";
  record[DomainField::OneTimeCost] = "10";
  record[DomainField::SoldOn] = "2020-01-01";
  applyDerivedFields(record);
  EXPECT_EQ(record[DomainField::Suffix], "net");
  EXPECT_EQ(record[DomainField::Length], "3");
  EXPECT_EQ(record[DomainField::ActualCost], "10");
  EXPECT_EQ(record[DomainField::Profit], "0");
  EXPECT_EQ(record[DomainField::Sold], "FALSE");
  EXPECT_EQ(record[DomainField::SoldOn], "");

  record[DomainField::FinalPrice] = "30.5";
  record[DomainField::SoldOn] = "2020-01-01";
  applyDerivedFields(record);
  EXPECT_EQ(record[DomainField::Profit], "20.5");
  EXPECT_EQ(record[DomainField::Sold], "TRUE");
  EXPECT_EQ(record[DomainField::SoldOn], "2020-01-01");
}

}  // namespace
}  // namespace pelmora

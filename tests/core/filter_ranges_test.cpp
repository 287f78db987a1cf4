#include "editing/filter_ranges.h"

#include <gtest/gtest.h>

#include "store/filter_criteria.h"
#include "store/listing.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

struct TypedRangeCase {
  std::string label;
  std::string caption;
  std::string min, max;
  RangeBox left;
  bool hasBox;
  std::optional<bool> tick;
  std::optional<RangeBox> reset;
};

class TypedRangeTest : public ::testing::TestWithParam<TypedRangeCase> {};

TEST_P(TypedRangeTest, RefusesABoxThatIsNotANumber) {
  const TypedRangeCase& c = GetParam();
  const RangeCheck check = checkRange(c.caption, c.min, c.max, c.left, c.hasBox);
  EXPECT_EQ(check.tick, c.tick);
  EXPECT_EQ(check.resetBox, c.reset);
  EXPECT_EQ(check.message, c.reset ? c.caption + "最大值,不能小于最小值!" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedRangeTest,
    ::testing::Values(TypedRangeCase{"thousandsSeparator", "预售底价", "1,000", "0",
                                     RangeBox::Minimum, true, false, RangeBox::Minimum},
                      TypedRangeCase{"unit", "一次成本", "12元", "0", RangeBox::Minimum, true,
                                     false, RangeBox::Minimum},
                      TypedRangeCase{"hexMaximum", "对外标价", "20", "0x10", RangeBox::Maximum,
                                     true, std::nullopt, RangeBox::Maximum},
                      TypedRangeCase{"lettersInTheOtherBox", "销售利润", "5", "abc",
                                     RangeBox::Minimum, true, true, RangeBox::Maximum},
                      TypedRangeCase{"lengthResetsTheBadBox", "长度", "3", "1,000",
                                     RangeBox::Maximum, false, std::nullopt, RangeBox::Maximum},
                      TypedRangeCase{"infinity", "续费成本", "inf", "0", RangeBox::Minimum, true,
                                     false, RangeBox::Minimum},
                      TypedRangeCase{"emptyBoxesAreZero", "实际成本", "", " ", RangeBox::Maximum,
                                     true, false, std::nullopt},
                      TypedRangeCase{"blanksAroundANumber", "最终售价", " 10 ", "",
                                     RangeBox::Minimum, true, true, std::nullopt},
                      TypedRangeCase{"exponentIsANumber", "预售底价", "1e3", "500",
                                     RangeBox::Maximum, true, true, RangeBox::Maximum}),
    [](const auto& info) { return info.param.label; });

struct BoundCase {
  std::string label;
  std::function<void(FilterCriteria&)> set;
  std::vector<std::string> selected;
};

class RangeBoundTest : public DatabaseTest, public ::testing::WithParamInterface<BoundCase> {};

// Reserve prices 5, 16 and 1000 on names of length 1, 2 and 4.
TEST_P(RangeBoundTest, SelectsOnlyByNumbersTheUserTyped) {
  add({makeDomain("a.com", {{DomainField::ReservePrice, "5"}}),
       makeDomain("bb.com", {{DomainField::ReservePrice, "16"}}),
       makeDomain("cccc.com", {{DomainField::ReservePrice, "1000"}})});
  FilterCriteria criteria;
  GetParam().set(criteria);
  const auto names =
      listDomainNames(db(), buildWhere(criteria, Date{year{2017}, month{3}, day{15}}));
  ASSERT_TRUE(names);
  EXPECT_EQ(*names, GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(Texts, RangeBoundTest,
                         ::testing::Values(BoundCase{"plainBounds",
                                                     [](FilterCriteria& c) {
                                                       c.reservePrice = {true, "10", "1000"};
                                                     },
                                                     {"cccc.com", "bb.com"}},
                                           BoundCase{"emptyToIsNoUpperBound",
                                                     [](FilterCriteria& c) {
                                                       c.reservePrice = {true, "6", ""};
                                                     },
                                                     {"cccc.com", "bb.com"}},
                                           BoundCase{"hexFrom",
                                                     [](FilterCriteria& c) {
                                                       c.reservePrice = {true, "0x10", ""};
                                                     },
                                                     {}},
                                           BoundCase{"separatorTo",
                                                     [](FilterCriteria& c) {
                                                       c.reservePrice = {true, "10", "2,000"};
                                                     },
                                                     {}},
                                           BoundCase{"separatorFrom",
                                                     [](FilterCriteria& c) {
                                                       c.reservePrice = {true, "1,000", ""};
                                                     },
                                                     {}},
                                           BoundCase{"unitFrom",
                                                     [](FilterCriteria& c) {
                                                       c.reservePrice = {true, "12元", "0"};
                                                     },
                                                     {}},
                                           BoundCase{"lengthHexTo",
                                                     [](FilterCriteria& c) {
                                                       c.lengthFrom = "0";
                                                       c.lengthTo = "0x10";
                                                     },
                                                     {}},
                                           BoundCase{"lengthLettersFrom",
                                                     [](FilterCriteria& c) {
                                                       c.lengthFrom = "abc";
                                                       c.lengthTo = "2";
                                                     },
                                                     {}},
                                           BoundCase{"lengthNumbers",
                                                     [](FilterCriteria& c) {
                                                       c.lengthFrom = "2";
                                                       c.lengthTo = "4";
                                                     },
                                                     {"cccc.com", "bb.com"}}),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace pelmora::testing

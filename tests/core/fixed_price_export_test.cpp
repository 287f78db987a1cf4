#include "reports/fixed_price_export.h"

#include <gtest/gtest.h>

#include <set>

#include "support/text_helpers.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

const Date kToday{year{2017}, month{3}, day{15}};

// Draws that must not happen: a fixed end hour never asks for one.
int noDraw(int, int) {
  ADD_FAILURE() << "a random hour was drawn";
  return -1;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines = splitText(text, "\r\n");
  EXPECT_EQ(lines.back(), "") << "the text ends with CR LF";
  lines.pop_back();
  return lines;
}

TEST(FixedPriceExport, CleansCommasBlanksAndLineBreaksOnly) {
  EXPECT_EQ(cleanDescription("a, b，c d"), "a；-b；c-d");
  EXPECT_EQ(cleanDescription(""), "");
  EXPECT_EQ(cleanDescription("好名；保留\t"), "好名；保留 ");
  EXPECT_EQ(cleanDescription("line1\r\nline2, x"), "line1  line2；-x");
}

struct ClampCase {
  std::string text;
  HourEdge edge;
  std::string other;
  int expected;
};
void PrintTo(const ClampCase& c, std::ostream* out) {
  *out << '"' << c.text << "\" against \"" << c.other << '"';
}

class EndHourClamping : public ::testing::TestWithParam<ClampCase> {};

TEST_P(EndHourClamping, KeepsTheRangeWithinEightToTwentyTwoInOrder) {
  const ClampCase& c = GetParam();
  EXPECT_EQ(clampEndHour(c.text, c.edge, c.other), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Edits, EndHourClamping,
                         ::testing::Values(ClampCase{"5", HourEdge::From, "22", 8},
                                           ClampCase{"23", HourEdge::To, "8", 22},
                                           ClampCase{"20", HourEdge::From, "10", 10},
                                           ClampCase{"10", HourEdge::To, "20", 20},
                                           ClampCase{"15", HourEdge::From, "22", 15},
                                           ClampCase{"abc", HourEdge::From, "22", 8},
                                           ClampCase{"", HourEdge::To, "12", 12}));

struct LineCase {
  const char* name;
  FixedPriceFormat format;
  FixedPriceChoices choices;
  std::string expected;
};
void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class FixedPriceLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(FixedPriceLines, FieldsInOrderEndedByCrLf) {
  const ExportRow row{"abc.com", 0, 1234.005, "精品, 双拼", "a, b，c d"};
  EXPECT_EQ(fixedPriceLine(GetParam().format, row, GetParam().choices, noDraw),
            GetParam().expected);
}

FixedPriceChoices choices(int description, int price, int period, int endTime) {
  FixedPriceChoices c;
  c.description = description;
  c.price = price;
  c.period = period;
  c.endTime = endTime;
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    BothFormats, FixedPriceLines,
    ::testing::Values(LineCase{"WestNoteAskingFirstHour", FixedPriceFormat::West,
                               choices(0, 0, 0, 1), "abc.com,a；-b；c-d,1234.01,0,8\r\n"},
                      LineCase{"WestCategoryEmptyReserveLastHour", FixedPriceFormat::West,
                               choices(1, 1, 16, 15), "abc.com,精品；-双拼,0,16,22\r\n"},
                      LineCase{"AimingNote", FixedPriceFormat::Aiming, choices(0, 1, 3, 0),
                               "abc.com,a；-b；c-d\r\n"},
                      LineCase{"AimingCategory", FixedPriceFormat::Aiming, choices(1, 0, 0, 0),
                               "abc.com,精品；-双拼\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FixedPriceExport, RandomHourIsDrawnPerLineWithinTheRange) {
  FixedPriceChoices c;
  c.hourFrom = 15;
  c.hourTo = 15;
  const ExportRow row{"a.com", 0, 0, "", ""};
  const HourDraw draw = randomHourDraw();
  EXPECT_EQ(fixedPriceLine(FixedPriceFormat::West, row, c, draw), "a.com,,0,0,15\r\n");

  c.hourFrom = 9;
  c.hourTo = 11;
  int calls = 0;
  const HourDraw counted = [&](int from, int to) {
    ++calls;
    EXPECT_EQ(from, 9);
    EXPECT_EQ(to, 11);
    return 10;
  };
  fixedPriceLine(FixedPriceFormat::West, row, c, counted);
  fixedPriceLine(FixedPriceFormat::West, row, c, counted);
  EXPECT_EQ(calls, 2);

  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int hour = draw(9, 11);
    ASSERT_GE(hour, 9);
    ASSERT_LE(hour, 11);
    seen.insert(hour);
  }
  EXPECT_EQ(seen, (std::set<int>{9, 10, 11}));
}

class FixedPriceExportDb : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("one.com", {{DomainField::Note, "a, b，c d"},
                                {DomainField::AskingPrice, "99.999"},
                                {DomainField::ReservePrice, "50"},
                                {DomainField::Registrar, "西数"}}),
         makeDomain("two.net", {{DomainField::Category, "精品"}}),
         makeDomain("three.org",
                    {{DomainField::Registrar, "西数"}, {DomainField::AskingPrice, "-1.005"}})});
  }
};

TEST_F(FixedPriceExportDb, NoCriteriaExportsEveryDomainInIdOrder) {
  FixedPriceText result = buildFixedPriceText(db(), buildWhere(FilterCriteria{}, kToday),
                                              FixedPriceFormat::West, choices(0, 0, 7, 15), noDraw);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(linesOf(result.text),
            (std::vector<std::string>{"one.com,a；-b；c-d,100,7,22", "two.net,,0,7,22",
                                      "three.org,,-1.01,7,22"}));

  result = buildFixedPriceText(db(), SqlCondition{}, FixedPriceFormat::Aiming, choices(1, 0, 0, 0),
                               noDraw);
  EXPECT_EQ(linesOf(result.text),
            (std::vector<std::string>{"one.com,-", "two.net,精品", "three.org,-"}));

  std::stop_source stopped;
  stopped.request_stop();
  result = buildFixedPriceText(db(), SqlCondition{}, FixedPriceFormat::Aiming, choices(1, 0, 0, 0),
                               noDraw, stopped.get_token());
  EXPECT_EQ(linesOf(result.text), std::vector<std::string>{"one.com,-"});
}

TEST_F(FixedPriceExportDb, OnlyTheFilteredDomains) {
  FilterCriteria criteria;
  criteria.registrar = "西数";
  const FixedPriceText result = buildFixedPriceText(
      db(), buildWhere(criteria, kToday), FixedPriceFormat::West, choices(0, 1, 16, 1), noDraw);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.text, "one.com,a；-b；c-d,50,16,8\r\nthree.org,,0,16,8\r\n");
}

TEST_F(FixedPriceExportDb, NoMatchIsAnEmptyTextAndAFailingQueryAnError) {
  FilterCriteria criteria;
  criteria.registrar = "爱名";
  FixedPriceText result =
      buildFixedPriceText(db(), buildWhere(criteria, kToday), FixedPriceFormat::Aiming, {}, noDraw);
  EXPECT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.text, "");

  ASSERT_TRUE(db().run("DROP TABLE 域名"));
  result = buildFixedPriceText(db(), SqlCondition{}, FixedPriceFormat::West, {}, noDraw);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("域名"), std::string::npos) << result.error;
  EXPECT_EQ(result.text, "");
}

}  // namespace
}  // namespace pelmora::testing

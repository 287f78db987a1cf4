// The purchase and sales statistics: periods, figures, rounding, the axis
// maximum and the totals, against hand-built databases.

#include "reports/statistics_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_db.h"

namespace pelmora::testing {
namespace {

Date d(const char* text) { return *parseDate(text); }

std::vector<std::string> labelsOf(const std::vector<ReportColumn>& columns) {
  std::vector<std::string> labels;
  for (const ReportColumn& column : columns) labels.push_back(column.label);
  return labels;
}

// ---- period arithmetic ----

struct StepCase {
  const char* start;
  long long steps;
  ReportUnit unit;
  const char* expected;
};

class ReportStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(ReportStep, KeepsTheDayOfMonthReducedToTheMonthsLastDay) {
  const StepCase& c = GetParam();
  EXPECT_EQ(formatDate(addReportUnits(d(c.start), c.steps, c.unit)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ReportStep,
    ::testing::Values(StepCase{"2016-01-31", 1, ReportUnit::Month, "2016-02-29"},
                      StepCase{"2017-01-31", 1, ReportUnit::Month, "2017-02-28"},
                      // Each step counts from the start, not from the reduced day.
                      StepCase{"2016-01-31", 2, ReportUnit::Month, "2016-03-31"},
                      StepCase{"2016-11-30", 3, ReportUnit::Month, "2017-02-28"},
                      StepCase{"2016-02-29", 1, ReportUnit::Year, "2017-02-28"},
                      StepCase{"2016-02-29", 4, ReportUnit::Year, "2020-02-29"},
                      StepCase{"2016-02-28", 2, ReportUnit::Day, "2016-03-01"},
                      StepCase{"2017-12-31", 1, ReportUnit::Day, "2018-01-01"}));

struct PeriodCase {
  const char* name;
  const char* start;
  const char* end;
  ReportUnit unit;
  std::vector<std::string> labels;
  std::vector<std::pair<std::string, std::string>> firstLast;  // of each column
};

void PrintTo(const PeriodCase& c, std::ostream* out) { *out << c.name; }

class ReportPeriods : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ReportPeriods, LabelsAndDays) {
  const PeriodCase& c = GetParam();
  const auto columns = reportPeriods(d(c.start), d(c.end), c.unit);
  EXPECT_EQ(labelsOf(columns), c.labels);
  std::vector<std::pair<std::string, std::string>> firstLast;
  for (const ReportColumn& column : columns) {
    firstLast.emplace_back(formatDate(column.first), formatDate(column.last));
  }
  EXPECT_EQ(firstLast, c.firstLast);
}

INSTANTIATE_TEST_SUITE_P(
    Units, ReportPeriods,
    ::testing::Values(
        PeriodCase{"MonthsFromTheThirtyFirst",
                   "2017-01-31",
                   "2017-03-01",
                   ReportUnit::Month,
                   {"2017年/1月", "2017年/2月", "2017年/3月"},
                   {{"2017-01-01", "2017-01-31"},
                    {"2017-02-01", "2017-02-28"},
                    {"2017-03-01", "2017-03-31"}}},
        PeriodCase{"MonthsOfALeapYear",
                   "2016-01-31",
                   "2016-03-01",
                   ReportUnit::Month,
                   {"2016年/1月", "2016年/2月", "2016年/3月"},
                   {{"2016-01-01", "2016-01-31"},
                    {"2016-02-01", "2016-02-29"},
                    {"2016-03-01", "2016-03-31"}}},
        PeriodCase{"MonthsOverTheNewYear",
                   "2016-12-15",
                   "2017-01-02",
                   ReportUnit::Month,
                   {"2016年/12月", "2017年/1月"},
                   {{"2016-12-01", "2016-12-31"}, {"2017-01-01", "2017-01-31"}}},
        // Only the months count: an end day before the start day in the same
        // month is still that month.
        PeriodCase{"SameMonthEndDayFirst",
                   "2017-03-20",
                   "2017-03-10",
                   ReportUnit::Month,
                   {"2017年/3月"},
                   {{"2017-03-01", "2017-03-31"}}},
        PeriodCase{"Years",
                   "2016-05-05",
                   "2017-01-01",
                   ReportUnit::Year,
                   {"2016年", "2017年"},
                   {{"2016-01-01", "2016-12-31"}, {"2017-01-01", "2017-12-31"}}},
        PeriodCase{"DaysOverTheLeapDay",
                   "2016-02-28",
                   "2016-03-01",
                   ReportUnit::Day,
                   {"2016/02/28", "2016/02/29", "2016/03/01"},
                   {{"2016-02-28", "2016-02-28"},
                    {"2016-02-29", "2016-02-29"},
                    {"2016-03-01", "2016-03-01"}}},
        PeriodCase{"OneDay",
                   "2017-03-05",
                   "2017-03-05",
                   ReportUnit::Day,
                   {"2017/03/05"},
                   {{"2017-03-05", "2017-03-05"}}},
        PeriodCase{"DaysEndBeforeStart", "2017-03-05", "2017-03-04", ReportUnit::Day, {}, {}},
        PeriodCase{"MonthsEndBeforeStart", "2017-03-05", "2017-02-28", ReportUnit::Month, {}, {}},
        PeriodCase{"YearsEndBeforeStart", "2017-01-01", "2016-12-31", ReportUnit::Year, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct LabelCase {
  const char* name;
  std::size_t periods;
  ReportUnit unit;
  double axisWidth;
  double labelWidth;
  std::vector<std::size_t> labelled;
};

void PrintTo(const LabelCase& c, std::ostream* out) { *out << c.name; }

class LabelledPeriods : public ::testing::TestWithParam<LabelCase> {};

TEST_P(LabelledPeriods, AreEveryStepThAndFitTheAxis) {
  const LabelCase& c = GetParam();
  EXPECT_EQ(labelledPeriods(c.periods, c.unit, c.axisWidth, c.labelWidth), c.labelled);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LabelledPeriods,
    ::testing::Values(
        LabelCase{"ThreeMonthsAllLabelled", 3, ReportUnit::Month, 700, 80, {0, 1, 2}},
        // Quarterly; the first and last labels would stick out.
        LabelCase{"LeapYearOfDays", 366, ReportUnit::Day, 700, 90, {91, 182, 273}},
        LabelCase{
            "EightYearsOfMonths", 96, ReportUnit::Month, 700, 80, {12, 24, 36, 48, 60, 72, 84}},
        LabelCase{"TenYearsOfDays", 3655, ReportUnit::Day, 700, 90, {730, 1460, 2190, 2920}},
        LabelCase{"ThirtyYears", 30, ReportUnit::Year, 600, 50, {5, 10, 15, 20, 25}},
        // Side by side they would fit, but not one label more than the axis holds.
        LabelCase{"AtMostTheAxisLessOneLabel", 4, ReportUnit::Day, 400, 100, {0, 2}},
        LabelCase{"NoRoom", 1, ReportUnit::Day, 50, 100, {}},
        LabelCase{"NoPeriods", 0, ReportUnit::Day, 700, 90, {}},
        LabelCase{"NoAxisYet", 12, ReportUnit::Month, 0, 80, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportUnitNames, AreTheComboItems) {
  EXPECT_EQ(reportUnitFromName("日"), ReportUnit::Day);
  EXPECT_EQ(reportUnitFromName("月"), ReportUnit::Month);
  EXPECT_EQ(reportUnitFromName("年"), ReportUnit::Year);
  EXPECT_EQ(reportUnitFromName("周"), std::nullopt);
  EXPECT_EQ(reportUnitFromName(""), std::nullopt);
}

// ---- figures ----

const std::vector<ReportSeries> kAllSeries{
    ReportSeries::BoughtCount, ReportSeries::PurchaseCost, ReportSeries::PurchaseAverage,
    ReportSeries::SoldCount,   ReportSeries::SalesAmount,  ReportSeries::SalesAverage};

using Series = std::array<double, kReportSeriesCount>;

class StatisticsReportTest : public DatabaseTest {
 protected:
  // purchased / soldOn: yyyy-MM-dd or empty; a price makes the domain sold.
  static DomainRecord trade(const std::string& name, const std::string& purchased,
                            const std::string& cost, const std::string& soldOn = "",
                            const std::string& price = "") {
    return makeDomain(name, {{DomainField::PurchasedOn, purchased},
                             {DomainField::OneTimeCost, cost},
                             {DomainField::FinalPrice, price},
                             {DomainField::SoldOn, soldOn}});
  }

  // Three months of 2017: January has three purchases and one sale (of a
  // domain bought in none of the periods), February only sales (of domains
  // bought in January and in 2016), March one purchase sold the next day.
  void addTrades() {
    add({trade("a.com", "2017-01-05", "10"),
         trade("b.com", "2017-01-20", "20.5", "2017-02-10", "100"),
         trade("f.com", "2017-01-06", "3"), trade("c.com", "2016-12-01", "5", "2017-02-15", "50"),
         trade("d.com", "2017-03-03", "7", "2017-03-04", "30"),
         trade("e.com", "", "0", "2017-01-31", "40"),
         // Sold long before the range, bought within it.
         trade("h.com", "2017-03-10", "1", "2015-06-01", "500")});
  }

  StatisticsReport run(const char* start, const char* end, ReportUnit unit,
                       const std::vector<ReportSeries>& shown = kAllSeries) {
    return runStatisticsReport(db(), d(start), d(end), unit, shown);
  }
};

TEST_F(StatisticsReportTest, MonthsCountSalesByTheirOwnDateEvenWithoutPurchases) {
  addTrades();
  const StatisticsReport report = run("2017-01-31", "2017-03-01", ReportUnit::Month);
  ASSERT_TRUE(report.ok()) << report.error;
  ASSERT_EQ(labelsOf(report.columns),
            (std::vector<std::string>{"2017年/1月", "2017年/2月", "2017年/3月"}));
  // 购买数量, 购买成本, 购买均价, 销售数量, 销售金额, 销售均价
  EXPECT_EQ(report.columns[0].figures.series, (Series{3, 33.5, 11.17, 1, 40, 40}));
  EXPECT_EQ(report.columns[1].figures.series, (Series{0, 0, 0, 2, 150, 75}));
  EXPECT_EQ(report.columns[2].figures.series, (Series{2, 8, 4, 1, 30, 30}));
  EXPECT_DOUBLE_EQ(report.columns[0].figures.profit, 6.5);
  EXPECT_DOUBLE_EQ(report.columns[1].figures.profit, 150);
  EXPECT_DOUBLE_EQ(report.columns[2].figures.profit, 22);

  EXPECT_EQ(formatDate(report.rangeFirst), "2017-01-01");
  EXPECT_EQ(formatDate(report.rangeLast), "2017-03-31");
  EXPECT_EQ(report.totals.series, (Series{5, 41.5, 8.3, 4, 220, 55}));
  EXPECT_DOUBLE_EQ(report.totals.profit, 178.5);
}

TEST_F(StatisticsReportTest, DaysAndYears) {
  addTrades();
  StatisticsReport report = run("2017-01-30", "2017-02-01", ReportUnit::Day);
  ASSERT_TRUE(report.ok()) << report.error;
  ASSERT_EQ(labelsOf(report.columns),
            (std::vector<std::string>{"2017/01/30", "2017/01/31", "2017/02/01"}));
  EXPECT_EQ(report.columns[0].figures.series, (Series{}));
  EXPECT_EQ(report.columns[1].figures.series, (Series{0, 0, 0, 1, 40, 40}));
  EXPECT_EQ(report.columns[2].figures.series, (Series{}));
  EXPECT_EQ(report.totals.series, (Series{0, 0, 0, 1, 40, 40}));
  EXPECT_DOUBLE_EQ(report.totals.profit, 40);

  report = run("2016-06-30", "2017-01-01", ReportUnit::Year);
  ASSERT_TRUE(report.ok()) << report.error;
  ASSERT_EQ(labelsOf(report.columns), (std::vector<std::string>{"2016年", "2017年"}));
  EXPECT_EQ(formatDate(report.rangeFirst), "2016-01-01");
  EXPECT_EQ(formatDate(report.rangeLast), "2017-12-31");
  EXPECT_EQ(report.columns[0].figures.series, (Series{1, 5, 5, 0, 0, 0}));
  EXPECT_EQ(report.columns[1].figures.series, (Series{5, 41.5, 8.3, 4, 220, 55}));
  EXPECT_EQ(report.totals.series, (Series{6, 46.5, 7.75, 4, 220, 55}));
}

// A range holding few of the rows is read through the date indexes, a wide
// one by scanning the table; both give the same figures.
TEST_F(StatisticsReportTest, NarrowAndWideRangesGiveTheSameFigures) {
  addTrades();
  std::vector<DomainRecord> older;
  for (int i = 0; i < 300; ++i) {
    older.push_back(
        trade("old" + std::to_string(i) + ".com", "2010-01-01", "1", "2010-02-01", "2"));
  }
  add(older);
  const StatisticsReport narrow = run("2017-01-31", "2017-03-01", ReportUnit::Month);
  ASSERT_TRUE(narrow.ok()) << narrow.error;
  ASSERT_EQ(narrow.columns.size(), 3u);
  EXPECT_EQ(narrow.columns[0].figures.series, (Series{3, 33.5, 11.17, 1, 40, 40}));
  EXPECT_EQ(narrow.columns[1].figures.series, (Series{0, 0, 0, 2, 150, 75}));
  EXPECT_EQ(narrow.columns[2].figures.series, (Series{2, 8, 4, 1, 30, 30}));
  EXPECT_EQ(narrow.totals.series, (Series{5, 41.5, 8.3, 4, 220, 55}));

  const StatisticsReport wide = run("2010-01-01", "2017-12-31", ReportUnit::Year);
  ASSERT_TRUE(wide.ok()) << wide.error;
  ASSERT_EQ(wide.columns.size(), 8u);
  EXPECT_EQ(wide.columns[0].figures.series, (Series{300, 300, 1, 300, 600, 2}));
  // h.com, sold in 2015 and bought in 2017.
  EXPECT_EQ(wide.columns[5].figures.series, (Series{0, 0, 0, 1, 500, 500}));
  EXPECT_EQ(wide.columns[7].figures.series, (Series{5, 41.5, 8.3, 4, 220, 55}));
  EXPECT_EQ(wide.totals.series, (Series{306, 346.5, 1.13, 305, 1320, 4.33}));

  // Purchases wide, sales narrow (none): each side read its own way.
  const StatisticsReport mixed = run("2010-01-01", "2010-01-31", ReportUnit::Month);
  ASSERT_TRUE(mixed.ok()) << mixed.error;
  EXPECT_EQ(mixed.totals.series, (Series{300, 300, 1, 0, 0, 0}));
}

TEST_F(StatisticsReportTest, OnlySoldDomainsCountAsSales) {
  addTrades();
  // A sale date left on a domain that is no longer marked sold.
  ASSERT_TRUE(db().run("UPDATE 域名 SET 出售=0 WHERE 域名='b.com'"));
  const StatisticsReport report = run("2017-02-01", "2017-02-28", ReportUnit::Month);
  ASSERT_TRUE(report.ok()) << report.error;
  EXPECT_EQ(report.totals.series, (Series{0, 0, 0, 1, 50, 50}));
}

TEST_F(StatisticsReportTest, ARangeTypedBackwardsIsTheDaysBetweenItsDates) {
  addTrades();
  const StatisticsReport backwards = run("2017-03-31", "2017-01-01", ReportUnit::Day);
  const StatisticsReport forwards = run("2017-01-01", "2017-03-31", ReportUnit::Day);
  ASSERT_TRUE(backwards.ok()) << backwards.error;
  EXPECT_EQ(backwards.columns.size(), 90u);
  EXPECT_EQ(backwards.totals.series, forwards.totals.series);
  EXPECT_NE(backwards.totals.series, (Series{}));
  EXPECT_EQ(backwards.axisMaximum, forwards.axisMaximum);
}

TEST_F(StatisticsReportTest, CostsWithoutValueAreLeftOutOfSumAndAverage) {
  add({trade("a.com", "2017-05-01", "4"), trade("b.com", "2017-05-02", "0")});
  ASSERT_TRUE(db().run("UPDATE 域名 SET 实际成本=NULL WHERE 域名='b.com'"));
  const StatisticsReport report = run("2017-05-01", "2017-05-31", ReportUnit::Month);
  ASSERT_TRUE(report.ok()) << report.error;
  EXPECT_EQ(report.totals.series, (Series{2, 4, 4, 0, 0, 0}));
}

TEST_F(StatisticsReportTest, ValuesAreRoundedHalfAwayFromZero) {
  add({trade("a.com", "2017-05-01", "0", "2017-05-01", "1"),
       trade("b.com", "2017-05-01", "0", "2017-05-01", "1"),
       trade("c.com", "2017-05-01", "0", "2017-05-01", "1")});
  // 2.675 is stored just below itself; the rounding still gives 2.68.
  ASSERT_TRUE(db().run("UPDATE 域名 SET 实际成本=2.675 WHERE 域名='a.com'"));
  ASSERT_TRUE(db().run("UPDATE 域名 SET 最终售价=1.005 WHERE 域名='a.com'"));
  const StatisticsReport report = run("2017-05-01", "2017-05-01", ReportUnit::Day);
  ASSERT_TRUE(report.ok()) << report.error;
  ASSERT_EQ(report.columns.size(), 1u);
  // Cost 2.675 -> 2.68, average 2.675 / 3 = 0.89166 -> 0.89; sales 3.005 ->
  // 3.01, average 1.001666 -> 1, profit 0.33 (0.33 exactly: 3.005 - 2.675).
  EXPECT_EQ(report.columns[0].figures.series, (Series{3, 2.68, 0.89, 3, 3.01, 1}));
  EXPECT_DOUBLE_EQ(report.columns[0].figures.profit, 0.33);
  EXPECT_EQ(report.totals.series, report.columns[0].figures.series);
}

struct AxisCase {
  const char* name;
  std::vector<ReportSeries> shown;
  double maximum;
};

void PrintTo(const AxisCase& c, std::ostream* out) { *out << c.name; }

class ReportAxis : public StatisticsReportTest, public ::testing::WithParamInterface<AxisCase> {};

// The month report of addTrades: 购买成本 33.5 / 0 / 8, 销售均价 40 / 75 / 30,
// counts at most 3, 购买均价 11.17 / 0 / 4.
TEST_P(ReportAxis, IsTheLargestIntegerPartOfTheShownValuesPlusOne) {
  addTrades();
  const AxisCase& c = GetParam();
  const StatisticsReport report = run("2017-01-01", "2017-03-31", ReportUnit::Month, c.shown);
  ASSERT_TRUE(report.ok()) << report.error;
  EXPECT_EQ(report.axisMaximum, c.maximum);
}

INSTANTIATE_TEST_SUITE_P(
    Series, ReportAxis,
    ::testing::Values(AxisCase{"Counts", {ReportSeries::BoughtCount, ReportSeries::SoldCount}, 4},
                      AxisCase{"Cost", {ReportSeries::PurchaseCost}, 34},
                      AxisCase{
                          "AverageSalePriceFromASecondPeriod", {ReportSeries::SalesAverage}, 76},
                      AxisCase{"AveragePurchaseCost", {ReportSeries::PurchaseAverage}, 12},
                      AxisCase{"EverySeries",
                               {ReportSeries::BoughtCount, ReportSeries::PurchaseCost,
                                ReportSeries::PurchaseAverage, ReportSeries::SoldCount,
                                ReportSeries::SalesAmount, ReportSeries::SalesAverage},
                               151},
                      AxisCase{"NoSeries", {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatisticsReportTest, ValuesBelowOneLeaveTheAxisMaximumAtZero) {
  add({trade("a.com", "2017-05-01", "0.99")});
  const StatisticsReport report =
      run("2017-05-01", "2017-05-31", ReportUnit::Month, {ReportSeries::PurchaseCost});
  ASSERT_TRUE(report.ok()) << report.error;
  EXPECT_EQ(report.axisMaximum, 0);
}

TEST_F(StatisticsReportTest, TotalTextsCarryTheirUnitWords) {
  addTrades();
  const StatisticsReport report = run("2017-01-01", "2017-03-31", ReportUnit::Month);
  ASSERT_TRUE(report.ok()) << report.error;
  EXPECT_EQ(reportTotalTexts(report.totals),
            (std::array<std::string, 7>{" 5 个", " 41.5 元", " 8.3 元", " 4 个", " 220 元",
                                        " 55 元", " 178.5 元"}));
  EXPECT_EQ(
      reportTotalTexts(ReportFigures{}),
      (std::array<std::string, 7>{" 0 个", " 0 元", " 0 元", " 0 个", " 0 元", " 0 元", " 0 元"}));
}

TEST_F(StatisticsReportTest, AFailedQueryIsAnErrorNotZeroes) {
  addTrades();
  ASSERT_TRUE(db().run("DROP TABLE 域名"));
  const StatisticsReport report = run("2017-01-01", "2017-03-31", ReportUnit::Month);
  EXPECT_FALSE(report.ok());
  EXPECT_TRUE(report.columns.empty());
}

}  // namespace
}  // namespace pelmora::testing

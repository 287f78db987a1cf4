#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "cli/expiring_command.h"
#include "editing/filter_ranges.h"
#include "reports/expiry_reminder.h"
#include "store/expiry_counts.h"
#include "support/program_texts.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

const Date kToday{year{2017}, month{3}, day{15}};

class ExpiryCountsTest : public DatabaseTest {
 protected:
  void addExpiring(const std::string& name, int daysFromToday) {
    add({makeDomain(name, {{DomainField::ExpiresOn, formatDate(addDays(kToday, daysFromToday))}})});
  }
};

TEST_F(ExpiryCountsTest, EachWindowCountsTodayThroughItsLastDay) {
  addExpiring("past.com", -1);
  addExpiring("today.com", 0);
  addExpiring("tomorrow.com", 1);
  addExpiring("in4.com", 4);
  addExpiring("in29.com", 29);
  addExpiring("in30.com", 30);
  add({makeDomain("nodate.com")});
  EXPECT_EQ(countExpiring(db(), kToday), (ExpiryCounts{1, 1, 2, 3, 3, 4}));
}

TEST_F(ExpiryCountsTest, TheStoreCountsAnyRangesBothDaysIncluded) {
  addExpiring("past.com", -3);
  addExpiring("today.com", 0);
  addExpiring("in7.com", 7);
  addExpiring("in8.com", 8);
  add({makeDomain("nodate.com")});
  const std::vector<ExpiryDateRange> ranges{{addDays(kToday, 7), addDays(kToday, 8)},
                                            {addDays(kToday, -3), addDays(kToday, -3)},
                                            {addDays(kToday, 8), addDays(kToday, 7)},
                                            {addDays(kToday, 1), addDays(kToday, 6)}};
  const auto tally = countByExpiryDate(db(), kToday, ranges);
  ASSERT_TRUE(tally) << tally.error();
  EXPECT_EQ(tally->before, 1);
  EXPECT_EQ(tally->inRanges, (std::vector<std::int64_t>{2, 1, 0, 0}));
  EXPECT_EQ(countByExpiryDate(db(), addDays(kToday, 8), {})->before, 3);
}

TEST_F(ExpiryCountsTest, CliPrintsTheSixCaptions) {
  addExpiring("past1.com", -10);
  addExpiring("past2.com", -1);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(cli::runExpiring(db(), Clock::fixed(kToday), out, err), 0);
  EXPECT_EQ(out.str(),
            "[ 2 ] 显示 已到期\n[ 无 ] 显示 今天到期\n[ 无 ] 显示 3日内到期\n"
            "[ 无 ] 显示 5日内到期\n[ 无 ] 显示 10日内到期\n[ 无 ] 显示 30日内到期\n");
}

TEST_F(ExpiryCountsTest, AFailingCountIsAnErrorNotZero) {
  addExpiring("past.com", -1);
  ASSERT_TRUE(db().run("ALTER TABLE 域名 RENAME COLUMN 到期时间 TO 旧到期时间"));
  std::string error;
  EXPECT_FALSE(countExpiring(db(), kToday, &error));
  EXPECT_NE(error.find("到期时间"), std::string::npos) << error;
  const auto tally = countByExpiryDate(db(), kToday, {{kToday, kToday}});
  EXPECT_FALSE(tally);
  EXPECT_NE(tally.error().find("到期时间"), std::string::npos) << tally.error();
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(cli::runExpiring(db(), Clock::fixed(kToday), out, err), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(err.str().empty());
}

TEST(ReminderItemCaption, OnePrefixWhateverCameBefore) {
  EXPECT_EQ(reminderItemCaption("显示 已到期", 3), "[ 3 ] 显示 已到期");
  EXPECT_EQ(reminderItemCaption("[ 3 ] 显示 已到期", 0), "[ 无 ] 显示 已到期");
  EXPECT_EQ(reminderItemCaption("[ 无 ] 显示 已到期", 12), "[ 12 ] 显示 已到期");
  EXPECT_EQ(reminderItemCaption(reminderItemCaption("显示 今天到期", 1), 1), "[ 1 ] 显示 今天到期");
}

struct PeriodCase {
  std::string value;
  bool on;
  int periodMs;
};

class ExpiryCheckSettingTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ExpiryCheckSettingTest, ParsesFlagAndPeriod) {
  const ExpiryCheckSetting setting = parseExpiryCheck(GetParam().value);
  EXPECT_EQ(setting.on, GetParam().on);
  EXPECT_EQ(setting.periodMs, GetParam().periodMs);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ExpiryCheckSettingTest,
    ::testing::Values(PeriodCase{"1|30|0", true, 1'800'000}, PeriodCase{"0|30|0", false, 0},
                      PeriodCase{"1|2|2", true, 172'800'000}, PeriodCase{"1|5|1", true, 18'000'000},
                      PeriodCase{"1|0|1", true, 0}, PeriodCase{"1|abc|0", true, 0},
                      PeriodCase{"1|5|7", true, 0}, PeriodCase{"", false, 0},
                      PeriodCase{"1|30", false, 0}, PeriodCase{"1|30|0|x", false, 0},
                      // 25 days and more do not fit a timer: clamped, never wrapped.
                      PeriodCase{"1|25|2", true, INT_MAX}, PeriodCase{"1|99999|2", true, INT_MAX},
                      PeriodCase{"1|-5|0", true, 0}));

struct RangeCase {
  std::string label;
  std::string min, max;
  RangeBox left;
  bool hasBox;
  std::optional<bool> tick;
  std::optional<RangeBox> reset;
};

class RangeCheckTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeCheckTest, TicksAndResets) {
  const RangeCase& c = GetParam();
  const RangeCheck check = checkRange("预售底价", c.min, c.max, c.left, c.hasBox);
  EXPECT_EQ(check.tick, c.tick);
  EXPECT_EQ(check.resetBox, c.reset);
  EXPECT_EQ(check.message, c.reset ? "预售底价最大值,不能小于最小值!" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RangeCheckTest,
    ::testing::Values(
        RangeCase{"maxBelowMin", "10", "5", RangeBox::Maximum, true, true, RangeBox::Maximum},
        RangeCase{"minWithoutMax", "10", "0", RangeBox::Minimum, true, true, std::nullopt},
        RangeCase{"bothZero", "0", "0", RangeBox::Maximum, true, false, std::nullopt},
        RangeCase{"negativeMin", "-5", "0", RangeBox::Minimum, true, std::nullopt, std::nullopt},
        RangeCase{"decimalsTruncate", "12.9", "12.1", RangeBox::Maximum, true, true, std::nullopt},
        RangeCase{"leftMinConflict", "8", "3", RangeBox::Minimum, true, true, RangeBox::Minimum},
        RangeCase{"lengthResetsMin", "8", "3", RangeBox::Maximum, false, std::nullopt,
                  RangeBox::Minimum},
        RangeCase{"notNumbers", "abc", "x", RangeBox::Minimum, true, false, RangeBox::Minimum}),
    [](const auto& info) { return info.param.label; });

TEST(ProgramTexts, TitleAndTrayTipWithAndWithoutCustomPart) {
  ::unsetenv("PELMORA_SITE_HOST");
  EXPECT_EQ(mainWindowTitle("abc"), "[ abc ]青禾名簿(Pelmora) Ver:2.4   [官网:www.pelmora.net]");
  EXPECT_EQ(mainWindowTitle(""), "青禾名簿(Pelmora) Ver:2.4   [官网:www.pelmora.net]");
  EXPECT_EQ(trayTip("abc"), "[ abc ]青禾名簿(Pelmora)");
  EXPECT_EQ(trayTip(""), "青禾名簿(Pelmora)");
}

}  // namespace
}  // namespace pelmora::testing

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "cli/command_line.h"
#include "cli/expiring_command.h"
#include "cli_runner.h"
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
  // `pelmora-cli expiring ARGS` on this database and `today`: the exit code and the output.
  std::pair<int, std::string> expiring(std::vector<std::string> args, const Date& today = kToday) {
    args.insert(args.begin(), "expiring");
    std::ostringstream out;
    std::ostringstream err;
    const int code = cli::runCommandLine(args, Clock::fixed(today), out, err, &db());
    return {code, out.str() + err.str()};
  }
};

constexpr const char* kDomainsHeader = "提醒\t域名\t到期时间\t剩余天数\t注册商\n";

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

TEST_F(ExpiryCountsTest, EachDomainOnceUnderTheTightestCountThatHoldsIt) {
  for (const int days : {-40, -1, 0, 2, 3, 4, 9, 29, 30}) {
    addExpiring("d" + std::to_string(days) + ".com", days);
  }
  add({makeDomain("nodate.com")});
  EXPECT_EQ(
      expiring({"--domains"}),
      std::pair(
          0, std::string(kDomainsHeader) +
                 "已到期\td-40.com\t2017-02-03\t-40\t-\n已到期\td-1.com\t2017-03-14\t-1\t-\n"
                 "今天到期\td0.com\t2017-03-15\t0\t-\n3日内到期\td2.com\t2017-03-17\t2\t-\n"
                 "5日内到期\td3.com\t2017-03-18\t3\t-\n5日内到期\td4.com\t2017-03-19\t4\t-\n"
                 "10日内到期\td9.com\t2017-03-24\t9\t-\n30日内到期\td29.com\t2017-04-13\t29\t-\n"));
  // The counts are cumulative after 已到期: each holds its rows and those of the tighter ones.
  EXPECT_EQ(countExpiring(db(), kToday), (ExpiryCounts{2, 1, 2, 4, 5, 6}));
}

TEST_F(ExpiryCountsTest, DomainsAsCsvAndJson) {
  add({makeDomain("ab.com",
                  {{DomainField::ExpiresOn, "2017-03-10"}, {DomainField::Registrar, "西数"}}),
       makeDomain("c.com",
                  {{DomainField::ExpiresOn, "2017-03-16"}, {DomainField::Registrar, "爱名"}})});
  ASSERT_TRUE(db().run("UPDATE 域名 SET 注册商=NULL WHERE 域名='c.com'"));
  EXPECT_EQ(expiring({"--domains", "--format", "csv"}).second,
            "提醒,域名,到期时间,剩余天数,注册商\r\n已到期,ab.com,2017-03-10,-5,西数\r\n"
            "3日内到期,c.com,2017-03-16,1,\r\n");
  EXPECT_EQ(expiring({"--domains", "--format", "json"}).second, R"([
  {
    "提醒": "已到期",
    "域名": "ab.com",
    "到期时间": "2017-03-10",
    "剩余天数": -5,
    "注册商": "西数"
  },
  {
    "提醒": "3日内到期",
    "域名": "c.com",
    "到期时间": "2017-03-16",
    "剩余天数": 1,
    "注册商": null
  }
]
)");
}

TEST_F(ExpiryCountsTest, NewListsEachReminderOnceUntilTheDomainIsRenewed) {
  addExpiring("soon.com", 3);
  addExpiring("late.com", 20);
  const std::string both =
      std::string(kDomainsHeader) +
      "5日内到期\tsoon.com\t2017-03-18\t3\t-\n30日内到期\tlate.com\t2017-04-04\t20\t-\n";
  // Output that was lost marks nothing.
  std::ostream lost(nullptr);
  std::ostringstream err;
  EXPECT_EQ(cli::runCommandLine({"expiring", "--domains", "--new"}, Clock::fixed(kToday), lost, err,
                                &db()),
            2);
  EXPECT_EQ(expiring({"--domains", "--new"}), std::pair(0, both));
  EXPECT_EQ(expiring({"--domains", "--new"}), std::pair(0, std::string()));
  EXPECT_EQ(expiring({"--domains"}), std::pair(0, both));
  // A tighter reminder is new; so is the old one after the domain was renewed.
  EXPECT_EQ(expiring({"--domains", "--new"}, addDays(kToday, 1)).second,
            std::string(kDomainsHeader) + "3日内到期\tsoon.com\t2017-03-18\t2\t-\n");
  ASSERT_TRUE(db().run("UPDATE 域名 SET 到期时间='2017-04-05' WHERE 域名='late.com'"));
  ASSERT_TRUE(db().run("UPDATE 域名 SET 到期时间='2018-03-18' WHERE 域名='soon.com'"));
  EXPECT_EQ(expiring({"--domains", "--new"}).second,
            std::string(kDomainsHeader) + "30日内到期\tlate.com\t2017-04-05\t21\t-\n");
  EXPECT_EQ(expiring({"--domains", "--new", "--format", "json"}).second, "[]\n");
  // Reminders of a renewed domain are dropped, not kept for ever.
  EXPECT_EQ(db().count("SELECT count(*) FROM 已提醒 WHERE 来源='cli'", {}, nullptr), 1);
}

TEST_F(ExpiryCountsTest, TheProgramOpensTheFileForWritingWithNew) {
  addExpiring("soon.com", 3);
  const std::string args = "--db " + dbPath().string() + " expiring --domains";
  const std::string today = "PELMORA_TODAY=2017-03-15 ";
  EXPECT_EQ(runProgramAs(today, PELMORA_CLI_PATH, args + " --new").second,
            std::string(kDomainsHeader) + "5日内到期\tsoon.com\t2017-03-18\t3\t-\n");
  EXPECT_EQ(runProgramAs(today, PELMORA_CLI_PATH, args + " --new"), std::pair(0, std::string()));
  EXPECT_EQ(runProgramAs(today, PELMORA_CLI_PATH, "expiring --new").first, 2);
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

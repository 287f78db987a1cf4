#include "store/program_settings.h"

#include <gtest/gtest.h>

#include <climits>

#include "test_db.h"

namespace pelmora::testing {
namespace {

class ProgramSettingsTest : public DatabaseTest {
 protected:
  std::string stored(std::string_view key) {
    const auto value = db().scalar("SELECT 值 FROM 设置 WHERE 属性=?", {std::string(key)});
    if (!value) return "<no row>";
    const auto* text = std::get_if<std::string>(&*value);
    return text != nullptr ? *text : "<not text>";
  }
  void storeText(std::string_view key, const std::string& text) {
    ASSERT_TRUE(SettingsStore(db()).write(key, text));
  }
};

TEST_F(ProgramSettingsTest, AFreshFileReadsTheDefaults) {
  const auto settings = readProgramSettings(db());
  ASSERT_TRUE(settings) << settings.error();
  EXPECT_EQ(*settings, ProgramSettings{});
  EXPECT_EQ(settings->pageSize, 100);
  EXPECT_FALSE(settings->expiryCheck.on);
  EXPECT_FALSE(settings->closeToTray);
}

TEST_F(ProgramSettingsTest, AllFourRoundTripInTheirTextForms) {
  ProgramSettings settings;
  settings.customTitle = "Tom's 域名";
  settings.expiryCheck = {true, 25, ExpiryCheckUnit::Hours};
  settings.closeToTray = true;
  settings.pageSize = 37;
  ASSERT_TRUE(writeProgramSettings(db(), settings));
  EXPECT_EQ(stored(kSettingCustomTitle), "Tom's 域名");
  EXPECT_EQ(stored(kSettingExpiryCheck), "1|25|1");
  EXPECT_EQ(stored(kSettingCloseToTray), "1");
  EXPECT_EQ(stored(kSettingPageSize), "37");
  EXPECT_EQ(readProgramSettings(db()), settings);

  settings.expiryCheck = {false, 30, ExpiryCheckUnit::Days};
  settings.closeToTray = false;
  settings.customTitle.clear();
  ASSERT_TRUE(writeProgramSettings(db(), settings));
  EXPECT_EQ(stored(kSettingExpiryCheck), "0|30|2");
  EXPECT_EQ(stored(kSettingCloseToTray), "0");
  EXPECT_EQ(stored(kSettingCustomTitle), "");
  EXPECT_EQ(readProgramSettings(db()), settings);
}

TEST_F(ProgramSettingsTest, OddValuesAreWrittenAsAReadWouldTakeThem) {
  ProgramSettings settings;
  settings.pageSize = -4;
  settings.expiryCheck = {true, -5, ExpiryCheckUnit::Days};
  ASSERT_TRUE(writeProgramSettings(db(), settings));
  EXPECT_EQ(stored(kSettingPageSize), "100");
  EXPECT_EQ(stored(kSettingExpiryCheck), "1|0|2");

  settings.expiryCheck = {true, 5, static_cast<ExpiryCheckUnit>(7)};
  ASSERT_TRUE(writeProgramSettings(db(), settings));
  EXPECT_EQ(stored(kSettingExpiryCheck), "1|0|0");
  const auto back = readProgramSettings(db());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->expiryCheck, (ExpiryCheck{true, 0, ExpiryCheckUnit::Minutes}));
}

struct StoredCase {
  std::string pageSize, expiryCheck, closeToTray;
  int readPageSize;
  ExpiryCheck readCheck;
  bool readCloseToTray;
  int periodMs;
};

class StoredTexts : public ProgramSettingsTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredTexts, AreReadValidated) {
  const StoredCase& c = GetParam();
  storeText(kSettingPageSize, c.pageSize);
  storeText(kSettingExpiryCheck, c.expiryCheck);
  storeText(kSettingCloseToTray, c.closeToTray);
  const auto settings = readProgramSettings(db());
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->pageSize, c.readPageSize);
  EXPECT_EQ(settings->expiryCheck, c.readCheck);
  EXPECT_EQ(settings->closeToTray, c.readCloseToTray);
  EXPECT_EQ(expiryCheckPeriodMs(settings->expiryCheck), c.periodMs);
}

constexpr auto kMinutes = ExpiryCheckUnit::Minutes;
constexpr auto kHours = ExpiryCheckUnit::Hours;
constexpr auto kDays = ExpiryCheckUnit::Days;

INSTANTIATE_TEST_SUITE_P(
    Values, StoredTexts,
    ::testing::Values(StoredCase{"50", "1|30|0", "1", 50, {true, 30, kMinutes}, true, 1'800'000},
                      StoredCase{"", "", "", 100, {}, false, 0},
                      StoredCase{"0", "0|30|0", "0", 100, {false, 30, kMinutes}, false, 0},
                      StoredCase{"-5", "1|5|1", "yes", 100, {true, 5, kHours}, false, 18'000'000},
                      StoredCase{"abc", "1|abc|0", "TRUE", 100, {true, 0, kMinutes}, false, 0},
                      StoredCase{"20abc", "1|5|7", "2", 20, {true, 0, kMinutes}, false, 0},
                      StoredCase{"12.7", "1|-5|0", " 1", 12, {true, 0, kMinutes}, false, 0},
                      StoredCase{"7", "1|30", "1", 7, {}, true, 0},
                      StoredCase{"7", "1|30|0|x", "1", 7, {}, true, 0},
                      StoredCase{"7", "2|30|2", "1", 7, {false, 30, kDays}, true, 0},
                      // 25 days and more do not fit a timer: clamped, never wrapped.
                      StoredCase{"7", "1|25|2", "1", 7, {true, 25, kDays}, true, INT_MAX},
                      StoredCase{"7", "1|99999|2", "1", 7, {true, 99999, kDays}, true, INT_MAX}));

TEST_F(ProgramSettingsTest, AKeyWithoutItsRowFailsTheWholeWrite) {
  storeText(kSettingPageSize, "20");
  storeText(kSettingCustomTitle, "旧标题");
  storeText(kSettingExpiryCheck, "0|30|0");
  ASSERT_TRUE(db().run("DELETE FROM 设置 WHERE 属性=?", {std::string(kSettingCloseToTray)}));
  ProgramSettings settings;
  settings.customTitle = "新标题";
  settings.expiryCheck = {true, 1, kHours};
  settings.closeToTray = true;
  settings.pageSize = 80;
  const auto written = writeProgramSettings(db(), settings);
  EXPECT_FALSE(written);
  EXPECT_NE(written.error().find(std::string(kSettingCloseToTray)), std::string::npos)
      << written.error();
  // The keys written before the missing one are rolled back.
  EXPECT_EQ(stored(kSettingPageSize), "20");
  EXPECT_EQ(stored(kSettingExpiryCheck), "0|30|0");
  EXPECT_EQ(stored(kSettingCustomTitle), "旧标题");
  EXPECT_EQ(stored(kSettingCloseToTray), "<no row>");
  // The missing row reads as its default.
  const auto back = readProgramSettings(db());
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->closeToTray);
  EXPECT_EQ(back->pageSize, 20);
}

TEST_F(ProgramSettingsTest, AnUnreadableTableIsAnErrorNotTheDefaults) {
  storeText(kSettingPageSize, "20");
  ASSERT_TRUE(db().run("ALTER TABLE 设置 RENAME COLUMN 值 TO 旧值"));
  const auto read = readProgramSettings(db());
  EXPECT_FALSE(read);
  EXPECT_NE(read.error().find("值"), std::string::npos) << read.error();
  const auto written = writeProgramSettings(db(), ProgramSettings{});
  EXPECT_FALSE(written);
  EXPECT_FALSE(written.error().empty());
}

TEST(ExpiryCheckText, WritesTheFormItReads) {
  for (const char* text : {"1|30|0", "0|30|0", "1|2|2", "1|5|1", "0|0|0", "1|99999|2"}) {
    EXPECT_EQ(expiryCheckText(parseExpiryCheckText(text)), text);
  }
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

struct PeriodCase {
  std::string text;
  ExpiryCheckUnit unit;
  ExpiryPeriodCheck check;
};

void PrintTo(const PeriodCase& c, std::ostream* os) {
  *os << "\"" << c.text << "\" unit " << static_cast<int>(c.unit);
}

class ExpiryPeriodRuleTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ExpiryPeriodRuleTest, TypedPeriodsAreCheckedBeforeSaving) {
  EXPECT_EQ(checkExpiryPeriodText(GetParam().text, GetParam().unit), GetParam().check);
}

using Unit = ExpiryCheckUnit;
using Check = ExpiryPeriodCheck;
INSTANTIATE_TEST_SUITE_P(
    Periods, ExpiryPeriodRuleTest,
    ::testing::Values(
        PeriodCase{"9", Unit::Minutes, Check::UnderTenMinutes},
        PeriodCase{"10", Unit::Minutes, Check::Ok},
        PeriodCase{"abc", Unit::Minutes, Check::UnderTenMinutes},
        PeriodCase{"-1", Unit::Minutes, Check::UnderTenMinutes},
        PeriodCase{"", Unit::Minutes, Check::UnderTenMinutes},
        PeriodCase{"10abc", Unit::Minutes, Check::NotAWholeNumber},
        PeriodCase{"0", Unit::Hours, Check::Ok}, PeriodCase{" 5 ", Unit::Hours, Check::Ok},
        PeriodCase{"abc", Unit::Hours, Check::NotAWholeNumber},
        PeriodCase{"-1", Unit::Days, Check::NotAWholeNumber},
        PeriodCase{"1.5", Unit::Hours, Check::NotAWholeNumber},
        PeriodCase{"99999", Unit::Minutes, Check::TooLong},
        PeriodCase{"35791", Unit::Minutes, Check::Ok},
        PeriodCase{"99999", Unit::Hours, Check::TooLong}, PeriodCase{"596", Unit::Hours, Check::Ok},
        PeriodCase{"24", Unit::Days, Check::Ok}, PeriodCase{"25", Unit::Days, Check::TooLong},
        PeriodCase{"99999999999999999999", Unit::Days, Check::TooLong}));

}  // namespace
}  // namespace pelmora::testing

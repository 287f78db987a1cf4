#include <climits>

#include "app/reminder_menu.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

class RemindersTest : public MainWindowTest {
 protected:
  void addExpiring(const std::string& name, int days) {
    add({makeDomain(name, {{DomainField::ExpiresOn, formatDate(addDays(kTestToday, days))}})});
  }
  QStringList itemCaptions() {
    QStringList captions;
    for (int i = 0; i < 6; ++i) captions << window_->reminders()->itemAction(i)->text();
    return captions;
  }
};

TEST_F(RemindersTest, DueDomainsShowCountsAndCycleTheCaption) {
  addExpiring("past.com", -3);
  addExpiring("tomorrow.com", 1);
  setSetting(kSettingExpiryCheck, "1|30|0");
  auto& window = open();
  auto* reminders = window.reminders();
  EXPECT_EQ(itemCaptions(), (QStringList{"[ 1 ] 显示 已到期", "[ 无 ] 显示 今天到期",
                                         "[ 1 ] 显示 3日内到期", "[ 1 ] 显示 5日内到期",
                                         "[ 1 ] 显示 10日内到期", "[ 1 ] 显示 30日内到期"}));
  EXPECT_FALSE(reminders->itemAction(1)->isEnabled());
  EXPECT_TRUE(reminders->itemAction(0)->isEnabled());
  EXPECT_TRUE(reminders->menu()->menuAction()->isVisible());
  EXPECT_TRUE(reminders->isCycling());
  EXPECT_EQ(window.expiryTimer()->interval(), 1'800'000);
  EXPECT_TRUE(window.expiryTimer()->isActive());

  // The reminder menu stands after 帮助(&H).
  const auto actions = window.menuBar()->actions();
  ASSERT_GE(actions.size(), 2);
  EXPECT_EQ(actions.last(), reminders->menu()->menuAction());
  EXPECT_EQ(actions[actions.size() - 2]->text(), "帮助(&H)");

  QStringList seen;
  for (int i = 0; i < 3; ++i) {
    seen << reminders->menu()->title();
    QTest::qWait(ui::ReminderMenu::kCycleMs + 50);
  }
  seen.removeDuplicates();
  EXPECT_GE(seen.size(), 2);

  // A second check does not stack the prefixes.
  window.runExpiryCheck();
  EXPECT_EQ(itemCaptions()[0], "[ 1 ] 显示 已到期");

  // "点我:本次不在提醒" stops the cycle on the form showing; the menu stays.
  reminders->stopAction()->trigger();
  EXPECT_FALSE(reminders->isCycling());
  EXPECT_FALSE(reminders->stopAction()->isEnabled());
  const QString still = reminders->menu()->title();
  QTest::qWait(ui::ReminderMenu::kCycleMs + 50);
  EXPECT_EQ(reminders->menu()->title(), still);
  EXPECT_TRUE(reminders->menu()->menuAction()->isVisible());
  window.runExpiryCheck();  // the next tick reminds again
  EXPECT_TRUE(reminders->isCycling());
}

TEST_F(RemindersTest, NothingDueHidesTheMenu) {
  addExpiring("later.com", 30);
  setSetting(kSettingExpiryCheck, "1|1|1");
  auto& window = open();
  for (const QString& c : itemCaptions()) EXPECT_TRUE(c.startsWith("[ 无 ] ")) << c.toStdString();
  EXPECT_FALSE(window.reminders()->menu()->menuAction()->isVisible());
  EXPECT_FALSE(window.reminders()->isCycling());
}

TEST_F(RemindersTest, OffRunsNoCheckAndPeriodsAreClamped) {
  addExpiring("past.com", -3);
  setSetting(kSettingExpiryCheck, "0|30|0");
  auto& off = open();
  EXPECT_EQ(off.reminders()->itemAction(0)->text(), "显示 已到期");
  EXPECT_FALSE(off.expiryTimer()->isActive());
  window_.reset();

  setSetting(kSettingExpiryCheck, "1|30|2");
  auto& longPeriod = open();
  EXPECT_EQ(longPeriod.expiryTimer()->interval(), INT_MAX);
  EXPECT_TRUE(longPeriod.expiryTimer()->isActive());
  window_.reset();

  setSetting(kSettingExpiryCheck, "1|0|1");
  auto& zero = open();
  EXPECT_FALSE(zero.expiryTimer()->isActive());
  EXPECT_EQ(zero.reminders()->itemAction(0)->text(), "[ 1 ] 显示 已到期");
}

TEST_F(RemindersTest, ShowItemsFilterTheListingWithoutShowingTheFilter) {
  addExpiring("past.com", -3);
  addExpiring("today.com", 0);
  addExpiring("in2.com", 2);
  setSetting(kSettingExpiryCheck, "1|30|0");
  auto& window = open();
  window.filterWindow()->findChild<QCheckBox*>("选择框_域名")->setChecked(true);
  window.reminders()->itemAction(1)->trigger();  // 今天
  waitForPage();
  EXPECT_FALSE(window.filterWindow()->isVisible());
  EXPECT_EQ(filterControl<QComboBox>("组合框_到期")->currentIndex(), 2);
  EXPECT_FALSE(filterControl<QCheckBox>("选择框_域名")->isChecked());
  ASSERT_EQ(model().rowCount(), 1);
  EXPECT_EQ(model().cellText(0, 1), "today.com");
  window.reminders()->itemAction(2)->trigger();  // 3 days
  waitForPage();
  EXPECT_EQ(filterControl<QComboBox>("组合框_到期")->currentText(), "3");
  EXPECT_EQ(caption(), "翻页,总数[2]个,共[1]页");
}

}  // namespace
}  // namespace pelmora::testing

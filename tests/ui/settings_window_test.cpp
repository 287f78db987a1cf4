#include "ui/settings/settings_window.h"

#include <QLabel>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTreeWidget>

#include "app/main_actions.h"
#include "app/operation_gate.h"
#include "app/reminder_menu.h"
#include "support/program_texts.h"
#include "ui/grid_delegate.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QString kHint = QStringLiteral("提示:|");

// Tree positions of the lists the fixture sets up.
constexpr int kRegistrars = 0;
constexpr int kXishu = 1;   // 西数
constexpr int kAiming = 2;  // 爱名, used by a domain
constexpr int kTypes = 3;   // 域名类型
constexpr int kShuangpin = 4;
constexpr int kCategories = 5;
constexpr int kZiyong = 6;

class SettingsWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    addEntry("注册商", "西数", 1);
    addEntry("注册商", "爱名", 2);
    addEntry("域名类型", "双拼", 1);
    addEntry("自定义分类", "自用", 1);
    add({makeDomain("used.com", {{DomainField::Registrar, "爱名"}})});
  }

  ui::SettingsWindow& openSettings() {
    if (!window_) open();
    // A closed one is deleted later; it must not be found instead.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    control<QAbstractButton>("按钮_软件设置")->click();
    settings_ = window_->findChild<ui::SettingsWindow*>();
    EXPECT_NE(settings_, nullptr);
    EXPECT_TRUE(settings_->isVisible());
    return *settings_;
  }

  template <typename T>
  T* part(const QString& name) {
    T* found = settings_->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QTreeWidget* tree() { return part<QTreeWidget>("树型框_筛选条件"); }
  QAbstractButton* button(const QString& name) { return part<QAbstractButton>(name); }
  QLineEdit* nameBox() { return part<QLineEdit>("编辑框_名称"); }

  QTreeWidgetItem* itemAt(int position) {
    int at = 0;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
      QTreeWidgetItem* list = tree()->topLevelItem(i);
      if (at++ == position) return list;
      for (int j = 0; j < list->childCount(); ++j) {
        if (at++ == position) return list->child(j);
      }
    }
    ADD_FAILURE() << "no item at " << position;
    return nullptr;
  }
  void select(int position) { tree()->setCurrentItem(itemAt(position)); }
  QStringList values(int listIndex) {
    QStringList texts;
    QTreeWidgetItem* list = tree()->topLevelItem(listIndex);
    for (int j = 0; j < list->childCount(); ++j) texts << list->child(j)->text(0);
    return texts;
  }
  // Types `name` into the name box and presses 新建 / 修改.
  QStringList apply(const QString& name) {
    nameBox()->setText(name);
    button("按钮_操作")->click();
    return ui::Toolkit::takeMessages();
  }
  std::vector<std::string> stored(const std::string& table) {
    std::vector<std::string> rows;
    db().query("SELECT " + table + ", ifnull(排序,'') FROM " + table + " ORDER BY rowid", {},
               [&](const SqlRow& row) { rows.push_back(row.text(0) + ":" + row.asText(1)); });
    return rows;
  }
  std::string setting(std::string_view key) { return SettingsStore(db()).read(key); }
  QStringList save() {
    button("按钮_保存设置")->click();
    return ui::Toolkit::takeMessages();
  }

  ui::SettingsWindow* settings_ = nullptr;
};

TEST_F(SettingsWindowTest, OpensModallyWithTheThreeListsAndHoldsTheOthersOff) {
  auto& window = openSettings();
  EXPECT_EQ(window.windowTitle(), "软件设置");
  EXPECT_EQ(window.windowModality(), Qt::WindowModal);
  EXPECT_FALSE(control<QAbstractButton>("按钮_批量添加域名")->isEnabled());
  EXPECT_EQ(part<QGroupBox>("分组框_分类设置")->title(), "分类设置");
  EXPECT_EQ(part<QGroupBox>("分组框_其他设置")->title(), "其他设置");
  ASSERT_EQ(tree()->topLevelItemCount(), 3);
  EXPECT_EQ(tree()->topLevelItem(0)->text(0), "注册商");
  EXPECT_EQ(tree()->topLevelItem(1)->text(0), "域名类型");
  EXPECT_EQ(tree()->topLevelItem(2)->text(0), "自定义分类");
  EXPECT_EQ(values(0), (QStringList{"西数", "爱名"}));  // bare names, no counts
  EXPECT_EQ(values(1), QStringList{"双拼"});
  EXPECT_EQ(values(2), QStringList{"自用"});
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(tree()->topLevelItem(i)->isExpanded());
  EXPECT_EQ(tree()->currentItem(), itemAt(kRegistrars));
  EXPECT_EQ(part<QLabel>("透明标签_tips")->text(),
            "提示1: 对分类的增,删,改是实时的.\n\n提示2: 其他的设置需要保存.");
  EXPECT_EQ(button("按钮_关闭")->text(), "关 闭");
}

TEST_F(SettingsWindowTest, SelectionDecidesTheControlsAndTheCaption) {
  openSettings();
  const auto expectShown = [&](bool valueSelected, const QString& caption) {
    EXPECT_TRUE(part<QLabel>("透明标签_名称")->isVisible());
    EXPECT_TRUE(nameBox()->isVisible());
    EXPECT_TRUE(button("按钮_操作")->isVisible());
    for (const char* name : {"按钮_删除", "按钮_上移", "按钮_下移"}) {
      EXPECT_EQ(button(name)->isVisible(), valueSelected) << name;
    }
    EXPECT_EQ(button("按钮_操作")->text(), caption);
  };
  expectShown(false, "新建");
  select(kShuangpin);
  expectShown(true, "修改");
  EXPECT_EQ(nameBox()->text(), "双拼");
  select(kCategories);
  expectShown(false, "新建");
  EXPECT_EQ(nameBox()->text(), "双拼");  // a list keeps the typed name
  EXPECT_EQ(button("按钮_上移")->text(), "▲");
  EXPECT_EQ(button("按钮_下移")->text(), "▼");
}

struct AddCase {
  QString typed;
  QStringList messages;  // none: added as the trimmed name
  QString added;
};

void PrintTo(const AddCase& c, std::ostream* os) {
  *os << '"' << c.typed.left(30).toStdString() << '"';
}

class SettingsAddTest : public SettingsWindowTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(SettingsAddTest, AddsOrSaysWhyNot) {
  const AddCase& c = GetParam();
  ASSERT_TRUE(db().run("INSERT INTO 注册商(注册商) VALUES('GoDaddy')"));
  openSettings();
  select(kRegistrars);
  const QStringList before = values(0);
  const auto rowsBefore = stored("注册商");
  EXPECT_EQ(apply(c.typed), c.messages);
  if (c.added.isEmpty()) {
    EXPECT_EQ(values(0), before);
    EXPECT_EQ(stored("注册商"), rowsBefore);
  } else {
    EXPECT_EQ(values(0), before + QStringList{c.added});
    auto rows = rowsBefore;
    rows.push_back(c.added.toStdString() + ":");  // ordered only on save
    EXPECT_EQ(stored("注册商"), rows);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, SettingsAddTest,
    ::testing::Values(
        AddCase{"", {kHint + "名称不能为空!"}, {}}, AddCase{"   ", {kHint + "名称不能为空!"}, {}},
        AddCase{"  易名  ", {}, "易名"}, AddCase{"O'Brien's", {}, "O'Brien's"},
        AddCase{"西数", {kHint + "添加失败 : [ 西数 ] 已存在."}, {}},
        // Another case of a stored value: the window lets it through, the
        // database refuses it, and the tree stays as it was.
        AddCase{"godaddy", {kHint + "添加失败 : [ godaddy ] 已存在."}, {}},
        AddCase{"易名(新)",
                {kHint + "名称不能含有 \"(\" : 列表只显示 \"(\" 之前的文字, 名称会被截断."},
                {}},
        AddCase{QString(1000, 'a'), {kHint + "名称不能超过 255 个字符."}, {}}));

TEST_F(SettingsWindowTest, AnAddTheDatabaseRefusesIsReportedAndTheTreeStays) {
  ASSERT_TRUE(
      db().run("CREATE TRIGGER 拒绝 BEFORE INSERT ON 域名类型 BEGIN"
               " SELECT RAISE(ABORT, 'disk full'); END"));
  openSettings();
  select(kTypes);
  const QStringList shown = apply("三拼");
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith(kHint + "添加失败 : [ 三拼 ]")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("disk full")) << shown[0].toStdString();
  EXPECT_EQ(values(1), QStringList{"双拼"});
}

TEST_F(SettingsWindowTest, RenamesAFreeValueAndRefusesTheRest) {
  openSettings();
  select(kXishu);
  EXPECT_EQ(apply("爱名"), QStringList{kHint + "修改失败 : [ 爱名 ] 已存在."});
  EXPECT_EQ(apply(" 西数 "), QStringList{kHint + "修改失败 : [ 西数 ] 已存在."});
  EXPECT_EQ(apply(""), QStringList{kHint + "名称不能为空!"});
  EXPECT_EQ(apply("Tom's"), QStringList{});
  EXPECT_EQ(values(0), (QStringList{"Tom's", "爱名"}));
  EXPECT_EQ(stored("注册商"), (std::vector<std::string>{"Tom's:1", "爱名:2"}));

  select(kAiming);
  EXPECT_EQ(apply("爱名网"), QStringList{kHint + "修改失败 : [ 爱名 ] 中存在域名."});
  EXPECT_EQ(itemAt(kAiming)->text(0), "爱名");
  EXPECT_EQ(stored("注册商"), (std::vector<std::string>{"Tom's:1", "爱名:2"}));
}

TEST_F(SettingsWindowTest, ARenameTheDatabaseRefusesIsReportedAndTheNameStays) {
  ASSERT_TRUE(
      db().run("CREATE TRIGGER 拒绝 BEFORE UPDATE ON 自定义分类 BEGIN"
               " SELECT RAISE(ABORT, 'disk full'); END"));
  openSettings();
  select(kZiyong);
  const QStringList shown = apply("自己用");
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith(kHint + "修改失败 : [ 自用 ]")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("disk full"));
  EXPECT_EQ(values(2), QStringList{"自用"});
}

TEST_F(SettingsWindowTest, DeletesAFreeValueOnly) {
  openSettings();
  select(kAiming);
  button("按钮_删除")->click();
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{kHint + "分类 [爱名] 中存在域名,不能删除!"});
  EXPECT_EQ(values(0), (QStringList{"西数", "爱名"}));
  select(kXishu);
  button("按钮_删除")->click();
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
  EXPECT_EQ(values(0), QStringList{"爱名"});
  EXPECT_EQ(stored("注册商"), std::vector<std::string>{"爱名:2"});
}

TEST_F(SettingsWindowTest, ValuesMoveWithinTheirListAndTheOrderIsStoredOnlyOnSave) {
  addEntry("注册商", "易名", 3);
  openSettings();
  select(kXishu);
  button("按钮_上移")->click();  // first of its list: stays
  EXPECT_EQ(values(0), (QStringList{"西数", "爱名", "易名"}));
  button("按钮_下移")->click();
  EXPECT_EQ(values(0), (QStringList{"爱名", "西数", "易名"}));
  EXPECT_EQ(tree()->currentItem(), itemAt(kAiming));
  button("按钮_下移")->click();
  button("按钮_下移")->click();  // last of its list: stays
  EXPECT_EQ(values(0), (QStringList{"爱名", "易名", "西数"}));
  select(kShuangpin + 1);        // 双拼, after the added 易名
  button("按钮_上移")->click();  // the only value: never into another list
  button("按钮_下移")->click();
  EXPECT_EQ(values(0), (QStringList{"爱名", "易名", "西数"}));
  EXPECT_EQ(values(1), QStringList{"双拼"});
  EXPECT_EQ(stored("注册商"), (std::vector<std::string>{"西数:1", "爱名:2", "易名:3"}));

  // Closed without saving: the old order stays.
  QPointer<ui::SettingsWindow> first = settings_;
  button("按钮_关闭")->click();
  EXPECT_FALSE(first->isVisible());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(stored("注册商"), (std::vector<std::string>{"西数:1", "爱名:2", "易名:3"}));

  openSettings();
  EXPECT_EQ(values(0), (QStringList{"西数", "爱名", "易名"}));
  select(kXishu);
  button("按钮_下移")->click();
  EXPECT_EQ(values(0), (QStringList{"爱名", "西数", "易名"}));
  part<QLineEdit>("编辑框_检测周期")->setText("10");
  EXPECT_EQ(save(), QStringList{kHint + "恭喜! 保存设置成功."});
  // Tree positions, so they rise across the lists.
  EXPECT_EQ(stored("注册商"), (std::vector<std::string>{"西数:2", "爱名:1", "易名:3"}));
  EXPECT_EQ(stored("域名类型"), std::vector<std::string>{"双拼:5"});
  EXPECT_EQ(stored("自定义分类"), std::vector<std::string>{"自用:7"});
  // Closing rebuilds the lists the grid's drop-downs show.
  button("按钮_关闭")->click();
  waitForPage();
  EXPECT_EQ(window_->grid()->delegate()->dropDownItems(4), (QStringList{"爱名", "西数", "易名"}));
}

TEST_F(SettingsWindowTest, LoadsTheStoredSettings) {
  setSetting(kSettingCustomTitle, "Tom's");
  setSetting(kSettingExpiryCheck, "1|25|1");
  setSetting(kSettingCloseToTray, "1");
  setSetting(kSettingRegistryFirst, "1");
  openSettings();
  EXPECT_TRUE(part<QCheckBox>("选择框_注册局优先")->isChecked());
  EXPECT_FALSE(part<QCheckBox>("选择框_自动更新到期时间")->isChecked());
  // Saved as ticked, read back by the next start.
  part<QCheckBox>("选择框_注册局优先")->setChecked(false);
  part<QCheckBox>("选择框_自动更新到期时间")->setChecked(true);
  part<QLineEdit>("编辑框_检测周期")->setText("25");
  EXPECT_EQ(part<QLineEdit>("编辑框_查询间隔")->text(), "1000");
  part<QLineEdit>("编辑框_查询间隔")->setText("60001");
  EXPECT_EQ(save(), QStringList{kHint + "查询间隔只能是 0 到 60000 之间的整数(毫秒)."});
  EXPECT_EQ(SettingsStore(db()).read(kSettingAutoRefresh), "");  // nothing saved
  part<QLineEdit>("编辑框_查询间隔")->setText("500");
  save();
  EXPECT_EQ(SettingsStore(db()).read(kSettingRegistryFirst), "0");
  EXPECT_EQ(SettingsStore(db()).read(kSettingAutoRefresh), "1");
  EXPECT_EQ(SettingsStore(db()).read(kSettingLookupPace), "500");
  EXPECT_EQ(part<QLineEdit>("编辑框_自定义标题")->text(), "Tom's");
  EXPECT_TRUE(part<QCheckBox>("选择框_开启到期提醒")->isChecked());
  EXPECT_EQ(part<QLineEdit>("编辑框_检测周期")->text(), "25");
  EXPECT_EQ(part<QComboBox>("组合框_检测周期")->currentIndex(), 1);
  EXPECT_TRUE(part<QLineEdit>("编辑框_检测周期")->isEnabled());
  EXPECT_TRUE(part<QCheckBox>("选择框_关闭自动缩小到任务栏")->isChecked());
  part<QCheckBox>("选择框_开启到期提醒")->setChecked(false);
  EXPECT_FALSE(part<QLineEdit>("编辑框_检测周期")->isEnabled());
  EXPECT_FALSE(part<QComboBox>("组合框_检测周期")->isEnabled());
  EXPECT_EQ(part<QComboBox>("组合框_检测周期")->count(), 3);
}

struct PeriodCase {
  QString period;
  int unit;
  bool reminder;
  QString message;
  std::string stored;  // empty: nothing saved
};

void PrintTo(const PeriodCase& c, std::ostream* os) {
  *os << '"' << c.period.toStdString() << "\" unit " << c.unit << (c.reminder ? " on" : " off");
}

class SettingsPeriodTest : public SettingsWindowTest,
                           public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(SettingsPeriodTest, PeriodsAreCheckedBeforeAnythingIsStored) {
  const PeriodCase& c = GetParam();
  setSetting(kSettingExpiryCheck, "0|30|0");
  openSettings();
  select(kXishu);
  button("按钮_下移")->click();
  part<QLineEdit>("编辑框_自定义标题")->setText("changed");
  part<QCheckBox>("选择框_开启到期提醒")->setChecked(c.reminder);
  part<QLineEdit>("编辑框_检测周期")->setText(c.period);
  part<QComboBox>("组合框_检测周期")->setCurrentIndex(c.unit);
  EXPECT_EQ(save(), QStringList{kHint + c.message});
  if (c.stored.empty()) {
    EXPECT_EQ(setting(kSettingExpiryCheck), "0|30|0");
    EXPECT_EQ(setting(kSettingCustomTitle), "");
    EXPECT_EQ(stored("注册商"), (std::vector<std::string>{"西数:1", "爱名:2"}));
    EXPECT_EQ(button("按钮_保存设置")->text(), "保存设置");
    EXPECT_TRUE(settings_->isVisible());
  } else {
    EXPECT_EQ(setting(kSettingExpiryCheck), c.stored);
    EXPECT_EQ(setting(kSettingCustomTitle), "changed");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Periods, SettingsPeriodTest,
    ::testing::Values(PeriodCase{"9", 0, false, "检测周期不能低于10分钟.", {}},
                      PeriodCase{"9", 0, true, "检测周期不能低于10分钟.", {}},
                      PeriodCase{"10", 0, false, "恭喜! 保存设置成功.", "0|10|0"},
                      PeriodCase{"0", 1, false, "恭喜! 保存设置成功.", "0|0|1"},
                      PeriodCase{"abc", 0, true, "检测周期不能低于10分钟.", {}},
                      PeriodCase{"-1", 0, true, "检测周期不能低于10分钟.", {}},
                      PeriodCase{"abc", 1, true, "检测周期只能是 0 或正整数.", {}},
                      PeriodCase{"-1", 2, true, "检测周期只能是 0 或正整数.", {}},
                      PeriodCase{"99999", 0, true, "检测周期不能超过 35791 分钟.", {}},
                      PeriodCase{"99999", 1, true, "检测周期不能超过 596 小时.", {}},
                      PeriodCase{"24", 2, true, "恭喜! 保存设置成功.", "1|24|2"}));

TEST_F(SettingsWindowTest, SavingRebuildsTheTitleAndTrayTipAsAtStartUp) {
  auto& main = open();
  openSettings();
  part<QLineEdit>("编辑框_检测周期")->setText("10");
  part<QLineEdit>("编辑框_自定义标题")->setText("Tom's 域名");
  EXPECT_EQ(save(), QStringList{kHint + "恭喜! 保存设置成功."});
  EXPECT_EQ(setting(kSettingCustomTitle), "Tom's 域名");
  EXPECT_EQ(main.windowTitle(), QString::fromStdString(mainWindowTitle("Tom's 域名")));
  EXPECT_TRUE(main.windowTitle().startsWith("[ Tom's 域名 ]青禾名簿(Pelmora) Ver:"));
  ASSERT_NE(main.trayIcon(), nullptr);
  EXPECT_EQ(main.trayIcon()->toolTip(), "[ Tom's 域名 ]青禾名簿(Pelmora)");

  part<QLineEdit>("编辑框_自定义标题")->clear();
  EXPECT_EQ(save(), QStringList{kHint + "恭喜! 保存设置成功."});
  EXPECT_TRUE(main.windowTitle().startsWith("青禾名簿(Pelmora) Ver:"));
  EXPECT_EQ(main.trayIcon()->toolTip(), "青禾名簿(Pelmora)");
}

TEST_F(SettingsWindowTest, UncheckingTheReminderHidesItsMenuAtOnce) {
  add({makeDomain("past.com", {{DomainField::ExpiresOn, "2017-03-01"}})});
  setSetting(kSettingExpiryCheck, "1|30|0");
  auto& main = open();
  ASSERT_TRUE(main.reminders()->menu()->menuAction()->isVisible());
  ASSERT_TRUE(main.expiryTimer()->isActive());
  openSettings();
  part<QCheckBox>("选择框_开启到期提醒")->setChecked(false);
  EXPECT_EQ(save(), QStringList{kHint + "恭喜! 保存设置成功."});
  EXPECT_EQ(setting(kSettingExpiryCheck), "0|30|0");
  EXPECT_FALSE(main.reminders()->menu()->menuAction()->isVisible());
  EXPECT_FALSE(main.reminders()->isCycling());
  EXPECT_FALSE(main.expiryTimer()->isActive());
  EXPECT_EQ(main.expiryTimer()->interval(), 0);

  // Back on with 0 hours: one check at once, then no timer.
  part<QCheckBox>("选择框_开启到期提醒")->setChecked(true);
  part<QLineEdit>("编辑框_检测周期")->setText("0");
  part<QComboBox>("组合框_检测周期")->setCurrentIndex(1);
  EXPECT_EQ(save(), QStringList{kHint + "恭喜! 保存设置成功."});
  EXPECT_EQ(setting(kSettingExpiryCheck), "1|0|1");
  EXPECT_TRUE(main.reminders()->menu()->menuAction()->isVisible());
  EXPECT_FALSE(main.expiryTimer()->isActive());
}

TEST_F(SettingsWindowTest, SaveButtonSaysSavedUntilTheFocusLeavesIt) {
  openSettings();
  settings_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(settings_));
  auto* saveButton = part<QPushButton>("按钮_保存设置");
  part<QLineEdit>("编辑框_检测周期")->setText("10");
  saveButton->setFocus();
  EXPECT_EQ(save(), QStringList{kHint + "恭喜! 保存设置成功."});
  EXPECT_EQ(saveButton->text(), "保存成功");
  QApplication::processEvents();
  EXPECT_EQ(saveButton->text(), "保存成功");
  part<QLineEdit>("编辑框_自定义标题")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(saveButton->text(), "保存设置");
}

TEST_F(SettingsWindowTest, AFailedWriteIsReportedNotCelebrated) {
  ASSERT_TRUE(
      db().run("CREATE TRIGGER 拒绝 BEFORE UPDATE ON 设置 BEGIN"
               " SELECT RAISE(ABORT, 'disk full'); END"));
  auto& main = open();
  const QString title = main.windowTitle();
  openSettings();
  part<QLineEdit>("编辑框_检测周期")->setText("10");
  part<QLineEdit>("编辑框_自定义标题")->setText("new");
  const QStringList shown = save();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith(kHint + "保存设置失败.")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("disk full"));
  EXPECT_EQ(button("按钮_保存设置")->text(), "保存设置");
  EXPECT_EQ(main.windowTitle(), title);
}

TEST_F(SettingsWindowTest, TheActionOpensItFromTheMenuToo) {
  open();
  QAction* item = menuAction("菜单_文件", "软件设置");
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isEnabled());
  EXPECT_EQ(item->shortcut(), QKeySequence("Ctrl+R"));
  // Like the other operations, it waits while the filter window is open.
  control<QAbstractButton>("按钮_筛选")->click();
  EXPECT_FALSE(item->isEnabled());
  EXPECT_FALSE(control<QAbstractButton>("按钮_软件设置")->isEnabled());
  window_->filterWindow()->close();
  EXPECT_TRUE(control<QAbstractButton>("按钮_软件设置")->isEnabled());
  item->trigger();
  EXPECT_NE(window_->findChild<ui::SettingsWindow*>(), nullptr);
}

}  // namespace
}  // namespace pelmora::testing

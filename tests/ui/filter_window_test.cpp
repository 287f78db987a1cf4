#include <QCalendarWidget>
#include <QClipboard>
#include <QFocusEvent>

#include "ui/date_box.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

class FilterWindowTest : public MainWindowTest {
 protected:
  void leave(QLineEdit* edit) {
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &event);
  }
  QLineEdit* edit(const QString& name) { return filterControl<QLineEdit>(name); }
  QCheckBox* box(const QString& name) { return filterControl<QCheckBox>(name); }
};

TEST_F(FilterWindowTest, RangeChecksTickAndCorrectTheBoxLeft) {
  open();
  edit("编辑框_预售底价a")->setText("10");
  edit("编辑框_预售底价b")->setText("5");
  leave(edit("编辑框_预售底价b"));
  EXPECT_EQ(edit("编辑框_预售底价b")->text(), "0");
  EXPECT_TRUE(box("选择框_预售底价")->isChecked());
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|预售底价最大值,不能小于最小值!"});

  edit("编辑框_一次成本a")->setText("10");
  leave(edit("编辑框_一次成本a"));
  EXPECT_TRUE(box("选择框_一次成本")->isChecked());
  edit("编辑框_一次成本a")->setText("0");
  leave(edit("编辑框_一次成本a"));
  EXPECT_FALSE(box("选择框_一次成本")->isChecked());

  edit("编辑框_续费成本a")->setText("-5");
  leave(edit("编辑框_续费成本a"));
  EXPECT_FALSE(box("选择框_续费成本")->isChecked());

  edit("编辑框_长度a")->setText("8");
  edit("编辑框_长度b")->setText("3");
  leave(edit("编辑框_长度b"));
  EXPECT_EQ(edit("编辑框_长度a")->text(), "0");
  EXPECT_EQ(edit("编辑框_长度b")->text(), "3");
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|长度最大值,不能小于最小值!"});
}

TEST_F(FilterWindowTest, AmountBoxesKeepTwoDecimals) {
  open();
  QTest::keyClicks(edit("编辑框_一次成本a"), "12.345");
  EXPECT_EQ(edit("编辑框_一次成本a")->text(), "012.34");
  edit("编辑框_长度a")->setText("1.234");
  EXPECT_EQ(edit("编辑框_长度a")->text(), "1.234");
}

TEST_F(FilterWindowTest, LeavingTextBoxesTicksTheirCriteria) {
  open();
  edit("编辑框_域名")->setText("abc");
  leave(edit("编辑框_域名"));
  EXPECT_TRUE(box("选择框_域名")->isChecked());
  edit("编辑框_域名")->clear();
  leave(edit("编辑框_域名"));
  EXPECT_FALSE(box("选择框_域名")->isChecked());
  edit("编辑框_备注")->setText("x");
  leave(edit("编辑框_备注"));
  EXPECT_TRUE(box("选择框_备注")->isChecked());
}

TEST_F(FilterWindowTest, ControlsBecomeCriteriaAndResetRestoresThem) {
  addEntry("注册商", "西数", 1);
  auto& window = open();
  auto* filter = window.filterWindow();
  filterControl<QComboBox>("组合框_注册商")->setCurrentIndex(2);
  filterControl<QComboBox>("组合框_出售")->setCurrentIndex(2);
  filterControl<QComboBox>("组合框_到期")->setCurrentIndex(3);
  box("选择框_对外标价")->setChecked(true);
  edit("编辑框_对外标价a")->setText("5");
  box("选择框_注册时间")->setChecked(true);
  auto* from = filterControl<ui::DateBox>("日期框_注册时间_开始");
  from->selectAll();
  QTest::keyClicks(from, "2016/1/2");
  QTest::keyClick(from, Qt::Key_Return);
  FilterCriteria c = filter->criteria();
  EXPECT_EQ(c.registrar, "西数(0)");
  EXPECT_EQ(c.sold, "已出售");
  EXPECT_EQ(c.expiry, "3");
  EXPECT_TRUE(c.askingPrice.on);
  EXPECT_EQ(c.askingPrice.from, "5");
  EXPECT_TRUE(c.registered.on);
  EXPECT_EQ(formatDate(c.registered.from), "2016-01-02");
  EXPECT_EQ(formatDate(c.registered.to), "2017-03-15");

  QTest::mouseClick(filterControl<QPushButton>("按钮_重置"), Qt::LeftButton);
  c = filter->criteria();
  EXPECT_TRUE(buildWhere(c, kTestToday).empty());
  EXPECT_EQ(edit("编辑框_对外标价a")->text(), "0");
  EXPECT_EQ(formatDate(c.registered.from), "2016-01-02");
}

TEST_F(FilterWindowTest, ShowingAgainKeepsPositionsAcrossTheRefill) {
  addEntry("注册商", "西数", 1);
  addEntry("注册商", "爱名", 2);
  auto& window = open();
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  filterControl<QComboBox>("组合框_注册商")->setCurrentIndex(3);
  filterControl<QComboBox>("组合框_出售")->setCurrentIndex(1);
  QTest::mouseClick(filterControl<QPushButton>("按钮_关闭"), Qt::LeftButton);
  add({makeDomain("a.com", {{DomainField::Registrar, "爱名"}})});
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  EXPECT_EQ(filterControl<QComboBox>("组合框_注册商")->currentText(), "爱名(1)");
  EXPECT_EQ(filterControl<QComboBox>("组合框_出售")->currentText(), "未出售");
  EXPECT_EQ(filterControl<QComboBox>("组合框_后缀")->itemText(2), "com(1)");
  (void)window;
}

TEST_F(FilterWindowTest, APageSizeThatCannotBeSavedIsReported) {
  add({makeDomain("a.com")});
  auto& window = open();
  ASSERT_TRUE(db().run("DELETE FROM 设置 WHERE 属性='每页数量'"));
  ui::Toolkit::takeMessages();
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  QTest::mouseClick(filterControl<QPushButton>("按钮_确定"), Qt::LeftButton);
  const QStringList shown = ui::Toolkit::takeMessages();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].contains(QStringLiteral("每页数量保存失败"))) << shown[0].toStdString();
  // The filter itself still applies.
  EXPECT_EQ(model().rowCount(), 1);
  (void)window;
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

class FilterDatesTest : public FilterWindowTest {
 protected:
  ui::DateBox* from() { return filterControl<ui::DateBox>("日期框_到期时间_开始"); }
  void type(const QString& keys) {
    from()->selectAll();
    QTest::keyClicks(from(), keys);
    QTest::keyClick(from(), Qt::Key_Return);
  }
  std::string criteriaFrom() {
    return formatDate(window_->filterWindow()->criteria().expires.from);
  }
};

TEST_F(FilterDatesTest, TakeEveryTypedFormAndRefuseWhatIsNoDate) {
  open();
  EXPECT_EQ(from()->text(), "2017-03-15");  // today
  for (const char* typed : {"2017-1-3", "2017/01/03", "2017.1.3"}) {
    type(QString::fromLatin1(typed));
    EXPECT_EQ(from()->text(), "2017-01-03") << typed;
    EXPECT_EQ(criteriaFrom(), "2017-01-03") << typed;
  }
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());

  // A text that is not a date puts the last date back, and says so; so does
  // an empty box, which would be no criterion at all.
  for (const char* typed : {"2017-02-30", "abc"}) {
    type(QString::fromLatin1(typed));
    EXPECT_EQ(from()->text(), "2017-01-03") << typed;
    EXPECT_EQ(criteriaFrom(), "2017-01-03");
    const QStringList messages = ui::Toolkit::takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("提示:|[ ") + typed +
                               QStringLiteral(" ] 不是日期, 请按 2017-01-03 的格式填写!"));
  }
  from()->clear();
  QTest::keyClick(from(), Qt::Key_Return);
  EXPECT_EQ(from()->text(), "2017-01-03");
  EXPECT_EQ(ui::Toolkit::takeMessages().size(), 1);

  // Or picked from the calendar.
  from()->showCalendar();
  ASSERT_TRUE(from()->calendar()->isVisible());
  emit from()->calendar()->clicked(QDate(2018, 5, 6));
  EXPECT_FALSE(from()->calendar()->isVisible());
  EXPECT_EQ(criteriaFrom(), "2018-05-06");
}

class ResetUndoTest : public FilterWindowTest {
 protected:
  void SetUp() override {
    FilterWindowTest::SetUp();
    open();
    QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
    // The keys go to the active window: the filter window, as for a user who
    // has just opened it.
    QApplication::setActiveWindow(filter());
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == filter(); }));
    sold()->setCurrentIndex(2);
    box("选择框_对外标价")->setChecked(true);
    edit("编辑框_对外标价a")->setText("5");
    edit("编辑框_域名")->setText("abc");
    box("选择框_域名")->setChecked(true);
    criteriaBefore_ = where();
    ASSERT_FALSE(criteriaBefore_.empty());
  }
  ui::FilterWindow* filter() { return window_->filterWindow(); }
  QComboBox* sold() { return filterControl<QComboBox>("组合框_出售"); }
  std::string where() { return buildWhere(filter()->criteria(), kTestToday).sql; }
  void press(QWidget* focus, Qt::Key key) {
    focus->setFocus();
    QTest::keyClick(focus, key, Qt::ControlModifier);
  }
  void expectAllBack() {
    EXPECT_EQ(where(), criteriaBefore_);
    EXPECT_EQ(sold()->currentIndex(), 2);
    EXPECT_EQ(edit("编辑框_对外标价a")->text(), "5");
    EXPECT_EQ(edit("编辑框_域名")->text(), "abc");
  }
  std::string criteriaBefore_;
};

TEST_F(ResetUndoTest, CtrlCOnADropDownResetsAndCtrlZBringsTheCriteriaBack) {
  EXPECT_FALSE(filter()->undoResetAction()->isEnabled());  // nothing to bring back yet
  press(sold(), Qt::Key_C);
  EXPECT_TRUE(where().empty());
  EXPECT_EQ(sold()->currentIndex(), 0);
  press(sold(), Qt::Key_Z);
  expectAllBack();
  press(sold(), Qt::Key_Z);  // once only: the criteria stay
  expectAllBack();
}

TEST_F(ResetUndoTest, ASelectedTextIsCopiedNotReset) {
  QLineEdit* name = edit("编辑框_域名");
  name->setFocus();
  name->selectAll();
  QTest::keyClick(name, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "abc");
  EXPECT_EQ(where(), criteriaBefore_);

  // Without a selection there is nothing to copy: the key resets.
  name->deselect();
  QTest::keyClick(name, Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(where().empty());
  EXPECT_EQ(name->text(), "");
  press(name, Qt::Key_Z);
  expectAllBack();
}

TEST_F(ResetUndoTest, TheWindowsRightClickMenuBringsTheCriteriaBack) {
  QTest::mouseClick(filterControl<QAbstractButton>("按钮_重置"), Qt::LeftButton);
  EXPECT_TRUE(where().empty());
  EXPECT_EQ(filter()->contextMenuPolicy(), Qt::ActionsContextMenu);
  QAction* undo = nullptr;
  for (QAction* action : filter()->actions()) {
    if (action->text() == "撤销重置") undo = action;
  }
  ASSERT_NE(undo, nullptr);
  ASSERT_TRUE(undo->isEnabled());
  undo->trigger();
  expectAllBack();
  EXPECT_FALSE(undo->isEnabled());
}

}  // namespace
}  // namespace pelmora::testing

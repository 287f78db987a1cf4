#include <QDateEdit>
#include <QFocusEvent>

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
  filterControl<QDateEdit>("日期框_注册时间_开始")->setDate(QDate(2016, 1, 2));
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
  QTest::mouseClick(control<QPushButton>("按钮_筛选"), Qt::LeftButton);
  filterControl<QComboBox>("组合框_注册商")->setCurrentIndex(3);
  filterControl<QComboBox>("组合框_出售")->setCurrentIndex(1);
  QTest::mouseClick(filterControl<QPushButton>("按钮_关闭"), Qt::LeftButton);
  add({makeDomain("a.com", {{DomainField::Registrar, "爱名"}})});
  QTest::mouseClick(control<QPushButton>("按钮_筛选"), Qt::LeftButton);
  EXPECT_EQ(filterControl<QComboBox>("组合框_注册商")->currentText(), "爱名(1)");
  EXPECT_EQ(filterControl<QComboBox>("组合框_出售")->currentText(), "未出售");
  EXPECT_EQ(filterControl<QComboBox>("组合框_后缀")->itemText(2), "com(1)");
  (void)window;
}

}  // namespace
}  // namespace pelmora::testing

#include "ui/export/fixed_price_tabs.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QLabel>
#include <QTabWidget>

#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

class FixedPriceTabsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    addEntry("注册商", "西数", 1);
    add({makeDomain("one.com", {{DomainField::Note, "a, b，c d"},
                                {DomainField::AskingPrice, "12.345"},
                                {DomainField::Registrar, "西数"}}),
         makeDomain("two.net", {{DomainField::Category, "精品"}})});
    open();
    QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
    ui::Toolkit::takeMessages();
    QApplication::clipboard()->setText("before");
  }
  void showTab(int index) {
    filterControl<QTabWidget>("选择夹1")->setCurrentIndex(index);
    QApplication::processEvents();
  }
  void leave(QLineEdit* edit) {
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &event);
  }
  QLineEdit* edit(const QString& name) { return filterControl<QLineEdit>(name); }
  QComboBox* combo(const QString& name) { return filterControl<QComboBox>(name); }
  QStringList itemsOf(const QString& name) {
    QStringList items;
    QComboBox* box = combo(name);
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  QString clipboard() { return QApplication::clipboard()->text(); }
  // Clicks a 确定; the list is made on a worker and reaches the clipboard
  // only when it arrives.
  void confirm(const QString& button) {
    auto* tabs = window_->filterWindow()->findChild<ui::FixedPriceTabs*>();
    const QString before = clipboard();
    filterControl<QPushButton>(button)->click();
    EXPECT_TRUE(tabs->isGenerating());
    EXPECT_EQ(window_->filterWindow()->cursor().shape(), Qt::BusyCursor);
    EXPECT_EQ(clipboard(), before);
    EXPECT_TRUE(QTest::qWaitFor([tabs] { return !tabs->isGenerating(); }));
    EXPECT_NE(window_->filterWindow()->cursor().shape(), Qt::BusyCursor);
  }
};

TEST_F(FixedPriceTabsTest, PagesAndControls) {
  auto* tabs = filterControl<QTabWidget>("选择夹1");
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(1), "  西数  ");
  EXPECT_EQ(tabs->tabText(2), "  爱名  ");
  EXPECT_EQ(tabs->tabText(3), "  易名  ");
  EXPECT_EQ(itemsOf("组合框_西数_简介"), (QStringList{"取备注", "取自定义分类"}));
  EXPECT_EQ(itemsOf("组合框_爱名_域名介绍"), (QStringList{"取备注", "取自定义分类"}));
  EXPECT_EQ(itemsOf("组合框_西数_出售价格"), (QStringList{"同对外标价", "同预售底价"}));
  const QStringList periods = itemsOf("组合框_西数_发布周期");
  ASSERT_EQ(periods.size(), 17);
  EXPECT_EQ(periods.front(), "今天");
  EXPECT_EQ(periods[9], "15天");
  EXPECT_EQ(periods.back(), "同域名到期时间");
  const QStringList hours = itemsOf("组合框_西数_结束时间");
  ASSERT_EQ(hours.size(), 16);
  EXPECT_EQ(hours[0], "随机时间");
  EXPECT_EQ(hours[1], "8:00-8:59");
  EXPECT_EQ(hours[15], "22:00-22:59");
  EXPECT_EQ(edit("编辑框_西数_随机时间a")->text(), "8");
  EXPECT_EQ(edit("编辑框_西数_随机时间b")->text(), "22");
  EXPECT_EQ(filterControl<QLabel>("透明标签_西数_随机时间_至")->text(), "至");
  EXPECT_EQ(filterControl<QPushButton>("按钮_西数_确定")->text(), "确定");
  EXPECT_EQ(filterControl<QPushButton>("按钮_爱名_确定")->text(), "确定");
  EXPECT_TRUE(filterControl<QLabel>("透明标签_tips_爱名")->text().contains("爱名"));
  EXPECT_TRUE(filterControl<QLabel>("透明标签_tips_爱名1")->text().contains("易名"));
  auto* hint = filterControl<QLabel>("透明标签_tips");
  EXPECT_EQ(hint->text(),
            "提示: 以下是常用的域名交易平台的批量一口价生成功能,生成结果取决于上面的筛选条件. ");
  EXPECT_FALSE(hint->isVisible());
  showTab(1);
  EXPECT_TRUE(hint->isVisible());
}

TEST_F(FixedPriceTabsTest, CaptionsOfTheWestPageFit) {
  showTab(1);
  int checked = 0;
  for (auto* button : window_->filterWindow()->findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || button->objectName() != "按钮_西数_确定") continue;
    EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()));
    ++checked;
  }
  for (auto* label : window_->filterWindow()->findChildren<QLabel*>()) {
    if (!label->isVisible() || label->wordWrap() || label->text().isEmpty()) continue;
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
        << label->text().toStdString();
    ++checked;
  }
  EXPECT_GE(checked, 6);
}

TEST_F(FixedPriceTabsTest, HourRangeShownOnlyForRandomTime) {
  showTab(1);
  const QStringList range{"编辑框_西数_随机时间a", "编辑框_西数_随机时间b"};
  auto* word = filterControl<QLabel>("透明标签_西数_随机时间_至");
  EXPECT_TRUE(word->isVisible());
  combo("组合框_西数_结束时间")->setCurrentIndex(3);
  EXPECT_FALSE(word->isVisible());
  for (const QString& name : range) EXPECT_FALSE(edit(name)->isVisible());
  combo("组合框_西数_结束时间")->setCurrentIndex(0);
  EXPECT_TRUE(word->isVisible());
  for (const QString& name : range) EXPECT_TRUE(edit(name)->isVisible());
}

TEST_F(FixedPriceTabsTest, LeavingTheHourEditsClampsThem) {
  showTab(1);
  QLineEdit* a = edit("编辑框_西数_随机时间a");
  QLineEdit* b = edit("编辑框_西数_随机时间b");
  a->setText("5");
  leave(a);
  EXPECT_EQ(a->text(), "8");
  b->setText("23");
  leave(b);
  EXPECT_EQ(b->text(), "22");
  b->setText("10");
  leave(b);
  a->setText("20");
  leave(a);
  EXPECT_EQ(a->text(), "10");
  b->setText("9");
  leave(b);
  EXPECT_EQ(b->text(), "10");
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
}

TEST_F(FixedPriceTabsTest, WestListGoesToTheClipboardForTheCurrentFilter) {
  showTab(1);
  combo("组合框_西数_发布周期")->setCurrentIndex(16);
  combo("组合框_西数_结束时间")->setCurrentIndex(15);
  confirm("按钮_西数_确定");
  EXPECT_EQ(clipboard(), "one.com,a；-b；c-d,12.35,16,22\r\ntwo.net,,0,16,22\r\n");
  EXPECT_EQ(ui::Toolkit::takeMessages(),
            QStringList{" 提示:|西数一口价格式已生成并复制到剪贴板, 可以到 www.west.cn 批量发布."});

  // Criteria as they stand in the window, not yet confirmed.
  combo("组合框_注册商")->setCurrentIndex(combo("组合框_注册商")->findText("西数(1)"));
  combo("组合框_西数_结束时间")->setCurrentIndex(0);
  edit("编辑框_西数_随机时间a")->setText("15");
  edit("编辑框_西数_随机时间b")->setText("15");
  combo("组合框_西数_出售价格")->setCurrentIndex(1);
  confirm("按钮_西数_确定");
  EXPECT_EQ(clipboard(), "one.com,a；-b；c-d,0,16,15\r\n");
  EXPECT_EQ(ui::Toolkit::takeMessages().size(), 1);
}

TEST_F(FixedPriceTabsTest, AimingListGoesToTheClipboard) {
  showTab(2);
  combo("组合框_爱名_域名介绍")->setCurrentIndex(1);
  confirm("按钮_爱名_确定");
  EXPECT_EQ(clipboard(), "one.com,-\r\ntwo.net,精品\r\n");
  EXPECT_EQ(ui::Toolkit::takeMessages(),
            QStringList{" 提示:|爱名一口价格式已生成并复制到剪贴板, 可以到 www.22.cn 批量发布."});
}

TEST_F(FixedPriceTabsTest, AFailingQueryKeepsTheClipboardAndSaysWhy) {
  ASSERT_TRUE(db().run("ALTER TABLE 域名 RENAME COLUMN 备注 TO 旧备注"));
  showTab(2);
  confirm("按钮_爱名_确定");
  EXPECT_EQ(clipboard(), "before");
  const QStringList shown = ui::Toolkit::takeMessages();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith(" 提示:|一口价列表未能生成")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("备注")) << shown[0].toStdString();
}

}  // namespace
}  // namespace pelmora::testing

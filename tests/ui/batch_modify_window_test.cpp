// The batch-modify window over a real database: toggled from the main
// window, filled from the ticked rows, its field selectors, and runs that
// change the stored rows and the grid in place.

#include "ui/editing/batch_modify_window.h"

#include <QLabel>
#include <QPlainTextEdit>

#include "app/operation_gate.h"
#include "ui/date_box.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QColor kBlue(0, 128, 255);
const QColor kRed(255, 0, 128);
const QColor kBlack(Qt::black);

// The main window's controls the open batch-modify window holds off.
const QStringList kHeldButtons{"按钮_反选",         "按钮_筛选",         "按钮_软件设置",
                               "按钮_隐藏列",       "按钮_删除选中域名", "按钮_更新选中时间",
                               "按钮_批量添加域名", "按钮_单个添加域名", "按钮_高级修改"};
const QStringList kHeldMenus{"菜单_文件", "菜单_常用操作", "菜单_批量操作"};

class BatchModifyWindowTest : public MainWindowTest {
 protected:
  ui::BatchModifyWindow* modifyWindow() { return window_->findChild<ui::BatchModifyWindow*>(); }

  // 按钮_修改选中, as the user clicks it.
  ui::BatchModifyWindow* toggle() {
    control<QAbstractButton>("按钮_修改选中")->click();
    QApplication::processEvents();
    return modifyWindow();
  }

  template <typename T>
  T* part(const QString& name) {
    T* found = modifyWindow()->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QPlainTextEdit* domainList() { return part<QPlainTextEdit>("编辑框_待修改域名"); }
  QPlainTextEdit* failureList() { return part<QPlainTextEdit>("编辑框_修改失败"); }
  QString status() { return part<QLabel>("状态条1_提示")->text(); }
  void tick(const QString& box) { part<QCheckBox>("选择框_" + box)->setChecked(true); }
  void type(const QString& edit, const QString& text) {
    part<QLineEdit>("编辑框_" + edit)->setText(text);
  }

  int rowOf(const QString& domain) {
    for (int row = 0; row < model().rowCount(); ++row) {
      if (model().cellText(row, ui::PageModel::kNameColumn) == domain) return row;
    }
    ADD_FAILURE() << "no row " << domain.toStdString();
    return -1;
  }
  void tickDomains(const QStringList& domains) {
    for (const QString& domain : domains) model().setTicked(rowOf(domain), true);
  }
  // The text colour of every cell of the row, when they all share one.
  std::optional<QColor> rowColour(int row) {
    const QColor first = model().data(model().index(row, 0), Qt::ForegroundRole).value<QColor>();
    for (int column = 1; column < model().columnCount(); ++column) {
      if (model().data(model().index(row, column), Qt::ForegroundRole).value<QColor>() != first) {
        return std::nullopt;
      }
    }
    return first;
  }
  bool rowIsBold(int row) {
    return model().data(model().index(row, 1), Qt::FontRole).value<QFont>().bold();
  }

  void runAndWait() {
    QTest::mouseClick(part<QPushButton>("按钮_确认"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !modifyWindow()->isRunning(); }, 20000));
    QApplication::processEvents();
  }

  SqlValue stored(const char* column, const std::string& domain) {
    return db()
        .scalar(std::string("SELECT ") + column + " FROM 域名 WHERE 域名=?", {domain})
        .value_or(SqlValue("?"));
  }
  // An amount column, whether SQLite keeps it as an integer or a real.
  double amount(const char* column, const std::string& domain) {
    const SqlValue value = stored(column, domain);
    if (const auto* whole = std::get_if<std::int64_t>(&value)) return static_cast<double>(*whole);
    if (const auto* real = std::get_if<double>(&value)) return *real;
    ADD_FAILURE() << column << " of " << domain << " is not a number";
    return -1;
  }

  std::map<QString, bool> mainControlStates() {
    std::map<QString, bool> states;
    for (const QString& name : kHeldButtons) {
      states[name] = control<QAbstractButton>(name)->isEnabled();
    }
    states["选择框_全选不选"] = control<QCheckBox>("选择框_全选不选")->isEnabled();
    for (const QString& menu : kHeldMenus) {
      states[menu] = window_->menuBar()->findChild<QMenu*>(menu)->menuAction()->isEnabled();
    }
    return states;
  }
};

TEST_F(BatchModifyWindowTest, ToggleHoldsTheOtherOperationsOffAndGivesThemBack) {
  addNumbered(2);
  auto& window = open();
  const auto before = mainControlStates();
  EXPECT_TRUE(before.at("按钮_删除选中域名"));
  EXPECT_TRUE(before.at("选择框_全选不选"));
  auto* ownButton = control<QAbstractButton>("按钮_修改选中");
  ASSERT_TRUE(ownButton->isEnabled());

  // Three ways to hide it: its own button, its 关 闭 and its close box.
  const std::vector<std::function<void()>> hides{
      [&] { ownButton->click(); },
      [&] { QTest::mouseClick(part<QPushButton>("按钮_关闭"), Qt::LeftButton); },
      [&] { modifyWindow()->close(); },
  };
  for (std::size_t i = 0; i < hides.size(); ++i) {
    SCOPED_TRACE(i);
    ui::BatchModifyWindow* shown = toggle();
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->windowTitle(), "批量修改 (如数据库里有的域名也可以自行加入)");
    EXPECT_EQ(shown->objectName(), "批量修改窗口");
    EXPECT_EQ(window.gate()->holder(), ui::Operation::ModifySelected);
    for (const auto& [name, enabled] : mainControlStates()) {
      EXPECT_FALSE(enabled) << name.toStdString();
    }
    EXPECT_TRUE(ownButton->isEnabled());
    EXPECT_TRUE(menuAction("菜单_批量操作", "批量修改选中")->isEnabled());

    hides[i]();
    QApplication::processEvents();
    EXPECT_EQ(modifyWindow(), shown) << "hidden, never destroyed";
    EXPECT_FALSE(shown->isVisible());
    EXPECT_EQ(mainControlStates(), before);
  }

  // The menu item is the same toggle.
  menuAction("菜单_批量操作", "批量修改选中")->trigger();
  EXPECT_TRUE(modifyWindow()->isVisible());
}

TEST_F(BatchModifyWindowTest, ShowingListsTheTickedRowsAndEmptiesTheFailures) {
  add({makeDomain("a.com"), makeDomain("b.com"), makeDomain("c.com"), makeDomain("d.com")});
  open();
  tickDomains({"a.com", "c.com"});
  toggle();
  // In grid order: the newest row first.
  EXPECT_EQ(domainList()->toPlainText(), "c.com\na.com\n");
  EXPECT_EQ(part<QGroupBox>("分组框_待修改域名")->title(), "待修改域名(2)");
  EXPECT_TRUE(failureList()->toPlainText().isEmpty());
  EXPECT_EQ(part<QGroupBox>("分组框_修改失败")->title(), "修改失败 [ 0 ]");

  domainList()->appendPlainText("\n  \nx.com");
  EXPECT_EQ(part<QGroupBox>("分组框_待修改域名")->title(), "待修改域名 [ 3 ]");
  failureList()->setPlainText("q.com\n");
  EXPECT_EQ(part<QGroupBox>("分组框_修改失败")->title(), "修改失败 [ 1 ]");

  // Hidden and shown again: the list follows the ticks of now.
  toggle();
  model().setTicked(rowOf("a.com"), false);
  toggle();
  EXPECT_EQ(domainList()->toPlainText(), "c.com\n");
  EXPECT_EQ(part<QGroupBox>("分组框_待修改域名")->title(), "待修改域名(1)");
  EXPECT_TRUE(failureList()->toPlainText().isEmpty());

  QTest::mouseClick(part<QPushButton>("按钮_清空列表"), Qt::LeftButton);
  EXPECT_TRUE(domainList()->toPlainText().isEmpty());
  EXPECT_EQ(part<QGroupBox>("分组框_待修改域名")->title(), "待修改域名 [ 0 ]");
}

TEST_F(BatchModifyWindowTest, DropDownsKeepTheirPositionsAndChoicesAcrossHideAndShow) {
  addEntry("注册商", "西数", 1);
  addEntry("注册商", "爱名", 2);
  addEntry("域名类型", "双拼", 1);
  add({makeDomain("a.com", {{DomainField::Registrar, "爱名"}})});
  open();
  toggle();
  auto* registrar = part<QComboBox>("组合框_注册商");
  ASSERT_EQ(registrar->count(), 3);
  EXPECT_EQ(registrar->itemText(0), "未分组");
  EXPECT_EQ(registrar->itemText(2), "爱名(1)");
  EXPECT_EQ(registrar->currentIndex(), 0);
  EXPECT_EQ(part<QComboBox>("组合框_域名类型")->itemText(1), "双拼(0)");
  registrar->setCurrentIndex(2);
  tick("注册商");
  tick("域名类型");
  type("备注", "留着");

  toggle();
  add({makeDomain("b.com", {{DomainField::Registrar, "爱名"}})});
  toggle();
  EXPECT_EQ(registrar->itemText(2), "爱名(2)");
  EXPECT_EQ(registrar->currentIndex(), 2);
  EXPECT_TRUE(part<QCheckBox>("选择框_注册商")->isChecked());
  EXPECT_EQ(part<QLineEdit>("编辑框_备注")->text(), "留着");

  // A drop-down gives the name before its count, "-" for 未分组.
  const BatchModifyChoices chosen = modifyWindow()->choices();
  EXPECT_EQ(chosen.registrar, "爱名");
  EXPECT_EQ(chosen.domainType, "-");
  EXPECT_FALSE(chosen.note) << "not ticked";
  EXPECT_FALSE(chosen.category);
}

TEST_F(BatchModifyWindowTest, AmountBoxesTakeAtMostTwoDecimals) {
  open();
  toggle();
  for (const char* box : {"一次成本", "续费成本", "预售底价", "对外标价", "最终售价"}) {
    auto* edit = part<QLineEdit>(QStringLiteral("编辑框_") + QString::fromUtf8(box));
    EXPECT_EQ(edit->text(), "0") << box;
    edit->clear();
    QTest::keyClicks(edit, "12.345");
    EXPECT_EQ(edit->text(), "12.34") << box;
  }
  // The note is not an amount.
  auto* note = part<QLineEdit>("编辑框_备注");
  QTest::keyClicks(note, "1.2345");
  EXPECT_EQ(note->text(), "1.2345");
}

TEST_F(BatchModifyWindowTest, TipsShowExactlyWhileTheFinalPriceIsTickedAndResetClearsAll) {
  addEntry("自定义分类", "精品", 1);
  open();
  toggle();
  auto* tips = part<QLabel>("透明标签_tips");
  EXPECT_EQ(tips->text(), "注:最终售价设置为0.则出售时间清空.");
  EXPECT_FALSE(tips->isVisible());
  tick("最终售价");
  EXPECT_TRUE(tips->isVisible());
  part<QCheckBox>("选择框_最终售价")->setChecked(false);
  EXPECT_FALSE(tips->isVisible());

  for (QCheckBox* box : modifyWindow()->findChildren<QCheckBox*>()) box->setChecked(true);
  part<QComboBox>("组合框_自定义分类")->setCurrentIndex(1);
  type("续费成本", "8.5");
  type("备注", "x");
  part<ui::DateBox>("日期框_购买时间")->setText("2016-01-02");
  QTest::mouseClick(part<QPushButton>("按钮_重置"), Qt::LeftButton);
  const auto boxes = modifyWindow()->findChildren<QCheckBox*>();
  EXPECT_EQ(boxes.size(), 11);
  for (const QCheckBox* box : boxes) EXPECT_FALSE(box->isChecked()) << box->text().toStdString();
  EXPECT_EQ(part<QComboBox>("组合框_自定义分类")->currentIndex(), 0);
  EXPECT_EQ(part<QLineEdit>("编辑框_续费成本")->text(), "0");
  EXPECT_EQ(part<QLineEdit>("编辑框_备注")->text(), "");
  EXPECT_EQ(part<ui::DateBox>("日期框_购买时间")->text(), "2017-03-15");
  EXPECT_FALSE(tips->isVisible());
  EXPECT_TRUE(modifyWindow()->choices().nothingChosen());
}

TEST_F(BatchModifyWindowTest, EmptyListOrNothingTickedRunsNothing) {
  add({makeDomain("a.com", {{DomainField::Note, "old"}}), makeDomain("b.com")});
  open();
  toggle();
  QTest::mouseClick(part<QPushButton>("按钮_确认"), Qt::LeftButton);
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|没有要修改的域名"});

  domainList()->setPlainText("a.com\nb.com\n");
  type("备注", "new");  // typed but not ticked
  QTest::mouseClick(part<QPushButton>("按钮_确认"), Qt::LeftButton);
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|请勾选要修改的数据字段!"});
  EXPECT_FALSE(modifyWindow()->isRunning());
  EXPECT_EQ(status(), "修改完毕: 总数[ 2 ], 成功[ 0 ], 失败[ 0 ]");
  EXPECT_EQ(stored("备注", "a.com"), SqlValue("old"));
  EXPECT_TRUE(part<QPushButton>("按钮_确认")->isEnabled());
}

TEST_F(BatchModifyWindowTest, ARunStoresTheChangeAndRewritesTheTickedRowsInPlace) {
  add({makeDomain("sold.com", {{DomainField::OneTimeCost, "10"},
                               {DomainField::RenewalCost, "5"},
                               {DomainField::FinalPrice, "1000"}}),
       makeDomain("kept.com", {{DomainField::RenewalCost, "2"}}),
       makeDomain("other.com", {{DomainField::OneTimeCost, "7"}})});
  auto& window = open();
  tickDomains({"sold.com", "kept.com"});
  toggle();
  // Ticked after the list was filled: a reload of the page would drop it.
  model().setTicked(rowOf("other.com"), true);
  tick("一次成本");
  type("一次成本", "100");
  runAndWait();

  EXPECT_EQ(status(), "修改完毕: 总数[ 2 ], 成功[ 2 ], 失败[ 0 ]");
  EXPECT_TRUE(part<QPushButton>("按钮_确认")->isEnabled());
  EXPECT_TRUE(failureList()->toPlainText().isEmpty());
  EXPECT_EQ(amount("一次成本", "sold.com"), 100.0);
  EXPECT_EQ(amount("实际成本", "sold.com"), 105.0);
  EXPECT_EQ(amount("利润", "sold.com"), 895.0);
  EXPECT_EQ(amount("实际成本", "kept.com"), 102.0);
  EXPECT_EQ(amount("利润", "kept.com"), 0.0);
  EXPECT_EQ(amount("一次成本", "other.com"), 7.0);

  const int sold = rowOf("sold.com");
  EXPECT_EQ(model().cellText(sold, 9), "100");
  EXPECT_EQ(model().cellText(sold, 11), "105");
  EXPECT_EQ(model().cellText(sold, 15), "895");
  EXPECT_EQ(model().record(sold)[DomainField::OneTimeCost], "100");
  EXPECT_EQ(model().cellText(rowOf("kept.com"), 11), "102");
  EXPECT_EQ(rowColour(sold), kBlue);
  EXPECT_EQ(rowColour(rowOf("kept.com")), kBlue);
  EXPECT_FALSE(rowIsBold(sold)) << "a batch colours, it does not embolden";
  EXPECT_EQ(rowColour(rowOf("other.com")), kBlack);
  EXPECT_TRUE(model().isTicked(rowOf("other.com")));
  EXPECT_EQ(model().cellText(rowOf("other.com"), 9), "7");
  // Still held: the window stays open after its run.
  EXPECT_EQ(window.gate()->holder(), ui::Operation::ModifySelected);
}

TEST_F(BatchModifyWindowTest, ARunHiddenMidwayHoldsTheOperationsOffUntilItEnds) {
  add({makeDomain("a.com"), makeDomain("b.com")});
  auto& window = open();
  tickDomains({"a.com", "b.com"});
  toggle();
  tick("续费成本");
  type("续费成本", "3");
  // The database is held so that the run is still going when the window hides.
  db().withConnection([&](SqliteConnection&) {
    QTest::mouseClick(part<QPushButton>("按钮_确认"), Qt::LeftButton);
    ASSERT_TRUE(modifyWindow()->isRunning());
    toggle();
    QApplication::processEvents();
    EXPECT_FALSE(modifyWindow()->isVisible());
    EXPECT_EQ(window.gate()->state(), ui::OperationGate::State::Run);
    EXPECT_FALSE(control<QAbstractButton>("按钮_删除选中域名")->isEnabled());
  });
  ASSERT_TRUE(QTest::qWaitFor([this] { return !modifyWindow()->isRunning(); }, 20000));
  QApplication::processEvents();
  EXPECT_EQ(window.gate()->state(), ui::OperationGate::State::Idle);
  EXPECT_TRUE(control<QAbstractButton>("按钮_删除选中域名")->isEnabled());
  EXPECT_EQ(amount("续费成本", "b.com"), 3.0);
}

TEST_F(BatchModifyWindowTest, FailedDomainsAreListedAndTheirRowsTurnRed) {
  add({makeDomain("a.com", {{DomainField::AskingPrice, "30"}}), makeDomain("b.com")});
  open();
  tickDomains({"a.com", "b.com"});
  toggle();

  // A price that is not a number fails every domain and stores nothing.
  tick("对外标价");
  type("对外标价", "abc");
  runAndWait();
  EXPECT_EQ(status(), "修改完毕: 总数[ 2 ], 成功[ 0 ], 失败[ 2 ]");
  EXPECT_EQ(failureList()->toPlainText(), "b.com\na.com\n");
  EXPECT_EQ(part<QGroupBox>("分组框_修改失败")->title(), "修改失败 [ 2 ]");
  EXPECT_EQ(amount("标价", "a.com"), 30.0);
  EXPECT_EQ(rowColour(rowOf("a.com")), kRed);
  EXPECT_EQ(rowColour(rowOf("b.com")), kRed);
  EXPECT_EQ(model().cellText(rowOf("a.com"), 13), "30");

  // A domain that is not stored fails alone; the others go through. The
  // failure list keeps what the run before put there.
  type("对外标价", "40");
  domainList()->setPlainText("a.com\nnowhere.com\n");
  runAndWait();
  EXPECT_EQ(status(), "修改完毕: 总数[ 2 ], 成功[ 1 ], 失败[ 1 ]");
  EXPECT_EQ(failureList()->toPlainText(), "b.com\na.com\nnowhere.com\n");
  EXPECT_EQ(amount("标价", "a.com"), 40.0);
  EXPECT_EQ(model().cellText(rowOf("a.com"), 13), "40");
  EXPECT_EQ(rowColour(rowOf("a.com")), kBlue);
  EXPECT_EQ(rowColour(rowOf("b.com")), kRed);
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

TEST_F(BatchModifyWindowTest, ANameTypedInOtherLettersRefreshesItsRow) {
  add({makeDomain("kept.com")});
  open();
  toggle();
  domainList()->setPlainText("KEPT.COM\n");
  tick("备注");
  type("备注", "new note");
  runAndWait();
  EXPECT_EQ(status(), "修改完毕: 总数[ 1 ], 成功[ 1 ], 失败[ 0 ]");
  const int row = rowOf("kept.com");
  EXPECT_EQ(model().cellText(row, 17), "new note");
  EXPECT_EQ(rowColour(row), kBlue);
}

}  // namespace
}  // namespace pelmora::testing

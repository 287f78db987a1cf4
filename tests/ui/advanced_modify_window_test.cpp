#include "ui/editing/advanced_modify_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>

#include "app/main_actions.h"
#include "app/operation_gate.h"
#include "store/domain_record.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QString kTips = QStringLiteral(
    "1) 高级修改的目的: 不同的域名的某一个字段可能是不一样的值.那么就需要用到这个功能."
    "支持修改的字段如下:(且只能是以下字段)\n\n\n\n"
    "2) 格式:域名,字段1=值1,字段2=值2,字段3=值3,字段n=值n\n\n"
    "   注1:域名是必须字段,且必须排第一位.一行一个域名\n\n"
    "   注2:半角的逗号为分割符,所以值属性里面请不要使用逗号,或者其他符号.\n"
    "   \n"
    "   注3:注册商,域名类型,自定义分类 这3个字段需要是分类设置里面存在的.");

class AdvancedModifyWindowTest : public EditingWindowTest<ui::AdvancedModifyWindow> {
 protected:
  // The main window over qinghe.com/.net/.cn and the lists the examples
  // use, and the advanced-modify window opened by its button.
  ui::AdvancedModifyWindow& openAdvancedModify() {
    if (!window_) {
      addEntry("注册商", "西数", 1);
      addEntry("注册商", "爱名", 2);
      addEntry("自定义分类", "三拼", 1);
      add({makeDomain("qinghe.com"), makeDomain("qinghe.net"), makeDomain("qinghe.cn")});
      open();
    }
    return openByButton("按钮_高级修改");
  }

  QPlainTextEdit* pending() { return part<QPlainTextEdit>("编辑框_待修改列表"); }
  QPlainTextEdit* failures() { return part<QPlainTextEdit>("编辑框_修改失败列表"); }
  void closeAdvancedModify() { closeTool(); }

  std::string storedField(const std::string& name, DomainField field) {
    std::string value;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {name},
               [&](const SqlRow& row) { value = readDomainRecord(row)[field]; });
    return value;
  }

  // The grid cell of `field` in the row showing `domain`.
  QString gridCell(const QString& domain, DomainField field) {
    for (int row = 0; row < model().rowCount(); ++row) {
      if (model().cellText(row, ui::PageModel::kNameColumn) == domain)
        return model().cellText(row, static_cast<int>(field));
    }
    ADD_FAILURE() << "no row " << domain.toStdString();
    return {};
  }
};

TEST_F(AdvancedModifyWindowTest, ControlsCaptionsHelpAndExamples) {
  auto& window = openAdvancedModify();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "高级修改");
  EXPECT_EQ(window.parentWidget(), window_.get());
  EXPECT_EQ(part<QGroupBox>("分组框_待修改")->title(), "待修改列表");
  EXPECT_EQ(part<QGroupBox>("分组框_修改失败列表")->title(), "修改失败列表");
  EXPECT_EQ(part<QGroupBox>("分组框_友情提示")->title(), "友情提示");
  EXPECT_EQ(part<QLabel>("透明标签_tips")->text(), kTips);
  EXPECT_EQ(part<QLineEdit>("编辑框_例子1")->text(),
            "注册商,域名类型,自定义分类,注册时间,到期时间,备注,购买时间,出售时间");
  const QStringList examples = part<QPlainTextEdit>("编辑框_例子2")->toPlainText().split('\n');
  ASSERT_EQ(examples.size(), 3);
  EXPECT_EQ(examples[0].section(',', 1), "注册商=西数,备注=已做站");
  EXPECT_EQ(examples[1].section(',', 1), "注册商=爱名,注册时间=2013-06-10");
  EXPECT_EQ(examples[2].section(',', 1), "注册商=西数,自定义分类=三拼");
  EXPECT_EQ(confirm()->text(), "确认");
  EXPECT_EQ(part<QPushButton>("按钮_关闭")->text(), "关闭");
  EXPECT_NE(part<QStatusBar>("状态条1"), nullptr);

  EXPECT_EQ(window_->gate()->holder(), ui::Operation::AdvancedModify);
  EXPECT_FALSE(control<QAbstractButton>("按钮_筛选")->isEnabled());
  const QPoint off = window.frameGeometry().center() - window_->frameGeometry().center();
  EXPECT_LE(std::abs(off.x()), 2);
  EXPECT_LE(std::abs(off.y()), 2);
  closeAdvancedModify();
  EXPECT_EQ(window_->gate()->state(), ui::OperationGate::State::Idle);
  EXPECT_TRUE(control<QAbstractButton>("按钮_高级修改")->isEnabled());
  control<QCheckBox>("选择框_总在最前")->setChecked(true);
  EXPECT_TRUE(openAdvancedModify().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(AdvancedModifyWindowTest, AnEmptyListIsRefusedWithAMessage) {
  openAdvancedModify();
  for (const QString& text : {QString(), QStringLiteral("\n\n")}) {
    pending()->setPlainText(text);
    QTest::mouseClick(confirm(), Qt::LeftButton);
    EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|没有要修改的域名"});
    EXPECT_TRUE(confirm()->isEnabled());
    EXPECT_TRUE(status().isEmpty());
  }
}

TEST_F(AdvancedModifyWindowTest, TheExamplesApplyAndTheGridReloadsOnClose) {
  openAdvancedModify();
  pending()->setPlainText(part<QPlainTextEdit>("编辑框_例子2")->toPlainText() +
                          "\nmissing.com,备注=x\nqinghe.net,备注=a=b\nqinghe.cn\n");
  runAndWait();
  EXPECT_EQ(status(), "修改完毕: 总数[ 6 ], 成功[ 3 ], 失败[ 3 ]");
  EXPECT_EQ(failures()->toPlainText(),
            "missing.com[域名不存在]\nqinghe.net[格式错误]\nqinghe.cn[格式错误]\n");
  EXPECT_EQ(storedField("qinghe.com", DomainField::Note), "已做站");
  EXPECT_EQ(storedField("qinghe.net", DomainField::RegisteredOn), "2013-06-10");
  EXPECT_EQ(storedField("qinghe.cn", DomainField::Category), "三拼");
  // The list stays for another run.
  EXPECT_TRUE(pending()->toPlainText().startsWith("qinghe.com,"));

  // The grid shows the stored values once the window is gone.
  EXPECT_NE(gridCell("qinghe.net", DomainField::Registrar), "爱名");
  EXPECT_NE(gridCell("qinghe.com", DomainField::Note), "已做站");
  closeAdvancedModify();
  EXPECT_EQ(gridCell("qinghe.net", DomainField::Registrar), "爱名");
  EXPECT_EQ(gridCell("qinghe.com", DomainField::Note), "已做站");
}

TEST_F(AdvancedModifyWindowTest, TheFailureListGrowsAcrossRuns) {
  openAdvancedModify();
  pending()->setPlainText("gone.com,备注=1\nqinghe.com,注册商=无此");
  runAndWait();
  EXPECT_EQ(failures()->toPlainText(), "gone.com[域名不存在]\nqinghe.com[注册商 的值不存在]\n");
  pending()->setPlainText("qinghe.com,注册商=西数,备注=it's\nqinghe.net,注册时间=2013-13-45");
  runAndWait();
  EXPECT_EQ(status(), "修改完毕: 总数[ 2 ], 成功[ 1 ], 失败[ 1 ]");
  EXPECT_EQ(failures()->toPlainText(),
            "gone.com[域名不存在]\nqinghe.com[注册商 的值不存在]\nqinghe.net[格式错误]\n");
  EXPECT_EQ(storedField("qinghe.com", DomainField::Note), "it's");
}

TEST_F(AdvancedModifyWindowTest, ACancelledRunChangesNothingAndSaysSo) {
  openAdvancedModify();
  pending()->setPlainText("qinghe.com,备注=1\nqinghe.net,备注=2");
  QSignalSpy ended(tool_, &ui::AdvancedModifyWindow::runEnded);
  // The database is held while the run starts and is cancelled, so the
  // worker sees the stop before it writes anything.
  db().withConnection([&](SqliteConnection&) {
    QTest::mouseClick(confirm(), Qt::LeftButton);
    auto* cancel = part<QPushButton>("按钮_取消任务");
    ASSERT_TRUE(cancel->isVisible());
    EXPECT_TRUE(part<QProgressBar>("进度条_任务")->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
  });
  ASSERT_TRUE(ended.wait(10000));
  EXPECT_TRUE(status().contains("已取消")) << status().toStdString();
  EXPECT_TRUE(status().contains("成功[ 0 ]")) << status().toStdString();
  EXPECT_EQ(storedField("qinghe.com", DomainField::Note), "");
  EXPECT_TRUE(failures()->toPlainText().isEmpty());
  EXPECT_TRUE(confirm()->isEnabled());

  // Closing during a run asks: kept running it ends as usual; stopped, the
  // window says what was stored as it goes.
  QPointer<ui::AdvancedModifyWindow> window = tool_;
  for (const ui::Answer answer : {ui::Answer::No, ui::Answer::Yes}) {
    db().withConnection([&](SqliteConnection&) {
      QTest::mouseClick(confirm(), Qt::LeftButton);
      ui::Toolkit::queueAnswer(answer);
      QTest::keyClick(tool_, Qt::Key_Escape);
      EXPECT_TRUE(window->isVisible()) << "open while the run goes on";
    });
    ASSERT_TRUE(ended.wait(10000));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QStringList told = ui::Toolkit::takeMessages();
    ASSERT_FALSE(told.isEmpty());
    EXPECT_TRUE(told[0].contains("继续运行")) << told[0].toStdString();
    EXPECT_EQ(window.isNull(), answer == ui::Answer::Yes);
    EXPECT_EQ(told.size(), answer == ui::Answer::Yes ? 2 : 1);
    EXPECT_TRUE(told.size() < 2 || told[1].contains("已取消")) << told.join('\n').toStdString();
  }
  tool_ = nullptr;
  waitForPage();
}

}  // namespace
}  // namespace pelmora::testing

#include <QContextMenuEvent>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolButton>

#include "app/date_updater.h"
#include "app/operation_gate.h"
#include "fake_servers.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QColor kGreen(199, 255, 142);
const QColor kBlueText(0, 128, 255);
const QColor kRedGround(249, 200, 170);

class DateUpdateUiTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", whois_.hostPort());
    webEnv_ = std::make_unique<ScopedEnv>("PELMORA_WEBWHOIS_HOST", web_.hostPort());
    add({makeDomain("ok.com"), makeDomain("bad.top"), makeDomain("free.top")});
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    webEnv_.reset();
    whoisEnv_.reset();
  }

  void rightClick(int row) {
    const QRect cell = window_->grid()->visualRect(model().index(row, 2));
    QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(),
                            window_->grid()->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(window_->grid()->viewport(), &event);
  }
  int rowOf(const QString& domain) {
    for (int row = 0; row < model().rowCount(); ++row) {
      if (model().cellText(row, 1) == domain) return row;
    }
    return -1;
  }
  QColor background(const QString& domain, int column) {
    return model().cellBackground(rowOf(domain), column).value_or(QColor());
  }
  bool waitUntilIdle() {
    return QTest::qWaitFor(
        [&] {
          return !window_->dateUpdater()->label().busy() &&
                 control<QAbstractButton>("按钮_反选")->isEnabled();
        },
        10000);
  }
  std::string stored(const std::string& domain, const char* column) {
    std::string text = "NULL";
    db().query(std::string("SELECT ") + column + " FROM 域名 WHERE 域名=?", {domain},
               [&](const SqlRow& row) { text = row.isNull(0) ? "NULL" : row.asText(0); });
    return text;
  }

  // A WHOIS server that answers after 400 ms, and a batch over ok.com on it.
  ui::MainWindow& startSlowBatchOnOkCom() {
    slow_ =
        std::make_unique<FakeWhoisServer>(std::vector<FakeWhoisServer::Reply>{{{kOkAnswer}, 400}});
    whoisEnv_.reset();  // before the new one is set: the old one unsets the variable
    whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", slow_->hostPort());
    auto& window = open();
    model().setTicked(rowOf("ok.com"), true);
    QTest::mouseClick(control<QAbstractButton>("按钮_更新选中时间"), Qt::LeftButton);
    return window;
  }

  // ok.com's WHOIS answer comes after `delayMs`; the other two answer at once.
  void answerOkComAfter(int delayMs) {
    slow_ = std::make_unique<FakeWhoisServer>(
        std::vector<FakeWhoisServer::Reply>{{{kOkAnswer}, delayMs}});
    whoisEnv_.reset();  // before the new one is set: the old one unsets the variable
    whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", slow_->hostPort());
  }
  QProgressBar* progressBar() {
    auto* bar = window_->statusBar()->findChild<QProgressBar*>("进度条_任务");
    EXPECT_NE(bar, nullptr);
    return bar;
  }
  QPushButton* cancelButton() {
    auto* button = window_->statusBar()->findChild<QPushButton*>("按钮_取消任务");
    EXPECT_NE(button, nullptr);
    return button;
  }

  static inline const std::string kOkAnswer =
      "Domain Name: OK.COM\r\nCreation Date: 2001-02-03T00:00:00Z\r\n"
      "Registry Expiry Date: 2031-02-03T00:00:00Z\r\n";
  FakeWhoisServer whois_{{{{kOkAnswer}}}};
  std::unique_ptr<FakeWhoisServer> slow_;
  FakeHttpServer web_{[](const FakeHttpServer::Request& r) {
    if (r.line().find("domain=free.top") != std::string::npos) {
      return FakeHttpServer::response(200, R"({"code":100})");
    }
    return FakeHttpServer::response(200, R"({"code":500})");
  }};
  std::unique_ptr<ScopedEnv> whoisEnv_;
  std::unique_ptr<ScopedEnv> webEnv_;
};

TEST_F(DateUpdateUiTest, TheAutomaticRefreshStoresTheDueDatesAndEndsWithAStatusLine) {
  setSetting(kSettingAutoRefresh, "1");
  open({}, {}, std::chrono::milliseconds(0));
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return window_->statusText(1).startsWith("自动更新"); }, 10000));
  EXPECT_EQ(window_->statusText(1),
            "自动更新到期时间: 共查询 [3] 个域名的时间, 成功 [2] 个, 失败 [1] 个.");
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());  // no message box
  EXPECT_EQ(stored("ok.com", "最后查询"), formatDate(kTestToday) + " 12:00:00");
  EXPECT_EQ(stored("ok.com", "查询来源"), "127.0.0.1");
  EXPECT_EQ(stored("bad.top", "最后查询"), "NULL");  // no answer: still due
  // The grid shows what the refresh stored at its next look.
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return model().cellText(rowOf("ok.com"), 8) == "2031-02-03"; }, 5000));
}

TEST_F(DateUpdateUiTest, BatchColoursRowsStoresDatesAndReportsCounts) {
  auto& window = open();
  control<QCheckBox>("选择框_全选不选")->setChecked(true);
  ui::Toolkit::queueAnswer(ui::Answer::No);  // fresh data
  QTest::mouseClick(control<QAbstractButton>("按钮_更新选中时间"), Qt::LeftButton);
  EXPECT_FALSE(control<QAbstractButton>("按钮_筛选")->isEnabled());
  EXPECT_TRUE(model().isCellReadOnly(0, 7));
  ASSERT_TRUE(waitUntilIdle());

  const QStringList messages = ui::Toolkit::takeMessages();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[0], "请选择|是否使用缓存数据!\r\n\r\n一般选择 [是] ,提高查询速度!");
  EXPECT_TRUE(messages[1].startsWith("提示!|批量更新时间完毕!\r\n成功 [2] 个"));
  EXPECT_EQ(window.statusText(1),
            "共查询 [3] 个域名的时间, 成功 [2] 个, 失败 [1] 个. 提示:失败的可单独右键更新时间.");
  EXPECT_TRUE(web_.requests()[0].line().find("refresh=1") != std::string::npos);

  EXPECT_EQ(model().cellText(rowOf("ok.com"), 7), "2001-02-03");
  EXPECT_EQ(model().cellText(rowOf("ok.com"), 8), "2031-02-03");
  EXPECT_EQ(model().record(rowOf("ok.com"))[DomainField::ExpiresOn], "2031-02-03");
  EXPECT_EQ(background("ok.com", 8), kGreen);
  EXPECT_EQ(model().data(model().index(rowOf("ok.com"), 7), Qt::ForegroundRole).value<QColor>(),
            kBlueText);
  EXPECT_EQ(model().cellText(rowOf("free.top"), 7), "2222-11-11");
  EXPECT_EQ(background("free.top", 7), kGreen);
  EXPECT_EQ(background("bad.top", 7), kRedGround);
  EXPECT_EQ(model().cellText(rowOf("bad.top"), 7), "");
  EXPECT_EQ(stored("ok.com", "到期时间"), "2031-02-03");
  EXPECT_EQ(stored("free.top", "注册时间"), "2222-11-11");
  EXPECT_EQ(stored("bad.top", "注册时间"), "NULL");

  EXPECT_FALSE(model().isCellReadOnly(0, 7));
  EXPECT_TRUE(control<QAbstractButton>("按钮_筛选")->isEnabled());
  EXPECT_TRUE(control<QCheckBox>("选择框_全选不选")->isEnabled());
  EXPECT_TRUE(control<QAbstractButton>("按钮_单个添加域名")->isEnabled());

  // Again: the green rows are skipped, only the red one is asked.
  QTest::mouseClick(control<QAbstractButton>("按钮_更新选中时间"), Qt::LeftButton);
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(window.statusText(1),
            "共查询 [1] 个域名的时间, 成功 [0] 个, 失败 [1] 个. 提示:失败的可单独右键更新时间.");
}

TEST_F(DateUpdateUiTest, NothingTickedIsTheAllSuccessfulBranch) {
  auto& window = open();
  QTest::mouseClick(control<QAbstractButton>("按钮_更新选中时间"), Qt::LeftButton);
  ASSERT_TRUE(waitUntilIdle());
  const QStringList messages = ui::Toolkit::takeMessages();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[1], "提示!|恭喜您!\r\n共查询 [0] 个, 恭喜您,全部更新成功!");
  EXPECT_EQ(window.statusText(1), "共查询 [0] 个域名的时间, 恭喜您,全部更新成功!");
}

TEST_F(DateUpdateUiTest, GridMenuUpdatesOneRowAndIsRefusedWhileBusy) {
  auto& window = startSlowBatchOnOkCom();
  QApplication::processEvents();
  rightClick(rowOf("bad.top"));
  EXPECT_FALSE(window.gridMenuUpdateAction()->isEnabled());
  EXPECT_TRUE(window.gridMenu()->actions()[2]->text().startsWith("正在更新 [ "));
  window.gridMenu()->hide();
  QSignalSpy rows(window.dateUpdater(), &ui::DateUpdater::rowFinished);
  window.gridMenuUpdateAction()->trigger();  // refused: no second run
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(rows.count(), 1);  // the batch's one row only
  ui::Toolkit::takeMessages();

  rightClick(rowOf("ok.com"));
  ASSERT_TRUE(window.gridMenuUpdateAction()->isEnabled());
  QSignalSpy finished(window.dateUpdater(), &ui::DateUpdater::rowFinished);
  window.gridMenuUpdateAction()->trigger();
  window.gridMenu()->hide();
  // The one-row run holds the others off until it is done.
  EXPECT_FALSE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
  ASSERT_TRUE(finished.wait(10000));
  EXPECT_EQ(background("ok.com", 7), kGreen);
  EXPECT_EQ(window.statusText(1), "提示: [ ok.com] 获取时间完毕.");
  EXPECT_TRUE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());  // no message box for one row
}

TEST_F(DateUpdateUiTest, ToolWindowsCannotReenableButtonsDuringABatch) {
  auto& window = startSlowBatchOnOkCom();
  menuAction("菜单_文件", "高级筛选")->trigger();
  menuAction("菜单_文件", "高级筛选")->trigger();
  EXPECT_FALSE(window.filterWindow()->isVisible());
  EXPECT_FALSE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_TRUE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
}

TEST_F(DateUpdateUiTest, ButtonAndMenuItemAreOneActionThatARunningBatchHolds) {
  auto& window = startSlowBatchOnOkCom();
  auto* button = control<QToolButton>("按钮_更新选中时间");
  QAction* item = menuAction("菜单_批量操作", "更新选中时间");
  EXPECT_EQ(button->defaultAction(), item);
  EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(item->isEnabled());
  EXPECT_EQ(ui::Toolkit::takeMessages().size(), 1);  // the cache question of the run

  QSignalSpy batches(window.dateUpdater(), &ui::DateUpdater::batchFinished);
  // The gate itself refuses a second run, whoever asks.
  EXPECT_FALSE(window.gate()->beginRun(ui::Operation::UpdateSelectedDates));
  EXPECT_FALSE(window.gate()->allows(ui::Operation::UpdateRowDates));
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());  // no second run asked its question
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(batches.count(), 1);
  EXPECT_EQ(ui::Toolkit::takeMessages().size(), 1);  // one report
  EXPECT_TRUE(button->isEnabled());
  EXPECT_TRUE(item->isEnabled());
}

TEST_F(DateUpdateUiTest, ReloadDuringABatchNeverPaintsTheNewRows) {
  auto& window = startSlowBatchOnOkCom();
  window.loadPage(true);
  ASSERT_TRUE(waitUntilIdle());
  for (int row = 0; row < model().rowCount(); ++row) {
    EXPECT_FALSE(model().cellBackground(row, 7).has_value()) << row;
  }
  EXPECT_EQ(stored("ok.com", "注册时间"), "2001-02-03");
}

TEST_F(DateUpdateUiTest, ABatchShowsItsProgressAndCancelStopsAfterTheCurrentDomain) {
  answerOkComAfter(1500);
  auto& window = open();
  EXPECT_FALSE(progressBar()->isVisible());  // idle
  EXPECT_FALSE(cancelButton()->isVisible());
  ASSERT_EQ(rowOf("ok.com"), 2);  // looked up last
  control<QCheckBox>("选择框_全选不选")->setChecked(true);
  ui::Toolkit::queueAnswer(ui::Answer::No);
  QTest::mouseClick(control<QAbstractButton>("按钮_更新选中时间"), Qt::LeftButton);
  EXPECT_TRUE(progressBar()->isVisible());
  EXPECT_EQ(progressBar()->text(), "0/3");
  EXPECT_EQ(cancelButton()->text(), "取消");
  EXPECT_TRUE(cancelButton()->isEnabled());

  // The two web-whois rows are done; ok.com's lookup is waiting for its server.
  ASSERT_TRUE(QTest::qWaitFor([&] { return progressBar()->value() == 2; }, 10000));
  EXPECT_EQ(progressBar()->text(), "2/3");
  QTest::mouseClick(cancelButton(), Qt::LeftButton);
  ASSERT_TRUE(waitUntilIdle());

  EXPECT_EQ(window.statusText(1),
            "已取消: 共 [3] 个域名, 成功 [1] 个, 失败 [1] 个, 未查询 [1] 个. "
            "提示:失败的可单独右键更新时间.");
  const QStringList messages = ui::Toolkit::takeMessages();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[1], "提示!|批量更新时间已取消!\r\n成功 [1] 个, 失败 [1] 个, 未查询 [1] 个.");
  EXPECT_EQ(stored("ok.com", "注册时间"), "NULL");  // the abandoned lookup stored nothing
  EXPECT_FALSE(model().cellBackground(rowOf("ok.com"), 7).has_value());
  EXPECT_EQ(background("free.top", 7), kGreen);
  EXPECT_FALSE(progressBar()->isVisible());
  EXPECT_FALSE(cancelButton()->isVisible());
  EXPECT_FALSE(model().isCellReadOnly(0, 7));
}

TEST_F(DateUpdateUiTest, CancellingTheOneRowUpdateFreesTheOthers) {
  answerOkComAfter(1500);
  auto& window = open();
  QApplication::processEvents();
  rightClick(rowOf("ok.com"));
  window.gridMenuUpdateAction()->trigger();
  window.gridMenu()->hide();
  EXPECT_TRUE(progressBar()->isVisible());
  EXPECT_EQ(progressBar()->text(), "0/1");
  EXPECT_FALSE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return slow_->connections() == 1; }, 5000));

  QTest::mouseClick(cancelButton(), Qt::LeftButton);
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_TRUE(control<QAbstractButton>("按钮_更新选中时间")->isEnabled());
  EXPECT_FALSE(progressBar()->isVisible());
  EXPECT_EQ(stored("ok.com", "注册时间"), "NULL");
  EXPECT_FALSE(model().cellBackground(rowOf("ok.com"), 7).has_value());
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
}

TEST_F(DateUpdateUiTest, ClosingTheWindowMidRunJoinsTheWorker) {
  FakeWhoisServer slow({{{"Domain Name: OK.COM\r\n"}, 300}});
  ScopedEnv env("PELMORA_WHOIS_SERVER", slow.hostPort());
  open();
  model().setTicked(rowOf("ok.com"), true);
  QTest::mouseClick(control<QAbstractButton>("按钮_更新选中时间"), Qt::LeftButton);
  window_.reset();  // stops and joins the worker
  const int asked = slow.connections();
  EXPECT_LE(asked, 1);
  QTest::qWait(400);
  EXPECT_EQ(slow.connections(), asked);  // nothing is still asking
}

}  // namespace
}  // namespace pelmora::testing

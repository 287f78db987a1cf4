// Page loads run on a worker: the window keeps handling events while a slow
// read is outstanding, says so after a moment, and shows only the answer to
// the latest request.

#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "ui/page_loader.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

using namespace std::chrono_literals;

// Holds the first read back until opened (at the latest when the gate goes),
// so that a later request overtakes it.
class ReadGate {
 public:
  ReadGate() : opened_(promise_.get_future().share()) {}
  ~ReadGate() { open(); }
  ReadGate(const ReadGate&) = delete;
  ReadGate& operator=(const ReadGate&) = delete;

  void open() {
    std::call_once(once_, [this] { promise_.set_value(); });
  }
  std::function<void()> holdFirstRead() {
    return [opened = opened_, first = std::make_shared<std::atomic<bool>>(true), held = held_] {
      if (first->exchange(false)) {
        *held = true;
        opened.wait();
      }
    };
  }
  // The first read is waiting at the gate: a later request is really later.
  bool holding() const { return *held_; }

 private:
  std::promise<void> promise_;
  std::shared_future<void> opened_;
  std::once_flag once_;
  std::shared_ptr<std::atomic<bool>> held_ = std::make_shared<std::atomic<bool>>(false);
};

class PageLoadingTest : public MainWindowTest {
 public:
  using MainWindowTest::control;
  void clickHeader(int column) { emit window_->grid()->horizontalHeader()->sectionClicked(column); }
  void pickPage(int index) {
    auto* list = control<QComboBox>("组合框_分页");
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

 protected:
  QLabel* readingLabel() {
    auto* label = window_->statusBar()->findChild<QLabel*>("状态条1_读取");
    EXPECT_NE(label, nullptr);
    return label;
  }
  // Counts the answers shown and the first domain of each page shown.
  void watchAnswers() {
    QObject::connect(window_.get(), &ui::MainWindow::pageLoaded, window_.get(),
                     [this] { ++answers_; });
    QObject::connect(&model(), &QAbstractItemModel::modelReset, window_.get(),
                     [this] { firstDomains_ << model().cellText(0, 1); });
  }
  // Lets a held-back read finish and hand in its (late) answer.
  void letLateAnswerArrive(ReadGate& gate) {
    gate.open();
    QTest::qWait(300);
  }

  int answers_ = 0;
  QStringList firstDomains_;
};

TEST_F(PageLoadingTest, ASlowPageLeavesTheEventLoopRunningAndShowsTheReadingSign) {
  addNumbered(250);
  auto& window = open();
  QLabel* reading = readingLabel();
  ASSERT_NE(reading, nullptr);
  EXPECT_FALSE(reading->isVisible());
  window.pageLoader()->setBeforeRead([] { std::this_thread::sleep_for(500ms); });

  int ticks = 0;
  QTimer ticker;
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, &ticker, [&ticks] { ++ticks; });
  ticker.start();
  QTest::mouseClick(control<QAbstractButton>("按钮_下一页"), Qt::LeftButton);
  EXPECT_TRUE(window.isLoading());
  EXPECT_FALSE(reading->isVisible());  // not at once: only a read that takes a while

  EXPECT_TRUE(QTest::qWaitFor([&] { return reading->isVisible(); }, 5000));
  EXPECT_TRUE(window.isLoading());
  EXPECT_EQ(reading->text(), "正在读取…");
  EXPECT_EQ(window.grid()->viewport()->cursor().shape(), Qt::BusyCursor);
  // A blocked event loop would fire the timer at most once, after the read.
  EXPECT_GE(ticks, 3);

  waitForPage();
  EXPECT_FALSE(reading->isVisible());
  EXPECT_NE(window.grid()->viewport()->cursor().shape(), Qt::BusyCursor);
  EXPECT_EQ(model().cellText(0, 1), "n150.com");
  EXPECT_EQ(control<QComboBox>("组合框_分页")->currentIndex(), 1);
}

TEST_F(PageLoadingTest, TheSecondSortClickWinsAndTheFirstAnswerIsDropped) {
  addNumbered(10);
  auto& window = open();
  watchAnswers();
  ReadGate gate;
  window.pageLoader()->setBeforeRead(gate.holdFirstRead());

  clickHeader(13);  // 对外标价: held back
  ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate.holding(); }));
  clickHeader(1);  // 域名
  waitForPage();
  EXPECT_EQ(window.sortKey(), "域名");
  EXPECT_EQ(window.grid()->sortColumn(), 1);
  EXPECT_EQ(model().cellText(0, 1), "n9.com");

  letLateAnswerArrive(gate);
  EXPECT_EQ(answers_, 1);
  EXPECT_EQ(firstDomains_, QStringList{"n9.com"});
  EXPECT_EQ(model().cellText(0, 1), "n9.com");
}

TEST_F(PageLoadingTest, APageChangedWhileLoadingEndsOnTheLastPageAsked) {
  addNumbered(250);
  auto& window = open();
  watchAnswers();
  ReadGate gate;
  window.pageLoader()->setBeforeRead(gate.holdFirstRead());

  QTest::mouseClick(control<QAbstractButton>("按钮_下一页"), Qt::LeftButton);  // held back
  ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate.holding(); }));
  pickPage(2);
  waitForPage();
  letLateAnswerArrive(gate);

  EXPECT_EQ(answers_, 1);
  EXPECT_EQ(firstDomains_, QStringList{"n50.com"});
  EXPECT_EQ(control<QComboBox>("组合框_分页")->currentIndex(), 2);
  EXPECT_TRUE(control<QAbstractButton>("按钮_上一页")->isEnabled());
  EXPECT_FALSE(control<QAbstractButton>("按钮_下一页")->isEnabled());
  EXPECT_EQ(caption(), "翻页,总数[250]个,共[3]页");
}

// Each way of asking for a page, failing on the worker: the reason is shown
// and the grid, page list, buttons and sort column stay as they were.
struct FailingLoad {
  const char* name;
  std::function<void(PageLoadingTest&, ui::MainWindow&)> ask;
};

class FailingLoads : public PageLoadingTest, public ::testing::WithParamInterface<FailingLoad> {};

TEST_P(FailingLoads, ShowTheReasonAndKeepThePage) {
  addNumbered(250);
  auto& window = open();
  pickPage(1);
  waitForPage();
  ASSERT_EQ(model().cellText(0, 1), "n150.com");
  ui::Toolkit::takeMessages();
  window.pageLoader()->setBeforeRead(
      [&db = db()] { ASSERT_TRUE(db.run("ALTER TABLE 域名 RENAME TO 域名_移走")); });

  GetParam().ask(*this, window);
  waitForPage();

  const QStringList messages = ui::Toolkit::takeMessages();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("读取数据失败,列表保持原样.")) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains("域名")) << messages[0].toStdString();
  EXPECT_EQ(model().rowCount(), 100);
  EXPECT_EQ(model().cellText(0, 1), "n150.com");
  EXPECT_EQ(control<QComboBox>("组合框_分页")->currentIndex(), 1);
  EXPECT_TRUE(control<QAbstractButton>("按钮_上一页")->isEnabled());
  EXPECT_TRUE(control<QAbstractButton>("按钮_下一页")->isEnabled());
  EXPECT_EQ(caption(), "翻页,总数[250]个,共[3]页");
  EXPECT_EQ(window.sortKey(), "id");
  EXPECT_EQ(window.grid()->sortColumn(), -1);
  EXPECT_FALSE(window.isLoading());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, FailingLoads,
    ::testing::Values(
        FailingLoad{"NextPage",
                    [](PageLoadingTest& test, ui::MainWindow&) {
                      QTest::mouseClick(test.control<QAbstractButton>("按钮_下一页"),
                                        Qt::LeftButton);
                    }},
        FailingLoad{"PickedPage", [](PageLoadingTest& test, ui::MainWindow&) { test.pickPage(0); }},
        FailingLoad{"SortClick",
                    [](PageLoadingTest& test, ui::MainWindow&) { test.clickHeader(13); }},
        FailingLoad{"ReloadWithCounts",
                    [](PageLoadingTest&, ui::MainWindow& window) { window.loadPage(true); }}),
    [](const ::testing::TestParamInfo<FailingLoad>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmora::testing

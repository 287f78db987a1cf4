#include "ui/report/report_window.h"

#include <sys/resource.h>

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFile>
#include <QFormLayout>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <atomic>
#include <csignal>
#include <fstream>
#include <future>
#include <iterator>

#include "app/main_actions.h"
#include "app/operation_gate.h"
#include "ui/date_box.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QString kTitle = QStringLiteral(
    "报表统计  (注:报表功能所有数值统一四舍五入到百分位,并且忽视手续费的计算.仅供参考)");
const QStringList kSeriesNames = {"购买数量", "购买成本", "购买均价",
                                  "销售数量", "销售金额", "销售均价"};
const QList<QColor> kSeriesColours = {{135, 206, 250}, {70, 130, 180},  {160, 160, 0},
                                      {255, 127, 80},  {189, 183, 107}, {255, 20, 147}};

// Today is 2017-03-15: by months the initial range gives 2017年/1月..3月.
//   January:  two bought (10 + 20.5), nothing sold
//   February: nothing bought, one sold for 100 (bought in 2016)
//   March:    one bought (7), one sold for 30 (bought in January)
class ReportWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    add({makeDomain("a.com", {{DomainField::OneTimeCost, "10"},
                              {DomainField::PurchasedOn, "2017-01-05"},
                              {DomainField::FinalPrice, "30"},
                              {DomainField::SoldOn, "2017-03-02"}}),
         makeDomain("b.com",
                    {{DomainField::OneTimeCost, "20.5"}, {DomainField::PurchasedOn, "2017-01-20"}}),
         makeDomain("c.com",
                    {{DomainField::OneTimeCost, "7"}, {DomainField::PurchasedOn, "2017-03-10"}}),
         makeDomain("d.com", {{DomainField::OneTimeCost, "5"},
                              {DomainField::PurchasedOn, "2016-06-01"},
                              {DomainField::FinalPrice, "100"},
                              {DomainField::SoldOn, "2017-02-14"}}),
         makeDomain("e.com",
                    {{DomainField::OneTimeCost, "1"}, {DomainField::PurchasedOn, "2016-12-31"}})});
  }
  void TearDown() override {
    report_.reset();
    MainWindowTest::TearDown();
  }

  ui::ReportWindow& openReport() {
    report_ = std::make_unique<ui::ReportWindow>(nullptr, db(), Clock::fixed(kTestToday));
    report_->show();
    waitForReport();
    return *report_;
  }
  void waitForReport() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !report_->isReporting(); }, 10000));
  }

  template <typename T>
  T* part(const QString& name) {
    T* found = report_->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QChart* chart() { return part<QChartView>("柱状图控件1")->chart(); }
  QBarSeries* bars() {
    const QList<QAbstractSeries*> series = chart()->series();
    EXPECT_EQ(series.size(), 1);
    return series.isEmpty() ? nullptr : qobject_cast<QBarSeries*>(series.front());
  }
  QStringList drawnSeries() {
    QStringList names;
    for (QBarSet* set : bars()->barSets()) names << set->label();
    return names;
  }
  QCategoryAxis* periodAxis() {
    const auto axes = chart()->axes(Qt::Horizontal);
    EXPECT_EQ(axes.size(), 1);
    return qobject_cast<QCategoryAxis*>(axes.front());
  }
  QStringList periodLabels() { return periodAxis()->categoriesLabels(); }
  // The texts the chart shows, whole and not hidden.
  QStringList drawnTexts() {
    QStringList texts;
    for (QGraphicsItem* item : part<QChartView>("柱状图控件1")->scene()->items()) {
      auto* text = dynamic_cast<QGraphicsTextItem*>(item);
      if (text != nullptr && text->isVisible()) texts << text->toPlainText();
    }
    return texts;
  }
  QStringList totals() {
    QStringList texts;
    for (const char* name :
         {"编辑框_购买总数", "编辑框_总成本", "编辑框_购买均价", "编辑框_销售总数",
          "编辑框_总销售额", "编辑框_销售均价", "编辑框_总利润"}) {
      texts << part<QLineEdit>(QString::fromUtf8(name))->text();
    }
    return texts;
  }
  void choose(const QString& from, const QString& to, const QString& unit) {
    part<ui::DateBox>("日期框_开始时间")->setDate(parseDate(from.toStdString()));
    part<ui::DateBox>("日期框_结束时间")->setDate(parseDate(to.toStdString()));
    part<QComboBox>("组合框_单位")->setCurrentText(unit);
    confirm();
  }
  void confirm() {
    part<QPushButton>("按钮_确定")->click();
    waitForReport();
  }
  QAction* menuItem(const QString& caption) {
    for (QAction* action : report_->chartMenu()->actions()) {
      if (action->text() == caption) return action;
    }
    ADD_FAILURE() << "no item " << caption.toStdString();
    return nullptr;
  }
  // The file dialog answers `path` and records what it was asked.
  void answerSaveWith(const QString& path) {
    report_->setSaveFileAsker(
        [this, path](QWidget*, const QString& caption, const QString&, const QString& filter) {
          asked_ << caption + "|" + filter;
          return path;
        });
  }

  std::unique_ptr<ui::ReportWindow> report_;
  QStringList asked_;
};

TEST_F(ReportWindowTest, EveryControlHasItsNameAndCaption) {
  auto& window = openReport();
  EXPECT_EQ(window.windowTitle(), kTitle);
  EXPECT_FALSE(window.isModal());
  const std::pair<const char*, const char*> groups[] = {
      {"分组框_请选择", "请选择"}, {"分组框1", ""}, {"分组框_周期总统计", "周期总统计"}};
  for (const auto& [name, caption] : groups) {
    EXPECT_EQ(part<QGroupBox>(name)->title(), QString::fromUtf8(caption)) << name;
  }
  const std::pair<const char*, const char*> labels[] = {
      {"透明标签_至", "至"},
      {"透明标签_时间单位", "时间单位"},
      {"透明标签_tips", "提示: 如时间单位选择年,则选择的时间只需要精确到年.选择月份也同理."}};
  for (const auto& [name, caption] : labels) {
    EXPECT_EQ(part<QLabel>(name)->text(), QString::fromUtf8(caption)) << name;
  }
  EXPECT_EQ(part<QPushButton>("按钮_确定")->text(), "确定");
  EXPECT_EQ(part<QPushButton>("按钮_关闭")->text(), "关闭");
  for (const QString& series : kSeriesNames) {
    EXPECT_EQ(part<QCheckBox>("选择框_" + series)->text(), series);
  }
  auto* unit = part<QComboBox>("组合框_单位");
  ASSERT_EQ(unit->count(), 3);
  EXPECT_EQ(QStringList({unit->itemText(0), unit->itemText(1), unit->itemText(2)}),
            QStringList({"日", "月", "年"}));
  part<QStatusBar>("状态条1");
  part<QChartView>("柱状图控件1");
  const std::pair<const char*, const char*> totalLabels[] = {
      {"编辑框_购买总数", "购买总数"}, {"编辑框_总成本", "总 成 本"},
      {"编辑框_购买均价", "购买均价"}, {"编辑框_销售总数", "销售总数"},
      {"编辑框_总销售额", "总销售额"}, {"编辑框_销售均价", "销售均价"},
      {"编辑框_总利润", "总 利 润"}};
  auto* form = qobject_cast<QFormLayout*>(part<QGroupBox>("分组框_周期总统计")->layout());
  ASSERT_NE(form, nullptr);
  for (const auto& [name, caption] : totalLabels) {
    auto* label = qobject_cast<QLabel*>(form->labelForField(part<QLineEdit>(name)));
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->text(), QString::fromUtf8(caption)) << name;
  }
}

TEST_F(ReportWindowTest, OpensOnThisYearByMonthsWithEverySeriesTicked) {
  openReport();
  EXPECT_EQ(part<ui::DateBox>("日期框_开始时间")->text(), "2017-01-01");
  EXPECT_EQ(part<ui::DateBox>("日期框_结束时间")->text(), "2017-03-15");
  EXPECT_EQ(part<QComboBox>("组合框_单位")->currentText(), "月");
  for (const QString& series : kSeriesNames) {
    EXPECT_TRUE(part<QCheckBox>("选择框_" + series)->isChecked()) << series.toStdString();
  }
}

TEST_F(ReportWindowTest, OpeningRunsTheReportIntoChartAndTotals) {
  openReport();
  EXPECT_EQ(periodLabels(), QStringList({"2017年/1月", "2017年/2月", "2017年/3月"}));
  EXPECT_EQ(drawnSeries(), kSeriesNames);
  const QList<QBarSet*> sets = bars()->barSets();
  ASSERT_EQ(sets.size(), 6);
  const std::vector<std::vector<double>> expected = {{2, 0, 1}, {30.5, 0, 7}, {15.25, 0, 7},
                                                     {0, 1, 1}, {0, 100, 30}, {0, 100, 30}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(sets[i]->color(), kSeriesColours[i]) << i;
    ASSERT_EQ(sets[i]->count(), 3) << i;
    for (int column = 0; column < 3; ++column) {
      EXPECT_DOUBLE_EQ(sets[i]->at(column), expected[i][column]) << i << "," << column;
    }
  }
  const auto values = chart()->axes(Qt::Vertical);
  ASSERT_EQ(values.size(), 1);
  EXPECT_DOUBLE_EQ(qobject_cast<QValueAxis*>(values.front())->min(), 0);
  EXPECT_DOUBLE_EQ(qobject_cast<QValueAxis*>(values.front())->max(), 101);
  EXPECT_TRUE(chart()->legend()->isVisible());
  // The range is widened to whole months: March's sale counts.
  EXPECT_EQ(totals(), QStringList({" 3 个", " 37.5 元", " 12.5 元", " 2 个", " 130 元", " 65 元",
                                   " 92.5 元"}));
}

TEST_F(ReportWindowTest, ConfirmRunsTheChosenRangeAndUnit) {
  struct Case {
    const char* from;
    const char* to;
    const char* unit;
    QStringList labels;
    const char* boughtTotal;
  };
  const Case cases[] = {
      {"2017-03-10", "2017-03-11", "日", {"2017/03/10", "2017/03/11"}, " 1 个"},
      {"2016-05-05", "2017-02-01", "年", {"2016年", "2017年"}, " 5 个"},
      // typed backwards: the months between the two dates
      {"2017-03-01", "2017-01-01", "月", {"2017年/1月", "2017年/2月", "2017年/3月"}, " 3 个"},
  };
  openReport();
  for (const Case& c : cases) {
    choose(c.from, c.to, c.unit);
    EXPECT_EQ(periodLabels(), c.labels) << c.unit;
    EXPECT_EQ(totals().front(), QString::fromUtf8(c.boughtTotal)) << c.unit;
  }
}

TEST_F(ReportWindowTest, LongRangesGetFewWholeLabelsAndEveryBarItsTip) {
  struct Case {
    const char* from;
    const char* to;
    const char* unit;
    int columns;
    int hovered;
    const char* tip;
  };
  const Case cases[] = {{"2016-01-01", "2016-12-31", "日", 366, 365, "购买成本  2016/12/31: 1"},
                        {"2010-01-01", "2017-12-31", "月", 96, 84, "购买成本  2017年/1月: 30.5"},
                        {"2008-01-01", "2017-12-31", "日", 3653, 3652, "购买成本  2017/12/31: 0"}};
  openReport();
  for (const Case& c : cases) {
    choose(c.from, c.to, c.unit);
    QBarSet* cost = bars()->barSets().at(1);
    ASSERT_EQ(cost->count(), c.columns) << c.unit;
    const QStringList labels = periodLabels();
    EXPECT_GE(labels.size(), 3) << c.from;
    EXPECT_LE(labels.size(), 12) << c.from;
    const QStringList drawn = drawnTexts();
    for (const QString& label : labels) {
      const auto period = static_cast<std::size_t>(periodAxis()->endValue(label));
      EXPECT_EQ(label.toStdString(), report_->report().columns.at(period).label);
      EXPECT_TRUE(drawn.contains(label)) << label.toStdString();
    }
    emit bars()->hovered(true, c.hovered, cost);
    EXPECT_EQ(QToolTip::text(), QString::fromUtf8(c.tip));
  }
}

TEST_F(ReportWindowTest, TheQueryRunsOnAWorkerAndOnlyTheLatestAnswerIsShown) {
  openReport();
  std::promise<void> release;
  report_->setBeforeQuery(
      [held = release.get_future().share(), first = std::make_shared<std::atomic<bool>>(true)] {
        if (first->exchange(false)) held.wait();
      });
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, &ticker, [&ticks] { ++ticks; });
  ticker.start(10);
  part<QComboBox>("组合框_单位")->setCurrentText("年");
  part<QPushButton>("按钮_确定")->click();  // held back on the worker
  QTest::qWait(200);
  EXPECT_GE(ticks, 5);
  EXPECT_TRUE(report_->isReporting());
  EXPECT_EQ(report_->cursor().shape(), Qt::BusyCursor);
  EXPECT_EQ(periodLabels().size(), 3);

  choose("2017-03-10", "2017-03-11", "日");
  EXPECT_EQ(periodLabels(), QStringList({"2017/03/10", "2017/03/11"}));
  release.set_value();
  QTest::qWait(200);
  EXPECT_EQ(periodLabels(), QStringList({"2017/03/10", "2017/03/11"}));
  EXPECT_EQ(totals().front(), " 1 个");
  EXPECT_NE(report_->cursor().shape(), Qt::BusyCursor);
}

TEST_F(ReportWindowTest, UntickedSeriesAreNotDrawn) {
  openReport();
  part<QCheckBox>("选择框_购买成本")->setChecked(false);
  part<QCheckBox>("选择框_销售金额")->setChecked(false);
  confirm();
  EXPECT_EQ(drawnSeries(), QStringList({"购买数量", "购买均价", "销售数量", "销售均价"}));
  const QList<QBarSet*> sets = bars()->barSets();
  EXPECT_EQ(sets[1]->color(), kSeriesColours[2]);
  EXPECT_EQ(sets[3]->color(), kSeriesColours[5]);

  for (const QString& series : kSeriesNames) part<QCheckBox>("选择框_" + series)->setChecked(false);
  confirm();
  EXPECT_TRUE(drawnSeries().isEmpty());
  EXPECT_EQ(periodLabels().size(), 3);
  EXPECT_EQ(totals().back(), " 92.5 元");
}

TEST_F(ReportWindowTest, AFailedQueryIsReportedAndTheChartIsKept) {
  openReport();
  ui::Toolkit::takeMessages();
  ASSERT_TRUE(db().run("DROP TABLE 域名"));
  confirm();
  const QStringList messages = ui::Toolkit::takeMessages();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages.front().startsWith("提示:|统计失败")) << messages.front().toStdString();
  EXPECT_EQ(periodLabels().size(), 3);
  EXPECT_EQ(totals().front(), " 3 个");
}

TEST_F(ReportWindowTest, HoveringABarShowsItsExactValue) {
  openReport();
  QBarSet* cost = bars()->barSets().at(1);
  emit bars()->hovered(true, 0, cost);
  EXPECT_EQ(QToolTip::text(), "购买成本  2017年/1月: 30.5");
  emit bars()->hovered(false, 0, cost);
  for (int i = 0; i < 100 && QToolTip::isVisible(); ++i) QTest::qWait(20);
  EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(ReportWindowTest, TheChartIsSavedAsPngAndSvg) {
  openReport();
  TempFolder folder;
  const QString png = QString::fromStdString(folder.file("chart.png").string());
  answerSaveWith(png);
  menuItem("保存图表为 PNG…")->trigger();
  QImage image;
  ASSERT_TRUE(image.load(png));
  EXPECT_EQ(image.size(), part<QChartView>("柱状图控件1")->size());

  const QString svg = QString::fromStdString(folder.file("chart.svg").string());
  answerSaveWith(svg);
  menuItem("保存图表为 SVG…")->trigger();
  QFile file(svg);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("<svg"));
  EXPECT_TRUE(text.contains("2017年/2月"));
  EXPECT_EQ(asked_,
            QStringList({"保存图表为 PNG…|PNG 图片 (*.png)", "保存图表为 SVG…|SVG 图片 (*.svg)"}));
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
}

const char* const kSaveItems[] = {"保存图表为 PNG…", "保存图表为 SVG…", "导出表格为 CSV…"};

TEST_F(ReportWindowTest, ACancelledOrUnwritableSaveWritesNothing) {
  openReport();
  TempFolder folder;
  answerSaveWith(QString());
  menuItem("保存图表为 PNG…")->trigger();
  menuItem("导出表格为 CSV…")->trigger();
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());

  const QString missing = QString::fromStdString(folder.file("no/such/folder/x").string());
  for (const char* item : kSaveItems) {
    answerSaveWith(missing);
    menuItem(QString::fromUtf8(item))->trigger();
    const QStringList messages = ui::Toolkit::takeMessages();
    ASSERT_EQ(messages.size(), 1) << item;
    EXPECT_TRUE(messages[0].startsWith("提示:|无法写入文件:\r\n" + missing + "\r\n\r\n原因: "))
        << messages[0].toStdString();
  }
}

// The disk fills up midway: no file of this process may grow past a few bytes.
class DiskFullAfter {
 public:
  explicit DiskFullAfter(rlim_t bytes) : ignored_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    const rlimit limit{bytes, saved_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~DiskFullAfter() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, ignored_);
  }
  DiskFullAfter(const DiskFullAfter&) = delete;
  DiskFullAfter& operator=(const DiskFullAfter&) = delete;

 private:
  rlimit saved_{};
  void (*ignored_)(int);
};

TEST_F(ReportWindowTest, ASaveCutShortIsReportedAndKeepsTheFileThatWasThere) {
  openReport();
  TempFolder folder;
  const auto target = folder.file("report.out");
  const QString path = QString::fromStdString(target.string());
  for (const char* item : kSaveItems) {
    std::ofstream(target) << "earlier";
    answerSaveWith(path);
    {
      DiskFullAfter full(64);
      menuItem(QString::fromUtf8(item))->trigger();
    }
    const QStringList messages = ui::Toolkit::takeMessages();
    ASSERT_EQ(messages.size(), 1) << item;
    EXPECT_TRUE(messages[0].startsWith("提示:|无法写入文件:\r\n" + path + "\r\n\r\n原因: "))
        << messages[0].toStdString();
    std::ifstream kept(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "earlier") << item;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << item;
  }
}

TEST_F(ReportWindowTest, TheTableIsExportedAsCsv) {
  openReport();
  TempFolder folder;
  const QString csv = QString::fromStdString(folder.file("report.csv").string());
  answerSaveWith(csv);
  menuItem("导出表格为 CSV…")->trigger();
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()),
            "期间,购买数量,购买成本,购买均价,销售数量,销售金额,销售均价,销售利润\r\n"
            "2017年/1月,2,30.5,15.25,0,0,0,\r\n"
            "2017年/2月,0,0,0,1,100,100,\r\n"
            "2017年/3月,1,7,7,1,30,30,\r\n"
            "合计,3,37.5,12.5,2,130,65,92.5\r\n");
}

TEST_F(ReportWindowTest, CopyPutsTheChartOnTheClipboard) {
  openReport();
  QApplication::clipboard()->clear();
  menuItem("复制图表")->trigger();
  const QImage image = QApplication::clipboard()->image();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), part<QChartView>("柱状图控件1")->size());
}

TEST_F(ReportWindowTest, TheChartGrowsWithTheWindowDownToTheMinimumSize) {
  auto& window = openReport();
  EXPECT_EQ(window.minimumSize(), QSize(915, 390));
  // Everything fits at the minimum: the layout needs no more.
  EXPECT_LE(window.layout()->minimumSize().width(), 915);
  EXPECT_LE(window.layout()->minimumSize().height(), 390);
  window.resize(915, 390);
  QApplication::processEvents();
  auto* view = part<QChartView>("柱状图控件1");
  auto* totalsGroup = part<QGroupBox>("分组框_周期总统计");
  auto* choices = part<QGroupBox>("分组框_请选择");
  const QSize viewBefore = view->size();
  const int totalsBefore = totalsGroup->height();
  const QRect choicesBefore = choices->geometry();

  window.resize(915 + 200, 390 + 150);
  QApplication::processEvents();
  EXPECT_EQ(view->size(), viewBefore + QSize(200, 150));
  EXPECT_EQ(totalsGroup->height(), totalsBefore + 150);
  EXPECT_EQ(choices->y(), choicesBefore.y() + 150);
  EXPECT_EQ(choices->width(), choicesBefore.width() + 200);

  window.resize(600, 200);
  QApplication::processEvents();
  EXPECT_EQ(window.size(), QSize(915, 390));
}

TEST_F(ReportWindowTest, TheMenuItemTogglesTheWindowWithoutHoldingOtherOperations) {
  open();
  QAction* report = menuAction("菜单_文件", "报表统计");
  ASSERT_NE(report, nullptr);
  EXPECT_TRUE(report->isEnabled());
  report->trigger();
  QApplication::processEvents();
  auto* shown = window_->findChild<ui::ReportWindow*>();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([shown] { return !shown->isReporting(); }));
  EXPECT_EQ(shown->findChild<QLineEdit*>("编辑框_购买总数")->text(), " 3 个");
  EXPECT_EQ(window_->gate()->state(), ui::OperationGate::State::Idle);
  EXPECT_TRUE(window_->actions()->action(ui::Operation::Filter)->isEnabled());

  report->trigger();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window_->findChild<ui::ReportWindow*>(), nullptr);

  report->trigger();
  shown = window_->findChild<ui::ReportWindow*>();
  ASSERT_NE(shown, nullptr);
  QPointer<ui::ReportWindow> closing = shown;
  shown->findChild<QPushButton*>("按钮_关闭")->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(closing.isNull());
  EXPECT_TRUE(report->isEnabled());
}

}  // namespace
}  // namespace pelmora::testing

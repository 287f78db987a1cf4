#include "ui/editing/single_add_window.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>

#include "app/main_actions.h"
#include "app/operation_gate.h"
#include "fake_servers.h"
#include "store/domain_record.h"
#include "ui/date_box.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QColor kFetchingBlue(88, 48, 224);
const QColor kFailedRed(163, 19, 7);
const QColor kDoneGreen(85, 170, 0);
const QString kToday = QStringLiteral("2017-03-15");

class SingleAddWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", whois_.hostPort());
    webEnv_ = std::make_unique<ScopedEnv>("PELMORA_WEBWHOIS_HOST", web_.hostPort());
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    webEnv_.reset();
    whoisEnv_.reset();
  }

  ui::SingleAddWindow& openSingleAdd() {
    if (!window_) {
      addEntry("注册商", "西数", 1);
      addEntry("注册商", "阿里", 2);
      addEntry("域名类型", "3数字", 1);
      addEntry("自定义分类", "已挂一口价", 1);
      open();
    }
    QTest::mouseClick(control<QAbstractButton>("按钮_单个添加域名"), Qt::LeftButton);
    singleAdd_ = window_->findChild<ui::SingleAddWindow*>();
    EXPECT_NE(singleAdd_, nullptr);
    return *singleAdd_;
  }

  template <typename T>
  T* part(const QString& name) {
    T* found = singleAdd_->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QLineEdit* edit(const QString& key) { return part<QLineEdit>(QStringLiteral("编辑框_") + key); }
  ui::DateBox* dateBox(const QString& key) {
    return part<ui::DateBox>(QStringLiteral("日期框_") + key);
  }
  QLabel* fetchLabel() { return part<QLabel>("透明标签_获取时间"); }
  QPushButton* fetchAgain() { return part<QPushButton>("按钮_获取时间"); }
  QPushButton* confirm() { return part<QPushButton>("按钮_确认"); }
  QString status() { return part<QLabel>("状态条1_提示")->text(); }
  QColor fetchColour() { return fetchLabel()->palette().color(QPalette::WindowText); }

  void type(const QString& key, const QString& text) {
    QLineEdit* box = edit(key);
    box->clear();
    // Key clicks know only Latin-1; other characters arrive as typed text.
    bool latin = true;
    for (const QChar c : text) latin = latin && c.unicode() < 0x80;
    if (latin) {
      QTest::keyClicks(box, text);
    } else {
      box->insert(text);
    }
  }
  void focus(QWidget* widget, QEvent::Type type) {
    QFocusEvent event(type, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &event);
  }
  // Types the domain and leaves the field, as a tab to the next one would.
  void typeDomainAndLeave(const QString& domain) {
    type(QStringLiteral("域名"), domain);
    focus(edit(QStringLiteral("域名")), QEvent::FocusOut);
  }
  bool waitForFetch(QSignalSpy& ended) { return ended.count() > 0 || ended.wait(15000); }
  void clickConfirm() {
    QTest::mouseClick(confirm(), Qt::LeftButton);
    waitForPage();
  }

  std::optional<DomainRecord> stored(const std::string& name) {
    std::optional<DomainRecord> record;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {name},
               [&](const SqlRow& row) { record = readDomainRecord(row); });
    return record;
  }

  static inline const std::string kOkAnswer =
      "Domain Name: OK.COM\r\nCreation Date: 2001-02-03T00:00:00Z\r\n"
      "Registry Expiry Date: 2031-02-03T00:00:00Z\r\n";
  FakeWhoisServer whois_{{{{kOkAnswer}}}};
  // The web service answers each .top domain with the code its name gives.
  FakeHttpServer web_{[](const FakeHttpServer::Request& r) {
    const std::string line = r.line();
    for (const char* code : {"100", "300", "400", "500"}) {
      if (line.find(std::string("domain=c") + code + ".top") != std::string::npos) {
        return FakeHttpServer::response(200, std::string(R"({"code":)") + code + "}");
      }
    }
    if (line.find("domain=broken.top") != std::string::npos) {
      return FakeHttpServer::response(200, "not json");
    }
    return FakeHttpServer::response(
        200, R"({"code":"200","regdate":"2003-03-03","expdate":"2033-03-03"})");
  }};
  std::unique_ptr<ScopedEnv> whoisEnv_;
  std::unique_ptr<ScopedEnv> webEnv_;
  ui::SingleAddWindow* singleAdd_ = nullptr;
};

TEST_F(SingleAddWindowTest, ControlsCaptionsListsAndHiddenParts) {
  auto& window = openSingleAdd();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "单个添加域名");
  EXPECT_EQ(window.objectName(), "单个添加域名窗口");
  EXPECT_EQ(part<QGroupBox>("分组框_必填字段")->title(), "必填字段");
  EXPECT_EQ(part<QGroupBox>("分组框_可选字段")->title(), "可选字段");
  EXPECT_EQ(part<QGroupBox>("分组框_友情提示")->title(), "友情提示");
  EXPECT_EQ(part<QLabel>("透明标签_tips")->text(),
            "1) 填写域名后. 后缀,长度,注册到期时间都会自动获取.\n\n"
            "2) 如最终售价不为空,则代表该域名已售出.并可以编辑出售日期.");
  EXPECT_EQ(part<QPushButton>("按钮_同注册时间")->text(), "同注册时间");
  EXPECT_EQ(confirm()->text(), "确认");
  EXPECT_EQ(part<QPushButton>("按钮_关闭")->text(), "关闭");
  EXPECT_EQ(fetchAgain()->text(), "重新获取时间");
  EXPECT_EQ(fetchLabel()->text(), "获取时间Ing...");
  EXPECT_NE(part<QStatusBar>("状态条1"), nullptr);
  for (const char* key :
       {"域名", "后缀", "长度", "注册商", "域名类型", "自定义分类", "注册时间", "到期时间",
        "一次成本", "续费成本", "实际成本", "预售底价", "最终售价", "利润", "备注", "购买时间"}) {
    EXPECT_EQ(part<QLabel>(QStringLiteral("透明标签_") + key)->text(), key);
  }
  EXPECT_EQ(part<QLabel>("透明标签_对外标价")->text(), "标价");
  EXPECT_EQ(part<QLabel>("透明标签_出售时间")->text(), "出售时间");

  const auto items = [&](const char* key) {
    QStringList texts;
    auto* combo = part<QComboBox>(QStringLiteral("组合框_") + key);
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    EXPECT_EQ(combo->currentIndex(), 0);
    return texts;
  };
  EXPECT_EQ(items("注册商"), QStringList({"不选", "西数(0)", "阿里(0)"}));
  EXPECT_EQ(items("域名类型"), QStringList({"不选", "3数字(0)"}));
  EXPECT_EQ(items("自定义分类"), QStringList({"不选", "已挂一口价(0)"}));

  EXPECT_FALSE(fetchLabel()->isVisible());
  EXPECT_FALSE(fetchAgain()->isVisible());
  EXPECT_FALSE(part<QLabel>("透明标签_出售时间")->isVisible());
  EXPECT_FALSE(dateBox("出售时间")->isVisible());
  for (const char* key : {"注册时间", "到期时间", "购买时间"}) {
    EXPECT_EQ(dateBox(key)->text(), kToday) << key;
  }
}

TEST_F(SingleAddWindowTest, TheWindowHoldsTheOtherOperationsUntilClosed) {
  openSingleAdd();
  QAction* item = menuAction("菜单_常用操作", "单个添加域名");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
  EXPECT_EQ(window_->gate()->holder(), ui::Operation::SingleAdd);
  EXPECT_FALSE(control<QAbstractButton>("按钮_批量添加域名")->isEnabled());
  EXPECT_FALSE(control<QAbstractButton>("按钮_筛选")->isEnabled());
  QPointer<ui::SingleAddWindow> going = singleAdd_;
  QTest::mouseClick(part<QPushButton>("按钮_关闭"), Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(going.isNull());
  EXPECT_EQ(window_->gate()->holder(), std::nullopt);
  EXPECT_TRUE(control<QAbstractButton>("按钮_单个添加域名")->isEnabled());
  // Domains added elsewhere meanwhile show in the counts of the next opening.
  add({makeDomain("w.com", {{DomainField::Registrar, "西数"}})});
  openSingleAdd();
  EXPECT_EQ(part<QComboBox>("组合框_注册商")->itemText(1), "西数(1)");
}

TEST_F(SingleAddWindowTest, TypingDerivesSuffixLengthAndAmounts) {
  openSingleAdd();
  type("域名", "  ABC.Com ");
  EXPECT_EQ(edit("域名")->text(), "  ABC.Com ");
  EXPECT_EQ(edit("后缀")->text(), "com");
  EXPECT_EQ(edit("长度")->text(), "3");
  type("域名", "中文域名");
  EXPECT_EQ(edit("后缀")->text(), "");
  EXPECT_EQ(edit("长度")->text(), "0");
  type("域名", "中文.网址");
  EXPECT_EQ(edit("后缀")->text(), "网址");
  EXPECT_EQ(edit("长度")->text(), "4");

  for (const char* key : {"一次成本", "续费成本", "预售底价", "对外标价", "最终售价"}) {
    type(key, "12.345");
    EXPECT_EQ(edit(key)->text(), "12.34") << key;
    type(key, "1234");
    EXPECT_EQ(edit(key)->text(), "1234") << key;
  }
  type("一次成本", "12.5");
  type("续费成本", "55.25");
  EXPECT_EQ(edit("实际成本")->text(), "67.75");
  edit("续费成本")->clear();
  EXPECT_EQ(edit("实际成本")->text(), "12.5");
}

TEST_F(SingleAddWindowTest, ProfitFollowsOnlyTheFinalPrice) {
  openSingleAdd();
  type("一次成本", "12.5");
  type("续费成本", "55.25");
  EXPECT_EQ(edit("利润")->text(), "");  // costs alone leave it
  type("最终售价", "100");
  EXPECT_EQ(edit("利润")->text(), "32.25");
  EXPECT_TRUE(dateBox("出售时间")->isVisible());
  EXPECT_TRUE(part<QLabel>("透明标签_出售时间")->isVisible());
  type("续费成本", "0");
  EXPECT_EQ(edit("利润")->text(), "32.25");
  type("最终售价", "12.5");
  EXPECT_EQ(edit("利润")->text(), "0");
  EXPECT_FALSE(dateBox("出售时间")->isVisible());
  EXPECT_FALSE(part<QLabel>("透明标签_出售时间")->isVisible());
}

TEST_F(SingleAddWindowTest, FinalPriceEqualToTheCostIsSoldWithoutASaleDate) {
  openSingleAdd();
  type("域名", "  ABC.Com ");
  type("一次成本", "12.5");
  type("续费成本", "55.25");
  type("最终售价", "67.75");
  ASSERT_EQ(edit("利润")->text(), "0");
  clickConfirm();
  EXPECT_EQ(status(), " 提示: 新增 [abc.com]  成功, 可以继续添加!");
  const auto row = stored("abc.com");
  ASSERT_TRUE(row);
  EXPECT_EQ((*row)[DomainField::Suffix], "com");
  EXPECT_EQ((*row)[DomainField::Length], "3");
  EXPECT_EQ((*row)[DomainField::ActualCost], "67.75");
  EXPECT_EQ((*row)[DomainField::Profit], "0");
  EXPECT_EQ((*row)[DomainField::Sold], "TRUE");
  EXPECT_EQ((*row)[DomainField::SoldOn], "");
  EXPECT_EQ((*row)[DomainField::Registrar], "-");
  EXPECT_EQ((*row)[DomainField::DomainType], "-");
  EXPECT_EQ((*row)[DomainField::Category], "-");
  EXPECT_EQ((*row)[DomainField::Note], " ");
  EXPECT_EQ((*row)[DomainField::RegisteredOn], kToday.toStdString());

  // The listing shows it at once; the window keeps every value.
  ASSERT_EQ(model().rowCount(), 1);
  EXPECT_EQ(model().cellText(0, 1), "abc.com");
  EXPECT_EQ(edit("域名")->text(), "  ABC.Com ");
  EXPECT_EQ(edit("最终售价")->text(), "67.75");
  QApplication::processEvents();
  EXPECT_EQ(edit("域名")->selectedText(), "  ABC.Com ");
}

TEST_F(SingleAddWindowTest, FinalPriceTypedAndClearedIsUnsoldWithASaleDate) {
  openSingleAdd();
  type("域名", "cleared.com");
  type("一次成本", "25");
  type("最终售价", "5");
  edit("最终售价")->clear();
  EXPECT_EQ(edit("利润")->text(), "-25");
  EXPECT_TRUE(dateBox("出售时间")->isVisible());
  dateBox("出售时间")->setDate(parseDate("2017-03-01"));
  clickConfirm();
  auto row = stored("cleared.com");
  ASSERT_TRUE(row);
  EXPECT_EQ((*row)[DomainField::Profit], "-25");
  EXPECT_EQ((*row)[DomainField::FinalPrice], "0");
  EXPECT_EQ((*row)[DomainField::Sold], "FALSE");
  EXPECT_EQ((*row)[DomainField::SoldOn], "2017-03-01");

  // A new window: the final price never touched leaves the profit empty.
  QTest::mouseClick(part<QPushButton>("按钮_关闭"), Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  openSingleAdd();
  type("域名", "untouched.com");
  type("一次成本", "25");
  EXPECT_EQ(edit("利润")->text(), "");
  clickConfirm();
  row = stored("untouched.com");
  ASSERT_TRUE(row);
  EXPECT_EQ((*row)[DomainField::Profit], "0");
  EXPECT_EQ((*row)[DomainField::Sold], "FALSE");
  EXPECT_EQ((*row)[DomainField::SoldOn], "");
}

TEST_F(SingleAddWindowTest, ChosenItemsDatesAndApostrophesAreStoredAsShown) {
  openSingleAdd();
  type("域名", "ONeil-2.com");
  part<QComboBox>("组合框_注册商")->setCurrentIndex(2);
  part<QComboBox>("组合框_域名类型")->setCurrentIndex(1);
  part<QComboBox>("组合框_自定义分类")->setCurrentIndex(1);
  type("备注", "it's 'mine'");
  dateBox("注册时间")->setDate(parseDate("2016-12-09"));
  QTest::mouseClick(part<QPushButton>("按钮_同注册时间"), Qt::LeftButton);
  EXPECT_EQ(dateBox("购买时间")->text(), "2016-12-09");
  clickConfirm();
  EXPECT_EQ(status(), " 提示: 新增 [oneil-2.com]  成功, 可以继续添加!");
  const auto row = stored("oneil-2.com");
  ASSERT_TRUE(row);
  EXPECT_EQ((*row)[DomainField::Registrar], "阿里");
  EXPECT_EQ((*row)[DomainField::DomainType], "3数字");
  EXPECT_EQ((*row)[DomainField::Category], "已挂一口价");
  EXPECT_EQ((*row)[DomainField::Note], "it's 'mine'");
  EXPECT_EQ((*row)[DomainField::RegisteredOn], "2016-12-09");
  EXPECT_EQ((*row)[DomainField::PurchasedOn], "2016-12-09");
  EXPECT_EQ((*row)[DomainField::ExpiresOn], kToday.toStdString());
}

TEST_F(SingleAddWindowTest, ARefusedRowIsReportedAndEveryFieldKept) {
  add({makeDomain("taken.com")});
  openSingleAdd();
  type("域名", "Taken.com");
  type("一次成本", "8");
  type("备注", "again");
  clickConfirm();
  EXPECT_EQ(status(), " 提示: 新增 [taken.com]  失败,请检查是否域名已经存在,或字段是否填写正确!");
  EXPECT_EQ(edit("域名")->text(), "Taken.com");
  EXPECT_EQ(edit("一次成本")->text(), "8");
  EXPECT_EQ(edit("备注")->text(), "again");
  EXPECT_EQ((*stored("taken.com"))[DomainField::OneTimeCost], "0");

  // An amount that is not a number is named, and nothing is stored.
  type("域名", "fresh");  // no dot: no date fetch holds 确认 up
  type("续费成本", "abc");
  clickConfirm();
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|续费成本 [abc] 不是数字, 没有添加."});
  EXPECT_FALSE(stored("fresh"));
}

TEST_F(SingleAddWindowTest, LeavingTheDomainFetchesItsDates) {
  openSingleAdd();
  QSignalSpy ended(singleAdd_, &ui::SingleAddWindow::fetchEnded);
  singleAdd_->layout()->activate();
  const QPoint notePlace = edit("备注")->mapTo(singleAdd_, QPoint());
  typeDomainAndLeave(" OK.com");
  EXPECT_FALSE(confirm()->isEnabled());
  EXPECT_TRUE(fetchLabel()->isVisible());
  singleAdd_->layout()->activate();  // the layout as the next paint shows it
  EXPECT_EQ(edit("备注")->mapTo(singleAdd_, QPoint()), notePlace);  // nothing jumps
  EXPECT_EQ(fetchLabel()->text(), "获取时间Ing...");
  EXPECT_EQ(fetchColour(), kFetchingBlue);
  EXPECT_EQ(status(), "提示: [ ok.com] 正在获取时间,请稍后...");
  ASSERT_TRUE(waitForFetch(ended));
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
  EXPECT_EQ(whois_.queries().front(), "ok.com\r\n");
  EXPECT_EQ(dateBox("注册时间")->text(), "2001-02-03");
  EXPECT_EQ(dateBox("到期时间")->text(), "2031-02-03");
  EXPECT_EQ(status(), "提示: [ ok.com] 获取时间完毕.");
  EXPECT_EQ(fetchLabel()->text(), "获取成功...");
  EXPECT_EQ(fetchColour(), kDoneGreen);
  EXPECT_FALSE(fetchAgain()->isVisible());
  EXPECT_TRUE(confirm()->isEnabled());

  // Back in the field: the label goes.
  focus(edit("域名"), QEvent::FocusIn);
  EXPECT_FALSE(fetchLabel()->isVisible());
}

TEST_F(SingleAddWindowTest, TheWebServiceIsAskedWithTheCache) {
  openSingleAdd();
  QSignalSpy ended(singleAdd_, &ui::SingleAddWindow::fetchEnded);
  typeDomainAndLeave("a.top");
  ASSERT_TRUE(waitForFetch(ended));
  ASSERT_EQ(web_.requests().size(), 1u);
  EXPECT_EQ(web_.requests()[0].line().find("refresh=1"), std::string::npos);
  EXPECT_EQ(dateBox("注册时间")->text(), "2003-03-03");
  EXPECT_EQ(dateBox("到期时间")->text(), "2033-03-03");
}

TEST_F(SingleAddWindowTest, ADomainWithoutADotFetchesNothing) {
  openSingleAdd();
  typeDomainAndLeave("okcom");
  EXPECT_TRUE(confirm()->isEnabled());
  EXPECT_FALSE(fetchLabel()->isVisible());
  EXPECT_TRUE(status().isEmpty());
  EXPECT_FALSE(singleAdd_->isFetching());
}

struct FailureCase {
  const char* domain;
  const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.domain; }

class FetchFailures : public SingleAddWindowTest,
                      public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FetchFailures, MessageRedLabelAndRetryButtonDatesKept) {
  openSingleAdd();
  QSignalSpy ended(singleAdd_, &ui::SingleAddWindow::fetchEnded);
  const QString domain = QString::fromUtf8(GetParam().domain);
  typeDomainAndLeave(domain);
  ASSERT_TRUE(waitForFetch(ended));
  EXPECT_EQ(ui::Toolkit::takeMessages(),
            QStringList{QStringLiteral("获取时间失败|") + QString::fromUtf8(GetParam().message)});
  EXPECT_EQ(status(), "提示: [ " + domain + "] 获取时间错误,可重试!");
  EXPECT_EQ(fetchLabel()->text(), "获取失败...");
  EXPECT_EQ(fetchColour(), kFailedRed);
  EXPECT_TRUE(fetchAgain()->isVisible());
  EXPECT_TRUE(confirm()->isEnabled());
  EXPECT_EQ(dateBox("注册时间")->text(), kToday);
  EXPECT_EQ(dateBox("到期时间")->text(), kToday);

  // 重新获取时间 asks again, with the confirm button off meanwhile.
  QTest::mouseClick(fetchAgain(), Qt::LeftButton);
  EXPECT_FALSE(confirm()->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 2; }, 15000));
  EXPECT_EQ(ui::Toolkit::takeMessages().size(), 1);
  EXPECT_TRUE(confirm()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Results, FetchFailures,
    ::testing::Values(FailureCase{"broken.top",
                                  "获取时间失败,检查您的电脑是否联网.或域名是否正确."},
                      FailureCase{"c500.top", "获取时间失败,请尝试重新获取."},
                      FailureCase{"c100.top", "您提交的域名还未注册呢!"},
                      FailureCase{"c400.top", "域名后缀不正确,如果确实正确,可手动填写日期."}));

TEST_F(SingleAddWindowTest, RetryAfterAFailureCanSucceed) {
  FakeHttpServer flaky([](const FakeHttpServer::Request&) {
    static std::atomic<int> calls{0};
    if (calls++ == 0) return FakeHttpServer::response(200, R"({"code":500})");
    return FakeHttpServer::response(
        200, R"({"code":"200","regdate":"2004-04-04","expdate":"2034-04-04"})");
  });
  webEnv_.reset();
  webEnv_ = std::make_unique<ScopedEnv>("PELMORA_WEBWHOIS_HOST", flaky.hostPort());
  openSingleAdd();
  QSignalSpy ended(singleAdd_, &ui::SingleAddWindow::fetchEnded);
  typeDomainAndLeave("retry.top");
  ASSERT_TRUE(waitForFetch(ended));
  ASSERT_TRUE(fetchAgain()->isVisible());
  ui::Toolkit::takeMessages();
  QTest::mouseClick(fetchAgain(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 2; }, 15000));
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
  EXPECT_EQ(dateBox("到期时间")->text(), "2034-04-04");
  EXPECT_FALSE(fetchAgain()->isVisible());
  EXPECT_EQ(fetchLabel()->text(), "获取成功...");
}

TEST_F(SingleAddWindowTest, QueryLimitAndOneEmptySideLeaveTheDatesThatAreMissing) {
  openSingleAdd();
  QSignalSpy ended(singleAdd_, &ui::SingleAddWindow::fetchEnded);
  typeDomainAndLeave("c300.top");
  ASSERT_TRUE(waitForFetch(ended));
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
  EXPECT_EQ(status(), "提示: [ c300.top] 获取时间完毕.");
  EXPECT_EQ(fetchLabel()->text(), "获取成功...");
  EXPECT_EQ(dateBox("注册时间")->text(), kToday);
  EXPECT_EQ(dateBox("到期时间")->text(), kToday);

  // A WHOIS answer without a creation date gives "|expiry".
  FakeWhoisServer halfAnswer(
      {{{"Domain Name: HALF.COM\r\nCreation Date: T\r\n"
         "Registry Expiry Date: 2031-02-03T00:00:00Z\r\n"}}});
  whoisEnv_.reset();
  whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", halfAnswer.hostPort());
  dateBox("注册时间")->setDate(parseDate("2010-10-10"));
  focus(edit("域名"), QEvent::FocusIn);
  typeDomainAndLeave("half.com");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 2; }, 15000));
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
  EXPECT_EQ(dateBox("注册时间")->text(), "2010-10-10");
  EXPECT_EQ(dateBox("到期时间")->text(), "2031-02-03");
  EXPECT_EQ(status(), "提示: [ half.com] 获取时间完毕.");
}

TEST_F(SingleAddWindowTest, LeavingTheFieldAgainSupersedesTheEarlierFetch) {
  FakeWhoisServer slow({{{kOkAnswer}, 1500}});
  whoisEnv_.reset();
  whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", slow.hostPort());
  openSingleAdd();
  QSignalSpy ended(singleAdd_, &ui::SingleAddWindow::fetchEnded);
  typeDomainAndLeave("slow.com");
  ASSERT_TRUE(QTest::qWaitFor([&] { return slow.connections() == 1; }, 5000));
  typeDomainAndLeave("a.top");
  ASSERT_TRUE(waitForFetch(ended));
  EXPECT_EQ(dateBox("到期时间")->text(), "2033-03-03");
  EXPECT_EQ(status(), "提示: [ a.top] 获取时间完毕.");
  // The job ends with the worker's last post, which may follow the result by
  // a moment on a busy machine.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !singleAdd_->isFetching(); }, 5000));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_TRUE(confirm()->isEnabled());
}

TEST_F(SingleAddWindowTest, LeavingTheDomainForTheCloseButtonFetchesNothing) {
  openSingleAdd();
  QApplication::setActiveWindow(singleAdd_);
  QLineEdit* domain = edit(QStringLiteral("域名"));
  domain->setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(QTest::qWaitFor([domain] { return domain->hasFocus(); }));
  type(QStringLiteral("域名"), QStringLiteral("going.com"));
  part<QPushButton>("按钮_关闭")->setFocus(Qt::MouseFocusReason);
  EXPECT_FALSE(singleAdd_->isFetching());
  EXPECT_FALSE(fetchLabel()->isVisible());

  // Any other control is leaving the field: the dates are fetched.
  domain->setFocus(Qt::MouseFocusReason);
  part<QPushButton>("按钮_确认")->setFocus(Qt::MouseFocusReason);
  EXPECT_TRUE(singleAdd_->isFetching());
}

TEST_F(SingleAddWindowTest, ClosingDuringAFetchAbandonsIt) {
  FakeWhoisServer slow({{{kOkAnswer}, 1500}});
  whoisEnv_.reset();
  whoisEnv_ = std::make_unique<ScopedEnv>("PELMORA_WHOIS_SERVER", slow.hostPort());
  openSingleAdd();
  QSignalSpy ended(singleAdd_, &ui::SingleAddWindow::fetchEnded);
  typeDomainAndLeave("slow.com");
  ASSERT_TRUE(singleAdd_->isFetching());
  ASSERT_TRUE(QTest::qWaitFor([&] { return slow.connections() == 1; }, 5000));
  QPointer<ui::SingleAddWindow> going = singleAdd_;
  QTest::mouseClick(part<QPushButton>("按钮_关闭"), Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(going.isNull());
  QApplication::processEvents();
  EXPECT_EQ(ended.count(), 0);
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());
  EXPECT_EQ(window_->gate()->holder(), std::nullopt);
}

}  // namespace
}  // namespace pelmora::testing

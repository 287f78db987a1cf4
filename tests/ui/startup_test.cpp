#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/window_beacon.h"
#include "cli_process.h"
#include "fake_servers.h"
#include "support/endpoints.h"
#include "support/update_record.h"
#include "test_paths.h"
#include "ui/startup/news_browser.h"
#include "ui/startup/news_pane.h"
#include "ui/startup/splash_window.h"
#include "ui/startup/start_routine.h"
#include "ui/startup/upgrade_notice.h"
#include "ui/toolkit.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

using namespace std::chrono_literals;
using ui::StartRoutine;
using ui::Toolkit;

const QString kPrompt =
    QStringLiteral("提示|检测到新版本!\r\n\r\n点击是,打开新版下载地址,点击否,继续适应当前版本.");

std::string recordFor(const std::string& version, const std::string& host) {
  return version + "|http://" + host + "/down|站点状态 " + version + "|http://" + host +
         "/news.html";
}

// Accepts connections and reads the request, but never answers.
class SilentServer : public LoopbackServer {
 public:
  SilentServer() { start(); }
  ~SilentServer() override { stop(); }

 protected:
  void serve(int client, int) override {
    readUntil(client, "\r\n\r\n");
    while (!stopping()) sleepMs(20);
  }
};

int closedPort() {
  FakeHttpServer gone([](const FakeHttpServer::Request&) { return std::string(); });
  return gone.port();
}

class StartRoutineTest : public ::testing::Test {
 protected:
  void SetUp() override { Toolkit::startScripting(); }
  void TearDown() override {
    routine_.reset();
    Toolkit::stopScripting();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  StartRoutine& makeRoutine(ui::StartRoutineOptions options = {}) {
    options.endProcess = [this] { ++processEnds_; };
    routine_ = std::make_unique<StartRoutine>(
        [this](const UpdateRecord& record) { loaded_.push_back(record); }, std::move(options));
    return *routine_;
  }

  // Starts the routine and waits for the hand-over.
  void runToHandOver(StartRoutine& routine) {
    QSignalSpy finished(&routine, &StartRoutine::finished);
    routine.start();
    ASSERT_NE(routine.splash(), nullptr);
    ASSERT_TRUE(finished.wait(15000)) << "the splash never handed over";
    EXPECT_TRUE(routine.handedOver());
    EXPECT_EQ(routine.splash(), nullptr);
  }

  std::unique_ptr<StartRoutine> routine_;
  std::vector<UpdateRecord> loaded_;
  int processEnds_ = 0;
};

TEST_F(StartRoutineTest, SplashShowsThePictureAndPollsEveryHalfSecond) {
  StartRoutine& routine =
      makeRoutine({[](std::stop_token) { return defaultUpdateText(); }, ui::kSplashDeadline, {}});
  QSignalSpy finished(&routine, &StartRoutine::finished);
  routine.start();
  QPointer<ui::SplashWindow> splash = routine.splash();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->isVisible());
  auto* picture = splash->findChild<QLabel*>(QStringLiteral("图片框1"));
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->pixmap().isNull());
  auto* timer = splash->findChild<QTimer*>(QStringLiteral("时钟1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 500);
  EXPECT_TRUE(timer->isActive());

  ASSERT_TRUE(finished.wait(15000));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());
}

TEST(UpgradeNotice, IsOnScreenWithItsWholeTextBeforeTheUpgradeStarts) {
  const std::unique_ptr<QWidget> note = ui::showUpgradeNotice();
  auto* label = qobject_cast<QLabel*>(note.get());
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->objectName(), QStringLiteral("标签_升级提示"));
  EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(label->text(), QString::fromUtf8(ui::kUpgradeNoticeText));
  EXPECT_GE(label->width(), label->sizeHint().width());
  EXPECT_GE(label->height(), label->sizeHint().height());
}

// The open waits until this thread's timer has seen the note: it can only
// fire if the event loop goes on meanwhile.
TEST(UpgradeNotice, ShowsAboveTheSplashWhileTheOpenRunsAndEventsGoOn) {
  Toolkit::startScripting();
  TempFolder folder;
  ui::SplashWindow splash;
  splash.show();
  const auto shownNote = [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == QStringLiteral("标签_升级提示") && widget->isVisible()) {
        return widget;
      }
    }
    return static_cast<QWidget*>(nullptr);
  };
  std::atomic<bool> seen{false};
  bool aboveSplash = false;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (QWidget* note = shownNote()) {
      aboveSplash = (note->windowFlags() & Qt::WindowStaysOnTopHint) &&
                    note->windowHandle()->transientParent() == splash.windowHandle();
      seen = true;
    }
  });
  probe.start(10);
  std::string why;
  auto db = ui::openDatabaseForWindow(
      [&](const UpgradeNotice& notice, std::string* error) {
        notice();
        for (int i = 0; i < 2000 && !seen; ++i) std::this_thread::sleep_for(5ms);
        return openCurrentDatabase(folder.file("domain.mdb"), error);
      },
      &splash, &why);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(aboveSplash);
  ASSERT_NE(db, nullptr) << why;
  EXPECT_EQ(db->count("SELECT count(*) FROM 域名", {}, &why), 0) << why;
  EXPECT_EQ(shownNote(), nullptr);
  EXPECT_TRUE(Toolkit::takeMessages().isEmpty());
  Toolkit::stopScripting();
}

TEST(UpgradeNotice, AFailedOpenShowsTheReasonBelowTheMessage) {
  Toolkit::startScripting();
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  const auto openWindow = [&](std::string* error) {
    return openCurrentDatabase(path, error, OpenMode::ReadWrite, {}, nullptr, Opener::Window);
  };
  auto holder = openWindow(nullptr);
  ASSERT_TRUE(holder);
  std::string why;
  EXPECT_EQ(ui::openDatabaseForWindow(
                [&](const UpgradeNotice&, std::string* error) { return openWindow(error); },
                nullptr, &why),
            nullptr);
  EXPECT_NE(why.find("open in another window"), std::string::npos) << why;
  EXPECT_EQ(Toolkit::takeMessages(),
            QStringList{"|数据库连接失败,请确定 domain.mdb 未被使用.\r\n\r\n原因: " +
                        QString::fromStdString(why)});
  Toolkit::stopScripting();
}

// The update file served by a fake site (PELMORA_SITE_HOST), the scripted
// answer to the prompt, and what follows.
struct SiteCase {
  std::string name;
  std::string version;               // of the served record; empty: the site is unreachable
  std::optional<ui::Answer> answer;  // to the new-version prompt; none: no prompt expected
  bool loaded;                       // the main window was loaded (else the process ended)
};

class StartRoutineSite : public StartRoutineTest, public ::testing::WithParamInterface<SiteCase> {};

TEST_P(StartRoutineSite, PromptsForAnyOtherVersionAndLoadsWithTheRecord) {
  const SiteCase& c = GetParam();
  FakeHttpServer server([&c](const FakeHttpServer::Request& request) {
    return FakeHttpServer::response(200, recordFor(c.version, request.host()));
  });
  const std::string host =
      c.version.empty() ? "127.0.0.1:" + std::to_string(closedPort()) : server.hostPort();
  ScopedEnv site("PELMORA_SITE_HOST", host);
  if (c.answer) Toolkit::queueAnswer(*c.answer);

  runToHandOver(makeRoutine());

  const UpdateRecord expected =
      readUpdateRecord(c.version.empty() ? defaultUpdateText() : recordFor(c.version, host));
  EXPECT_EQ(Toolkit::takeMessages(), c.answer ? QStringList{kPrompt} : QStringList{});
  if (c.loaded) {
    ASSERT_EQ(loaded_.size(), 1u);
    EXPECT_EQ(loaded_[0].statusText, expected.statusText);
    EXPECT_EQ(loaded_[0].newsAddress, expected.newsAddress);
    EXPECT_EQ(processEnds_, 0);
    EXPECT_TRUE(Toolkit::takeOpenedUrls().isEmpty());
  } else {
    EXPECT_TRUE(loaded_.empty());
    EXPECT_EQ(processEnds_, 1);
    EXPECT_EQ(Toolkit::takeOpenedUrls(),
              QStringList{QString::fromStdString(expected.downloadAddress)});
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, StartRoutineSite,
                         ::testing::Values(SiteCase{"SameVersion", "2.4", std::nullopt, true},
                                           SiteCase{"OlderDeclined", "2.3", ui::Answer::No, true},
                                           SiteCase{"NewerDeclined", "2.5", ui::Answer::No, true},
                                           SiteCase{"NewerAccepted", "2.5", ui::Answer::Yes, false},
                                           SiteCase{"OlderAccepted", "2.3", ui::Answer::Yes, false},
                                           SiteCase{"Unreachable", "", std::nullopt, true}),
                         [](const ::testing::TestParamInfo<SiteCase>& info) {
                           return info.param.name;
                         });

TEST_F(StartRoutineTest, ARecordOfFewerThanFourFieldsGivesWayToTheDefault) {
  runToHandOver(makeRoutine(
      {[](std::stop_token) { return std::string("2.5|http://x/down"); }, ui::kSplashDeadline, {}}));
  EXPECT_TRUE(Toolkit::takeMessages().isEmpty());
  ASSERT_EQ(loaded_.size(), 1u);
  const UpdateRecord fallback = readUpdateRecord(defaultUpdateText());
  EXPECT_EQ(loaded_[0].version, fallback.version);
  EXPECT_EQ(loaded_[0].statusText, fallback.statusText);
  EXPECT_EQ(loaded_[0].newsAddress, fallback.newsAddress);
}

TEST_F(StartRoutineTest, AFetchThatNeverEndsIsGivenUpAtTheDeadline) {
  std::atomic<bool> askedToStop{false};
  StartRoutine& routine =
      makeRoutine({[&askedToStop](std::stop_token stop) {
                     while (!stop.stop_requested()) {
                       std::this_thread::sleep_for(std::chrono::milliseconds(10));
                     }
                     askedToStop = true;
                     return std::string("2.5|x|y|z");
                   },
                   std::chrono::milliseconds(1000),
                   {}});
  runToHandOver(routine);
  ASSERT_EQ(loaded_.size(), 1u);
  EXPECT_EQ(loaded_[0].newsAddress, readUpdateRecord(defaultUpdateText()).newsAddress);
  EXPECT_TRUE(Toolkit::takeMessages().isEmpty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return askedToStop.load(); }, 5000));
}

TEST_F(StartRoutineTest, ASiteThatNeverAnswersIsGivenUpAtTheDeadline) {
  SilentServer silent;
  ScopedEnv site("PELMORA_SITE_HOST", silent.hostPort());
  // Shorter than the request's own time-out: the splash gives up first.
  runToHandOver(makeRoutine({{}, std::chrono::milliseconds(1000), {}}));
  ASSERT_EQ(loaded_.size(), 1u);
  EXPECT_EQ(loaded_[0].statusText, readUpdateRecord(defaultUpdateText()).statusText);
  EXPECT_TRUE(Toolkit::takeMessages().isEmpty());
  EXPECT_EQ(silent.connections(), 1);
}

// The news page: served, or the built-in page.
struct NewsCase {
  std::string name;
  std::string reply;  // empty: the address is unreachable
  bool fetched;
  QString shownText;  // part of what the browser shows
};

class NewsPaneTest : public ::testing::TestWithParam<NewsCase> {};

TEST_P(NewsPaneTest, ShowsThePageOrTheBuiltInOne) {
  const NewsCase& c = GetParam();
  FakeHttpServer server([&](const FakeHttpServer::Request&) { return c.reply; });
  const std::string host =
      c.reply.empty() ? "127.0.0.1:" + std::to_string(closedPort()) : server.hostPort();
  ScopedEnv site("PELMORA_SITE_HOST", host);
  QTextBrowser browser;
  auto* pane = new ui::NewsPane(browser);
  QSignalSpy shown(pane, &ui::NewsPane::shown);
  pane->load(QString::fromStdString("http://" + host + "/news.html"));
  ASSERT_TRUE(shown.wait(15000));
  EXPECT_EQ(shown.at(0).at(0).toBool(), c.fetched);
  const QString html = browser.toHtml();
  EXPECT_TRUE(browser.toPlainText().contains(c.shownText)) << browser.toPlainText().toStdString();
  EXPECT_FALSE(html.contains(QStringLiteral("file:")));
  if (!c.fetched) {
    const QString site = QStringLiteral("http://%1/pelmora/").arg(QString::fromStdString(host));
    EXPECT_TRUE(browser.toPlainText().contains(site));
    EXPECT_TRUE(html.contains(QStringLiteral("href=\"%1\"").arg(site)));
  }
}

std::string repeatedText(const std::string& part, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

const std::string kHtmlHeader = "Content-Type: text/html; charset=utf-8\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, NewsPaneTest,
    ::testing::Values(
        NewsCase{"Page",
                 FakeHttpServer::response(200, "<p>新版 <b>2.5</b> 已发布</p>", kHtmlHeader), true,
                 QStringLiteral("新版 2.5 已发布")},
        NewsCase{"Unreachable", "", false, QStringLiteral("青禾名簿(Pelmora)")},
        NewsCase{"ErrorStatus", FakeHttpServer::response(404, "<p>没有</p>", kHtmlHeader), false,
                 QStringLiteral("暂时无法载入最新消息")},
        NewsCase{"Empty", FakeHttpServer::response(200, "", kHtmlHeader), false,
                 QStringLiteral("暂时无法载入最新消息")},
        NewsCase{"NotText", FakeHttpServer::response(200, "GIF89a", "Content-Type: image/gif\r\n"),
                 false, QStringLiteral("暂时无法载入最新消息")},
        NewsCase{
            "LocalFiles",
            FakeHttpServer::response(
                200, "<p>消息<img src=\"file:///dev/zero\"><a href=\"file:///etc/passwd\">看</a>",
                kHtmlHeader),
            true, QStringLiteral("消息看")},
        NewsCase{"DeepTables",
                 FakeHttpServer::response(
                     200,
                     [] {
                       std::string page;
                       for (int i = 0; i < 20000; ++i) page += "<table><td>";
                       return page + "深";  // one table is left of them
                     }(),
                     kHtmlHeader),
                 true, QStringLiteral("深")},
        NewsCase{"DeepNesting",
                 FakeHttpServer::response(200, repeatedText("<div>", 20000), kHtmlHeader), false,
                 QStringLiteral("暂时无法载入最新消息")}),
    [](const ::testing::TestParamInfo<NewsCase>& info) { return info.param.name; });

TEST(NewsBrowserLinks, OnlyWebAddressesReachTheDesktopAndNothingOpensInThePane) {
  Toolkit::startScripting();
  ui::NewsBrowser browser;
  browser.setHtml(QStringLiteral("<p>old</p>"));
  for (const char* link : {"file:///etc/passwd", "qrc:/x", "https://a.example/n"}) {
    emit browser.anchorClicked(QUrl(QString::fromUtf8(link)));
  }
  EXPECT_EQ(Toolkit::takeOpenedUrls(), QStringList{QStringLiteral("https://a.example/n")});
  EXPECT_EQ(browser.toPlainText(), QStringLiteral("old"));
  EXPECT_FALSE(
      browser.loadResource(QTextDocument::ImageResource, QUrl("file:///dev/zero")).isValid());
  Toolkit::stopScripting();
}

// The desktop program's own options end it before any window or file: a copy
// of it in an empty folder creates no domain.mdb there.
TEST(DesktopProgramOptions, HelpVersionAndUnknownOptionsEndWithoutAFile) {
  TempFolder folder;
  const auto program = folder.file("pelmora");
  std::filesystem::copy_file(PELMORA_APP_PATH, program);
  struct Case {
    std::vector<std::string> arguments;
    int code;
    const char* text;
  };
  for (const Case& c :
       {Case{{"--help"}, 0, "--db PATH"}, Case{{"--version"}, 0, "pelmora 2."},
        Case{{"--bogus"}, 2, "unknown option --bogus"}, Case{{"--db"}, 2, "--db needs a value"}}) {
    CliSetup setup;
    setup.program = program.string();
    CliProcess run(c.arguments, folder.file("out.txt"), setup);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !run.running(); }, 10000)) << c.arguments[0];
    EXPECT_EQ(run.wait(), c.code) << c.arguments[0];
    EXPECT_NE(run.output().find(c.text), std::string::npos) << run.output();
    EXPECT_FALSE(std::filesystem::exists(folder.file("domain.mdb"))) << c.arguments[0];
  }
}

// A second start on a file open in a window brings that window forward and
// ends, opening nothing itself; a start on another file is not caught.
TEST(SecondStart, BringsTheOpenWindowForwardAndEnds) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  int raised = 0;
  ui::WindowBeacon beacon(path, [&] { ++raised; });
  ASSERT_TRUE(beacon.isListening());
  EXPECT_FALSE(ui::raiseOpenWindow(folder.file("other.mdb"), std::chrono::milliseconds(200)));
  EXPECT_EQ(raised, 0);
  CliSetup setup;
  setup.program = PELMORA_APP_PATH;
  CliProcess run({"--db", (folder.path() / "." / "domain.mdb").string()}, folder.file("out.txt"),
                 setup);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !run.running(); }, 10000));
  EXPECT_EQ(run.wait(), 0) << run.output();
  EXPECT_EQ(raised, 1);
  EXPECT_FALSE(std::filesystem::exists(path));
}

class MainWindowNewsTest : public MainWindowTest {};

TEST_F(MainWindowNewsTest, TheBrowserShowsTheNewsAddressAndTheStatusText) {
  FakeHttpServer server([](const FakeHttpServer::Request&) {
    return FakeHttpServer::response(200, "<p>本周消息</p>", kHtmlHeader);
  });
  window_ = std::make_unique<ui::MainWindow>(
      db(), ui::MainWindowOptions{Clock::fixed(kTestToday),
                                  QStringLiteral("官网状态"),
                                  QString::fromStdString("http://" + server.hostPort() + "/n"),
                                  {},
                                  {}});
  window_->show();
  auto* browser = window_->findChild<QTextBrowser*>(QStringLiteral("超文本浏览框1"));
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return browser->toPlainText().contains(QStringLiteral("本周消息")); }, 15000));
  EXPECT_EQ(window_->statusText(2), QStringLiteral("官网状态"));
}

}  // namespace
}  // namespace pelmora::testing

#include "ui/editing/batch_add_window.h"

#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QUrl>

#include "app/main_actions.h"
#include "app/operation_gate.h"
#include "app/reminder_menu.h"
#include "store/domain_record.h"
#include "support/gbk.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

const QString kTips = QStringLiteral(
    "1) 添加格式如下(每个字段用 | 分割,且一行一个域名) , "
    "且注册商,域名类型,自定义分类需要对应软件设置里面的分类.或者为空.\n\n"
    "   域名|注册商|域名类型|自定义分类|注册时间|到期时间|一次成本|续费成本|预售底价|标价|最终售价|"
    "备注|购买时间|出售时间\n\n"
    "   例如:\n\n"
    "2) 如需要导入域名和成本这2个字段,则所有分隔符不能少. 格式如: 域名||||||一次成本|||||||\n\n"
    "   例如:\n\n"
    "3) 如您一次性导入很多域名嫌麻烦,可以直接导入整个域名列表,格式为一行一个域名即可."
    "且只能是域名,不能有其他字段和分隔符\n\n"
    "   例如:\n\n"
    "4) 批量添加域名,没有自动获取注册/到期时间功能.");

class BatchAddWindowTest : public EditingWindowTest<ui::BatchAddWindow> {
 protected:
  // The main window over a database knowing the classification values the
  // first example uses, and the batch-add window opened by its button.
  ui::BatchAddWindow& openBatchAdd() {
    if (!window_) {
      addEntry("注册商", "西数", 1);
      addEntry("域名类型", "3数字", 1);
      addEntry("自定义分类", "已挂一口价", 1);
      open();
    }
    return openByButton("按钮_批量添加域名");
  }

  QPlainTextEdit* pending() { return part<QPlainTextEdit>("编辑框_待添加列表"); }
  QPlainTextEdit* failures() { return part<QPlainTextEdit>("编辑框_添加失败列表"); }
  QString title(const QString& group) { return part<QGroupBox>(group)->title(); }
  QString example(int k) {
    return part<QLineEdit>(QStringLiteral("编辑框_例子") + QString::number(k))->text();
  }
  void runAndWait() { EditingWindowTest::runAndWait(240000); }
  void closeBatchAdd() { closeTool(); }

  std::optional<DomainRecord> stored(const std::string& name) {
    std::optional<DomainRecord> record;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {name},
               [&](const SqlRow& row) { record = readDomainRecord(row); });
    return record;
  }
  std::int64_t storedCount() {
    return std::get<std::int64_t>(db().scalar("SELECT count(*) FROM 域名").value());
  }

  QString writeFile(const std::string& name, const std::string& bytes) {
    const QString path = QString::fromStdString(folder_.file(name).string());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return path;
  }

  // Drops the files on the list box as a file manager would.
  bool drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QWidget* target = pending()->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    // The files load once the drop itself is over.
    QApplication::processEvents();
    return dropped.isAccepted();
  }
};

TEST_F(BatchAddWindowTest, ControlsCaptionsHelpAndExamples) {
  auto& window = openBatchAdd();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "批量添加域名");
  EXPECT_EQ(window.parentWidget(), window_.get());
  EXPECT_NE(window.windowModality(), Qt::NonModal);
  EXPECT_EQ(title("分组框_待添加列表"), "待添加列表");
  EXPECT_EQ(title("分组框_添加失败列表"), "添加失败列表");
  EXPECT_EQ(title("分组框_友情提示"), "友情提示");
  EXPECT_EQ(confirm()->text(), "确认");
  EXPECT_EQ(part<QPushButton>("按钮_关闭")->text(), "关闭");
  EXPECT_TRUE(pending()->toPlainText().isEmpty());
  EXPECT_TRUE(failures()->toPlainText().isEmpty());
  EXPECT_NE(part<QStatusBar>("状态条1"), nullptr);
  EXPECT_TRUE(status().isEmpty());
  EXPECT_EQ(part<QLabel>("透明标签_tips")->text(), kTips);
  // Files are dropped on the list box itself; no other control has that name.
  EXPECT_EQ(window.findChild<QWidget*>("编辑框_批量添加"), nullptr);

  const QStringList first = example(1).split('|');
  EXPECT_EQ(first.mid(1),
            (QStringList{"西数", "3数字", "已挂一口价", "2016-12-09", "2026-12-09", "25", "400",
                         "200000", "400000", "0", "已建站,自用", "2017-1-3", "2017-3-15"}));
  // Three different domains, so that all three examples can be pasted at once.
  const QStringList second = example(2).split('|');
  ASSERT_EQ(second.size(), 14);
  EXPECT_EQ(second.mid(1), (QStringList{"", "", "", "", "", "500", "", "", "", "", "", "", ""}));
  EXPECT_FALSE(example(3).contains('|'));
  const QStringList domains{first[0], second[0], example(3)};
  for (const QString& domain : domains) EXPECT_TRUE(domain.contains('.'));
  EXPECT_EQ(QSet<QString>(domains.begin(), domains.end()).size(), 3);

  // Beside the three "例如:" lines: top to bottom, within the help, apart.
  auto* tips = part<QLabel>("透明标签_tips");
  int below = tips->mapTo(&window, QPoint(0, 0)).y();
  for (int k = 1; k <= 3; ++k) {
    auto* box = part<QLineEdit>(QStringLiteral("编辑框_例子") + QString::number(k));
    EXPECT_TRUE(box->isReadOnly());
    const QRect at(box->mapTo(&window, QPoint(0, 0)), box->size());
    EXPECT_GE(at.top(), below) << k;
    EXPECT_LE(at.bottom(), tips->mapTo(&window, QPoint(0, tips->height())).y()) << k;
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->text())) << k;
    below = at.bottom();
  }
}

TEST_F(BatchAddWindowTest, TheWindowHoldsTheOtherOperationsAndShowsTheAction) {
  auto& window = openBatchAdd();
  QAction* action = window_->actions()->action(ui::Operation::BatchAdd);
  EXPECT_EQ(action, menuAction("菜单_常用操作", "批量添加域名"));
  EXPECT_EQ(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
  EXPECT_EQ(window_->gate()->holder(), ui::Operation::BatchAdd);
  EXPECT_FALSE(control<QAbstractButton>("按钮_筛选")->isEnabled());
  // Centred over the main window (to a pixel or two of rounding), which is
  // not on top of others.
  const QPoint off = window.frameGeometry().center() - window_->frameGeometry().center();
  EXPECT_LE(std::abs(off.x()), 2);
  EXPECT_LE(std::abs(off.y()), 2);
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  closeBatchAdd();
  EXPECT_EQ(window_->gate()->state(), ui::OperationGate::State::Idle);
  EXPECT_TRUE(control<QAbstractButton>("按钮_筛选")->isEnabled());

  // While the main window stays on top, so does a new batch-add window.
  control<QCheckBox>("选择框_总在最前")->setChecked(true);
  EXPECT_TRUE(openBatchAdd().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(BatchAddWindowTest, ExampleLinesAndBareDomainsAreAddedAndShownAfterClosing) {
  openBatchAdd();
  QStringList lines;
  lines << example(1) << example(2) << example(3) << "bare.net"
        << "bad.com|西数"
        << "unknown.com|无此商|3数字|无此类||||||||||"
        << "中文.cn";
  pending()->setPlainText(lines.join("\n") + "\n");
  EXPECT_EQ(title("分组框_待添加列表"), "待添加列表 [ 7 ]");
  EXPECT_EQ(title("分组框_添加失败列表"), "添加失败列表");

  runAndWait();
  EXPECT_EQ(status(), "结果: 总计[ 7 ],成功[ 5 ],失败[ 2 ]");
  EXPECT_EQ(failures()->toPlainText(), "bad.com[格式错误]\nunknown.com[自定义分类字段不正确]\n");
  EXPECT_EQ(title("分组框_添加失败列表"), "添加失败列表 [ 2 ]");

  const auto one = stored(example(1).section('|', 0, 0).toStdString());
  ASSERT_TRUE(one);
  EXPECT_EQ((*one)[DomainField::Registrar], "西数");
  EXPECT_EQ((*one)[DomainField::Category], "已挂一口价");
  EXPECT_EQ((*one)[DomainField::ActualCost], "425");
  EXPECT_EQ((*one)[DomainField::Note], "已建站,自用");
  EXPECT_EQ((*one)[DomainField::PurchasedOn], "2017-01-03");
  EXPECT_EQ((*one)[DomainField::Sold], std::string(kUnsoldText));
  const auto two = stored(example(2).section('|', 0, 0).toStdString());
  ASSERT_TRUE(two);
  EXPECT_EQ((*two)[DomainField::OneTimeCost], "500");
  EXPECT_EQ((*two)[DomainField::Registrar], "-");
  EXPECT_TRUE(stored("中文.cn"));
  EXPECT_FALSE(stored("bad.com"));

  // The grid is left alone during the run and reloaded when the window goes.
  EXPECT_EQ(model().rowCount(), 0);
  closeBatchAdd();
  EXPECT_EQ(model().rowCount(), 5);
  EXPECT_EQ(caption(), "翻页,总数[5]个,共[1]页");
  QStringList names;
  for (int row = 0; row < model().rowCount(); ++row)
    names << model().cellText(row, ui::PageModel::kNameColumn);
  names.sort();
  EXPECT_EQ(names, (QStringList{"bare.net", "qinghe.cn", "qinghe.com", "qinghe.net", "中文.cn"}));
}

TEST_F(BatchAddWindowTest, ASecondRunListsOnlyItsOwnFailures) {
  openBatchAdd();
  pending()->setPlainText("a.com\nb.com");
  runAndWait();
  EXPECT_EQ(status(), "结果: 总计[ 2 ],成功[ 2 ],失败[ 0 ]");
  EXPECT_EQ(title("分组框_添加失败列表"), "添加失败列表 [ 0 ]");
  pending()->setPlainText("b.com\nc.com\n");
  runAndWait();
  EXPECT_EQ(status(), "结果: 总计[ 2 ],成功[ 1 ],失败[ 1 ]");
  EXPECT_EQ(failures()->toPlainText(), "b.com[格式错误,或域名已存在]\n");
  EXPECT_EQ(storedCount(), 3);
}

TEST_F(BatchAddWindowTest, CancellingARunAddsNothingAndSaysSo) {
  openBatchAdd();
  pending()->setPlainText("a.com\nb.com\nc.com");
  QSignalSpy ended(tool_, &ui::BatchAddWindow::runEnded);
  // The database is held while the run starts and is cancelled, so the
  // worker sees the stop before it inserts anything.
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
  EXPECT_EQ(storedCount(), 0);
  EXPECT_TRUE(failures()->toPlainText().isEmpty()) << "no line failed on its own";
  EXPECT_TRUE(confirm()->isEnabled());
  QApplication::processEvents();
  EXPECT_FALSE(part<QProgressBar>("进度条_任务")->isVisible());

  // Nothing was left behind: the same lines go in on the next run.
  runAndWait();
  EXPECT_EQ(status(), "结果: 总计[ 3 ],成功[ 3 ],失败[ 0 ]");
}

// Long lists run on the worker while the window keeps reporting progress.
// (The speed of 100,000 lines is the benchmark's business; 20,000 keep this
// test quick under the sanitizers.)
TEST_F(BatchAddWindowTest, ALongListRunsWhileTheWindowKeepsReporting) {
  openBatchAdd();
  QString text;
  constexpr int kLines = 20000;
  for (int i = 0; i < kLines; ++i) text += QStringLiteral("d%1.com\n").arg(i);
  pending()->setPlainText(text);
  EXPECT_EQ(title("分组框_待添加列表"), "待添加列表 [ 20000 ]");
  QList<int> shown;
  QObject::connect(part<QProgressBar>("进度条_任务"), &QProgressBar::valueChanged, tool_,
                   [&shown](int value) { shown << value; });
  runAndWait();
  EXPECT_EQ(status(), "结果: 总计[ 20000 ],成功[ 20000 ],失败[ 0 ]");
  EXPECT_EQ(storedCount(), kLines);
  // Progress arrived while the run went on, not only at its end.
  EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                          [](int value) { return value > 0 && value < kLines; }));
}

TEST_F(BatchAddWindowTest, DroppedTextFilesFillTheListInTheirEncoding) {
  openBatchAdd();
  const QString gbk = writeFile("gbk.txt", "x.com\r\n" + utf8ToGbk("中文.com") + "\r\n");
  const QString utf8 = writeFile("list.txt", "\xEF\xBB\xBFy.com\nz.com");
  ASSERT_TRUE(drop({gbk}));
  EXPECT_EQ(pending()->toPlainText(), "x.com\n中文.com\n");
  ASSERT_TRUE(drop({utf8}));
  EXPECT_EQ(pending()->toPlainText(), "x.com\n中文.com\ny.com\nz.com");
  EXPECT_EQ(title("分组框_待添加列表"), "待添加列表 [ 4 ]");
  pending()->setPlainText("w.com");
  ASSERT_TRUE(drop({utf8}));
  EXPECT_EQ(pending()->toPlainText(), "w.com\ny.com\nz.com");
  EXPECT_TRUE(ui::Toolkit::takeMessages().isEmpty());

  const QString missing = QString::fromStdString(folder_.file("missing.txt").string());
  EXPECT_TRUE(drop({missing}));
  const QStringList shown = ui::Toolkit::takeMessages();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith("提示:|无法读取文件 [ " + missing + " ]"))
      << shown[0].toStdString();
  EXPECT_EQ(pending()->toPlainText(), "w.com\ny.com\nz.com");

  // GBK with bytes it cannot read is not loaded altered.
  const QString bad =
      writeFile("bad.txt", utf8ToGbk("甲.com\r\n乙.com|||||||||||备注") + "\x81\x20\xff\xfe");
  ASSERT_TRUE(drop({bad}));
  EXPECT_EQ(ui::Toolkit::takeMessages(),
            QStringList{"提示:|无法读取文件 [ " + bad +
                        " ]\r\n\r\n原因: 第 2 行含有无法识别的字符, 没有载入任何内容."});
  EXPECT_EQ(pending()->toPlainText(), "w.com\ny.com\nz.com");
}

TEST_F(BatchAddWindowTest, ADroppedCsvFileIsImportedAfterConfirmation) {
  openBatchAdd();
  const QString csv =
      writeFile("export.csv",
                "domain;registrar;cost;colour\r\nc1.com;;12.345;red\r\n\"c2.com\";无此商;1;\r\n");

  ui::Toolkit::queueAnswer(ui::Answer::No);
  ASSERT_TRUE(drop({csv}));
  EXPECT_EQ(ui::Toolkit::takeMessages(), QStringList{"提示:|导入 CSV 文件 [export.csv] ?"});
  QApplication::processEvents();
  EXPECT_TRUE(confirm()->isEnabled());
  EXPECT_EQ(storedCount(), 0);

  QSignalSpy ended(tool_, &ui::BatchAddWindow::runEnded);
  ui::Toolkit::queueAnswer(ui::Answer::Yes);
  ASSERT_TRUE(drop({csv}));
  EXPECT_FALSE(confirm()->isEnabled());
  ASSERT_TRUE(ended.wait(10000));
  EXPECT_EQ(status(), "结果: 总计[ 2 ],成功[ 1 ],失败[ 1 ]");
  EXPECT_EQ(failures()->toPlainText(), "c2.com[注册商字段不正确]\n");
  EXPECT_TRUE(pending()->toPlainText().isEmpty());
  const auto c1 = stored("c1.com");
  ASSERT_TRUE(c1);
  EXPECT_EQ((*c1)[DomainField::OneTimeCost], "12.35");
  const QStringList shown = ui::Toolkit::takeMessages();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[1].contains("colour")) << shown[1].toStdString();
}

TEST_F(BatchAddWindowTest, ACsvFileWithoutADomainColumnIsRefused) {
  openBatchAdd();
  const QString csv = writeFile("nodomain.csv", "registrar,cost\r\n西数,1\r\n");
  QSignalSpy ended(tool_, &ui::BatchAddWindow::runEnded);
  ASSERT_TRUE(drop({csv}));
  ASSERT_TRUE(ended.wait(10000));
  const QStringList shown = ui::Toolkit::takeMessages();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[1].startsWith("提示:|无法导入 CSV 文件 [nodomain.csv]"))
      << shown[1].toStdString();
  EXPECT_FALSE(status().contains("成功")) << status().toStdString();
  EXPECT_EQ(storedCount(), 0);
  EXPECT_TRUE(confirm()->isEnabled());
}

TEST_F(BatchAddWindowTest, ClosingByTheFrameAlsoReloadsTheGrid) {
  openBatchAdd();
  pending()->setPlainText("late.com");
  runAndWait();
  QPointer<ui::BatchAddWindow> going = tool_;
  tool_->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(going.isNull());
  waitForPage();
  EXPECT_EQ(model().rowCount(), 1);
  // Opened again: a new window, with the lines the user had pasted.
  openBatchAdd();
  EXPECT_EQ(pending()->toPlainText(), "late.com");
  EXPECT_EQ(title("分组框_待添加列表"), "待添加列表 [ 1 ]");
}

TEST_F(BatchAddWindowTest, ClosingDuringARunAsksWhetherToStop) {
  openBatchAdd();
  QPointer<ui::BatchAddWindow> window = tool_;
  QSignalSpy ended(tool_, &ui::BatchAddWindow::runEnded);
  // The database is held, so each run is still at its first line when the
  // window is closed.
  pending()->setPlainText("a.com\nb.com");
  db().withConnection([&](SqliteConnection&) {
    QTest::mouseClick(confirm(), Qt::LeftButton);
    ui::Toolkit::queueAnswer(ui::Answer::No);  // 继续运行
    QTest::mouseClick(part<QPushButton>("按钮_关闭"), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isRunning());
  });
  const QStringList asked = ui::Toolkit::takeMessages();
  ASSERT_EQ(asked.size(), 1);
  EXPECT_TRUE(asked[0].contains("停止并放弃") && asked[0].contains("继续运行"))
      << asked[0].toStdString();
  ASSERT_TRUE(ended.wait(10000));
  EXPECT_EQ(status(), "结果: 总计[ 2 ],成功[ 2 ],失败[ 0 ]");

  pending()->setPlainText("c.com\nd.com");
  db().withConnection([&](SqliteConnection&) {
    QTest::mouseClick(confirm(), Qt::LeftButton);
    ui::Toolkit::queueAnswer(ui::Answer::Yes);  // 停止并放弃
    QTest::keyClick(tool_, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible()) << "open until the worker has stopped";
  });
  ASSERT_TRUE(ended.wait(10000));
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(ui::Toolkit::takeMessages().size(), 1) << "nothing stored, nothing more to say";
  EXPECT_EQ(storedCount(), 2);
  waitForPage();
  EXPECT_EQ(model().rowCount(), 2);
  openBatchAdd();
  EXPECT_EQ(pending()->toPlainText(), "c.com\nd.com");
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

// The batch add holds the database in one transaction while it runs, so the
// expiry check waits until its window is closed instead of freezing the main
// window on the lock.
TEST_F(BatchAddWindowTest, TheExpiryCheckWaitsUntilTheWindowCloses) {
  openBatchAdd();
  pending()->setPlainText("due.com|||||2017-03-16||||||||");
  runAndWait();
  ASSERT_EQ(status(), "结果: 总计[ 1 ],成功[ 1 ],失败[ 0 ]");
  window_->runExpiryCheck();
  EXPECT_FALSE(window_->reminders()->menu()->menuAction()->isVisible());
  closeBatchAdd();
  QApplication::processEvents();
  EXPECT_TRUE(window_->reminders()->menu()->menuAction()->isVisible());
}

}  // namespace
}  // namespace pelmora::testing

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextBrowser>
#include <QToolButton>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/operation_gate.h"
#include "ui/export/calendar_export_window.h"
#include "ui/export/listing_export_window.h"
#include "ui_test_support.h"

namespace pelmora::testing {
namespace {

TEST_F(MainWindowTest, StartUpFillsTitleStatusListsFirstPageAndHiddenFilterWindow) {
  addEntry("注册商", "西数", 1);
  addNumbered(3);
  setSetting(kSettingCustomTitle, "abc");
  auto& window = open("欢迎");
  EXPECT_TRUE(window.windowTitle().startsWith("[ abc ]青禾名簿(Pelmora) Ver:2.4"));
  EXPECT_EQ(window.trayIcon()->toolTip(), "[ abc ]青禾名簿(Pelmora)");
  EXPECT_EQ(window.statusText(1), " 提示:数据加载完毕!");
  EXPECT_EQ(window.statusText(2), "欢迎");
  EXPECT_EQ(model().rowCount(), 3);
  EXPECT_EQ(caption(), "翻页,总数[3]个,共[1]页");
  ASSERT_NE(window.filterWindow(), nullptr);
  EXPECT_FALSE(window.filterWindow()->isVisible());
  EXPECT_EQ(filterControl<QComboBox>("组合框_注册商")->itemText(2), "西数(0)");
  EXPECT_EQ(filterControl<QLineEdit>("编辑框_每页显示数量")->text(), "100");
  EXPECT_EQ(window.sortKey(), "id");
  EXPECT_FALSE(window.expiryTimer()->isActive());
  EXPECT_EQ(window.findChild<QStatusBar*>("状态条1"), window.statusBar());
  EXPECT_GE(window.minimumWidth(), 1200);
  EXPECT_GE(window.minimumHeight(), 665);
}

TEST_F(MainWindowTest, ADamagedFileIsReportedAndTakesNoMoreWrites) {
  ASSERT_TRUE(
      db().run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3000)"
               " INSERT INTO 域名(域名,后缀,备注) SELECT 'p'||i||'.com','com','第'||i||'行'"
               " FROM n"));
  ASSERT_TRUE(db().run("PRAGMA wal_checkpoint(TRUNCATE)"));
  damageMiddlePages(dbPath(), 8);
  std::ifstream in(dbPath(), std::ios::binary);
  const std::string damaged(std::istreambuf_iterator<char>(in), {});
  open();
  const QString told =
      "|数据库文件未通过检查(已损坏或无法读取),为免损坏扩大,不再写入.\r\n\r\n原因: " +
      QString::fromStdString(dbPath().string());
  QStringList messages;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        messages += ui::Toolkit::takeMessages();
        return messages.filter(told).size() == 1;
      },
      10000))
      << messages.join('\n').toStdString();
  const StatementResult write = db().execute("DELETE FROM 域名 WHERE 域名='p5.com'");
  EXPECT_FALSE(write.ok);
  EXPECT_NE(write.error.find(dbPath().string()), std::string::npos) << write.error;
  in.close();
  in.open(dbPath(), std::ios::binary);
  EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == damaged);
}

TEST_F(MainWindowTest, EmptyCustomTitleGivesPlainTitle) {
  auto& window = open();
  EXPECT_TRUE(window.windowTitle().startsWith("青禾名簿(Pelmora) Ver:2.4   [官网:"));
}

TEST_F(MainWindowTest, FilterWindowDisablesOperationsUntilHidden) {
  auto& window = open();
  const QStringList operations{"按钮_反选",     "按钮_隐藏列",       "按钮_更新选中时间",
                               "按钮_修改选中", "按钮_删除选中域名", "按钮_批量添加域名",
                               "按钮_高级修改", "按钮_单个添加域名"};
  auto* filterButton = control<QAbstractButton>("按钮_筛选");
  QTest::mouseClick(filterButton, Qt::LeftButton);
  ASSERT_TRUE(window.filterWindow()->isVisible());
  EXPECT_TRUE(filterButton->isEnabled());
  for (const QString& name : operations)
    EXPECT_FALSE(control<QAbstractButton>(name)->isEnabled()) << name.toStdString();
  EXPECT_FALSE(control<QCheckBox>("选择框_全选不选")->isEnabled());
  for (const char* menu : {"菜单_文件", "菜单_常用操作", "菜单_批量操作"}) {
    EXPECT_FALSE(window.menuBar()->findChild<QMenu*>(menu)->menuAction()->isEnabled()) << menu;
  }
  EXPECT_TRUE(window.menuBar()->findChild<QMenu*>("菜单_帮助")->menuAction()->isEnabled());

  // The filter window's close box hides it; it is never destroyed.
  window.filterWindow()->close();
  ASSERT_NE(window.filterWindow(), nullptr);
  EXPECT_FALSE(window.filterWindow()->isVisible());
  for (const QString& name : operations) EXPECT_TRUE(control<QAbstractButton>(name)->isEnabled());
  EXPECT_TRUE(control<QCheckBox>("选择框_全选不选")->isEnabled());
  EXPECT_TRUE(window.menuBar()->findChild<QMenu*>("菜单_文件")->menuAction()->isEnabled());

  // Ctrl+F is bound to the toggle; the filter window's own 关闭 hides it.
  QAction* filterItem = menuAction("菜单_文件", "高级筛选");
  EXPECT_EQ(filterItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
  EXPECT_EQ(qobject_cast<QToolButton*>(filterButton)->defaultAction(), filterItem);
  QTest::mouseClick(filterButton, Qt::LeftButton);
  EXPECT_TRUE(window.filterWindow()->isVisible());
  QTest::mouseClick(window.filterWindow()->findChild<QPushButton*>("按钮_关闭"), Qt::LeftButton);
  EXPECT_FALSE(window.filterWindow()->isVisible());
}

struct SharedOperation {
  const char* menu;
  const char* item;
  const char* button;
};

class SharedOperations : public MainWindowTest,
                         public ::testing::WithParamInterface<SharedOperation> {};

TEST_P(SharedOperations, ButtonAndMenuItemAreOneActionThatTheFilterWindowHolds) {
  auto& window = open();
  const SharedOperation& c = GetParam();
  auto* button = control<QToolButton>(QString::fromUtf8(c.button));
  QAction* item = menuAction(QString::fromUtf8(c.menu), QString::fromUtf8(c.item));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(button->defaultAction(), item);
  const bool here = item->isEnabled();
  EXPECT_EQ(button->isEnabled(), here);

  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  ASSERT_TRUE(window.filterWindow()->isVisible());
  EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(item->isEnabled());
  EXPECT_EQ(window.gate()->holder(), ui::Operation::Filter);
  EXPECT_FALSE(window.gate()->beginRun(ui::Operation::UpdateSelectedDates));

  window.filterWindow()->close();
  EXPECT_EQ(button->isEnabled(), here);
  EXPECT_EQ(item->isEnabled(), here);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, SharedOperations,
    ::testing::Values(SharedOperation{"菜单_批量操作", "更新选中时间", "按钮_更新选中时间"},
                      SharedOperation{"菜单_批量操作", "删除选中域名", "按钮_删除选中域名"},
                      SharedOperation{"菜单_批量操作", "批量修改选中", "按钮_修改选中"},
                      SharedOperation{"菜单_常用操作", "单个添加域名", "按钮_单个添加域名"},
                      SharedOperation{"菜单_常用操作", "批量添加域名", "按钮_批量添加域名"},
                      SharedOperation{"菜单_文件", "软件设置", "按钮_软件设置"}));

TEST_F(MainWindowTest, FilterConfirmStoresPageSizeReloadsAndHides) {
  addNumbered(5);
  auto& window = open();
  control<QCheckBox>("选择框_全选不选")->setChecked(true);
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  filterControl<QLineEdit>("编辑框_每页显示数量")->setText("2");
  filterControl<QCheckBox>("选择框_域名")->setChecked(true);
  filterControl<QLineEdit>("编辑框_域名")->setText("n");
  QTest::mouseClick(filterControl<QPushButton>("按钮_确定"), Qt::LeftButton);
  waitForPage();
  EXPECT_EQ(SettingsStore(db()).read(kSettingPageSize), "2");
  EXPECT_FALSE(window.filterWindow()->isVisible());
  EXPECT_EQ(caption(), "翻页,总数[5]个,共[3]页");
  EXPECT_EQ(model().rowCount(), 2);
  EXPECT_FALSE(control<QCheckBox>("选择框_全选不选")->isChecked());
  EXPECT_TRUE(control<QAbstractButton>("按钮_反选")->isEnabled());
}

TEST_F(MainWindowTest, StatusBarSaysWhenAFilterIsActive) {
  addNumbered(5);
  auto& window = open();
  auto* filtered = window.statusBar()->findChild<QLabel*>("状态条1_筛选");
  ASSERT_NE(filtered, nullptr);
  EXPECT_FALSE(filtered->isVisible());
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  filterControl<QCheckBox>("选择框_域名")->setChecked(true);
  filterControl<QLineEdit>("编辑框_域名")->setText("n1");
  QTest::mouseClick(filterControl<QPushButton>("按钮_确定"), Qt::LeftButton);
  waitForPage();
  EXPECT_TRUE(filtered->isVisible());
  EXPECT_EQ(filtered->text(), "已筛选");
  EXPECT_EQ(caption(), "翻页,总数[1]个,共[1]页");
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  filterControl<QCheckBox>("选择框_域名")->setChecked(false);
  QTest::mouseClick(filterControl<QPushButton>("按钮_确定"), Qt::LeftButton);
  waitForPage();
  EXPECT_FALSE(filtered->isVisible());
  EXPECT_EQ(caption(), "翻页,总数[5]个,共[1]页");
}

TEST(StandardButtons, ReadInChinese) {
  QMessageBox box(QMessageBox::Question, "请选择", "是否使用缓存数据!",
                  QMessageBox::Yes | QMessageBox::No);
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  // The mnemonic, where the translation gives one, is not part of what is read.
  const auto shown = [](const QAbstractButton* button) {
    return QString(button->text()).remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
  };
  EXPECT_EQ(shown(box.button(QMessageBox::Yes)), "是");
  EXPECT_EQ(shown(box.button(QMessageBox::No)), "否");
  EXPECT_EQ(shown(buttons.button(QDialogButtonBox::Ok)), "确定");
  EXPECT_EQ(shown(buttons.button(QDialogButtonBox::Cancel)), "取消");
}

TEST_F(MainWindowTest, ShrinkingKeepsTheMinimumSize) {
  auto& window = open();
  window.resize(800, 400);
  EXPECT_GE(window.width(), 1200);
  EXPECT_GE(window.height(), 665);
  window.resize(1500, 900);
  QApplication::processEvents();
  EXPECT_GT(window.grid()->width(), 1200);
}

TEST_F(MainWindowTest, DoubleClickOnADomainCopiesIt) {
  addNumbered(2);
  auto& window = open();
  emit window.grid()->doubleClicked(model().index(0, 1));
  EXPECT_EQ(QApplication::clipboard()->text(), "n2.com");
  EXPECT_EQ(window.statusText(1), " 提示: 复制 [ n2.com ] 成功!");
  emit window.grid()->doubleClicked(model().index(1, 2));
  EXPECT_EQ(window.statusText(1), " 提示: 复制 [ n2.com ] 成功!");
  EXPECT_EQ(QApplication::clipboard()->text(), "n2.com");
}

TEST_F(MainWindowTest, GridMenuNamesTheRow) {
  addNumbered(2);
  auto& window = open();
  QApplication::processEvents();
  const QRect cell = window.grid()->visualRect(model().index(1, 3));
  QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(),
                          window.grid()->viewport()->mapToGlobal(cell.center()));
  QApplication::sendEvent(window.grid()->viewport(), &event);
  QMenu* menu = window.gridMenu();
  ASSERT_TRUE(menu->isVisible());
  EXPECT_EQ(menu->actions()[0]->text(), "当前欲操作 [ n1.com ]");
  EXPECT_EQ(menu->actions()[2]->text(), "当前无其他任务,可使用以上功能.");
  menu->hide();
}

TEST_F(MainWindowTest, CloseHidesToTrayWhenAskedAndExitAlwaysEnds) {
  setSetting(kSettingCloseToTray, "1");
  auto& window = open();
  QSignalSpy closed(&window, &ui::MainWindow::closed);
  window.close();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(closed.count(), 0);
  window.show();
  menuAction("菜单_文件", "完全退出")->trigger();
  EXPECT_EQ(closed.count(), 1);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, TrayDoubleClickTogglesTheWindow) {
  setSetting(kSettingCloseToTray, "1");
  auto& window = open();
  ASSERT_NE(window.trayIcon(), nullptr);
  window.close();
  ASSERT_FALSE(window.isVisible());
  emit window.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(window.isVisible());
  emit window.trayIcon()->activated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(window.isVisible());
  emit window.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.trayIcon()->contextMenu()->title(), "文件(&F)");
}

TEST_F(MainWindowTest, WithoutTrayClosingMinimisesInstead) {
  ui::Toolkit::setTrayAvailable(false);
  setSetting(kSettingCloseToTray, "1");
  auto& window = open();
  QSignalSpy closed(&window, &ui::MainWindow::closed);
  window.close();
  EXPECT_EQ(closed.count(), 0);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.isMinimized());
  EXPECT_EQ(window.statusText(1), " 提示:没有系统托盘,窗口已最小化!");
  window.bringForward();  // as a second start asks it to
  EXPECT_FALSE(window.isMinimized());
}

TEST_F(MainWindowTest, CloseExitsWhenNotSetToTray) {
  auto& window = open();
  QSignalSpy closed(&window, &ui::MainWindow::closed);
  window.close();
  EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainWindowTest, HelpOpensTheSiteAndAboutShowsTheVersion) {
  auto& window = open();
  menuAction("菜单_帮助", "帮助")->trigger();
  const QStringList urls = ui::Toolkit::takeOpenedUrls();
  ASSERT_EQ(urls.size(), 1);
  EXPECT_TRUE(urls[0].endsWith("/pelmora/#help"));
  // Without a browser the bundled tour stands in for the page.
  ui::Toolkit::setBrowserAvailable(false);
  menuAction("菜单_帮助", "帮助")->trigger();
  auto* help = window.findChild<QDialog*>("帮助窗口");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->findChild<QTextBrowser*>("超文本浏览框_帮助")
                  ->toPlainText()
                  .contains("Five minutes with Pelmora"));
  help->close();
  menuAction("菜单_帮助", "关于")->trigger();
  auto* about = window.findChild<QDialog*>("关于");
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  QTest::mouseClick(about->findChild<QPushButton*>("按钮_ok"), Qt::LeftButton);
  QApplication::processEvents();
}

TEST_F(MainWindowTest, AlwaysOnTopFollowsTheCheckBox) {
  auto& window = open();
  control<QCheckBox>("选择框_总在最前")->setChecked(true);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  control<QCheckBox>("选择框_总在最前")->setChecked(false);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

// Another program (a command from cron) writes while the window is open: the
// idle window shows it within seconds, on the page it was on, with its ticks.
TEST_F(MainWindowTest, WritesOfAnotherProgramShowOnTheSamePageWithTheirTicks) {
  addNumbered(150);
  auto& window = open();
  QTest::mouseClick(control<QPushButton>("按钮_下一页"), Qt::LeftButton);
  waitForPage();
  model().setTicked(3, true);
  const QString ticked = model().cellText(3, 1);
  const auto selectedNames = [&] {
    QStringList names;
    for (const QModelIndex& row : window.grid()->selectionModel()->selectedRows()) {
      names << model().cellText(row.row(), 1);
    }
    names.sort();
    return names;
  };
  window.grid()->selectionModel()->select(QItemSelection(model().index(5, 0), model().index(6, 0)),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
  const QStringList selected = selectedNames();
  ASSERT_EQ(selected.size(), 2);
  window.grid()->verticalScrollBar()->setValue(10);
  auto other = openCurrentDatabase(dbPath());
  ASSERT_TRUE(other);
  ASSERT_EQ(insertDomains(*other, {makeDomain("outside.com")}).added, 1u);
  other.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return caption().contains("151"); }, 3000))
      << caption().toStdString();
  waitForPage();
  EXPECT_EQ(control<QComboBox>("组合框_分页")->currentIndex(), 1);
  EXPECT_EQ(model().tickedRows().size(), 1u);
  EXPECT_EQ(model().cellText(model().tickedRows()[0], 1), ticked);
  EXPECT_EQ(selectedNames(), selected);
  EXPECT_EQ(window.grid()->verticalScrollBar()->value(), 10);
}

// An edit in progress is not overwritten: the change shows once it ends.
TEST_F(MainWindowTest, AnEditInProgressHoldsTheFollowingBack) {
  addNumbered(2);
  auto& window = open();
  window.grid()->edit(model().index(0, 17));
  ASSERT_TRUE(window.grid()->isEditing());
  auto other = openCurrentDatabase(dbPath());
  ASSERT_EQ(insertDomains(*other, {makeDomain("outside.com")}).added, 1u);
  QTest::qWait(2 * static_cast<int>(ui::MainWindow::kFollowInterval.count()));
  EXPECT_EQ(model().rowCount(), 2);
  EXPECT_TRUE(window.grid()->isEditing());
  QWidget* editor = window.grid()->indexWidget(model().index(0, 17));
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return model().rowCount() == 3; }, 3000));
}

// 文件 → 导出列表: every page of the current filter in the current order, with
// a byte order mark for spreadsheets; a cancelled export leaves no file.
TEST_F(MainWindowTest, ExportListingWritesEveryPageInTheShownOrder) {
  addNumbered(120);
  auto& window = open();
  emit window.grid()->horizontalHeader()->sectionClicked(1);  // 域名, descending
  waitForPage();
  menuAction("菜单_文件", "导出列表")->trigger();
  auto* dialog = window.findChild<ui::ListingExportWindow*>("导出列表窗口");
  ASSERT_NE(dialog, nullptr);
  const auto file = folder_.file("list.csv");
  dialog->findChild<QLineEdit*>("编辑框_导出文件")->setText(QString::fromStdString(file.string()));
  QSignalSpy ended(dialog, &ui::ListingExportWindow::exportEnded);
  QTest::mouseClick(dialog->findChild<QPushButton*>("按钮_导出"), Qt::LeftButton);
  ASSERT_TRUE(ended.wait(10000));
  EXPECT_EQ(ended[0][0].toString(), "已导出 120 个域名到 " + QString::fromStdString(file.string()));
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF域名,后缀,长度,")) << text.substr(0, 40);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 121);
  EXPECT_LT(text.find("\nn99.com,"), text.find("\nn120.com,"));  // 域名 descending
  // 取消 during a run stops it; the file it would have replaced stays as it was.
  std::atomic<bool> cancelled{false};
  dialog->setBeforeWrite([&] {
    while (!cancelled) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  QTest::mouseClick(dialog->findChild<QPushButton*>("按钮_导出"), Qt::LeftButton);
  auto* cancel = dialog->findChild<QPushButton*>("按钮_取消导出");
  EXPECT_EQ(cancel->text(), "取消");
  QTest::mouseClick(cancel, Qt::LeftButton);
  cancelled = true;
  ASSERT_TRUE(ended.wait(10000));
  EXPECT_EQ(ended[1][0].toString(), "已取消, 没有写入文件.");
  EXPECT_EQ(cancel->text(), "关闭");
  std::ifstream again(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), text);
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(!name.starts_with("list") || name == "list.csv") << name;  // no temporary left
  }
}

// 文件 → 导出日历: one all-day event per expiry date of the filtered domains.
TEST_F(MainWindowTest, ExportCalendarWritesTheExpiryDatesOfTheFilter) {
  add({makeDomain("keep1.com", {{DomainField::ExpiresOn, "2030-01-02"}}), makeDomain("keep2.com"),
       makeDomain("other.com", {{DomainField::ExpiresOn, "2030-05-05"}})});
  auto& window = open();
  QTest::mouseClick(control<QAbstractButton>("按钮_筛选"), Qt::LeftButton);
  filterControl<QCheckBox>("选择框_域名")->setChecked(true);
  filterControl<QLineEdit>("编辑框_域名")->setText("keep");
  QTest::mouseClick(filterControl<QPushButton>("按钮_确定"), Qt::LeftButton);
  waitForPage();
  menuAction("菜单_文件", "导出日历")->trigger();
  auto* dialog = window.findChild<ui::CalendarExportWindow*>("导出日历窗口");
  ASSERT_NE(dialog, nullptr);
  const QString file = QString::fromStdString(folder_.file("dates.ics").string());
  dialog->findChild<QLineEdit*>("编辑框_导出文件")->setText(file);
  QSignalSpy ended(dialog, &ui::CalendarExportWindow::exportEnded);
  QTest::mouseClick(dialog->findChild<QPushButton*>("按钮_导出"), Qt::LeftButton);
  ASSERT_TRUE(ended.wait(10000));
  EXPECT_EQ(ended[0][0].toString(), "已导出 1 个到期日到 " + file + ", 1 个域名没有到期时间");
  std::ifstream in(folder_.file("dates.ics"), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(text.starts_with("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n")) << text;
  EXPECT_NE(text.find("\r\nUID:keep1.com@pelmora\r\nDTSTAMP:20170315T120000Z\r\n"
                      "DTSTART;VALUE=DATE:20300102\r\nDTEND;VALUE=DATE:20300103\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("other.com"), std::string::npos);
  EXPECT_TRUE(text.ends_with("END:VEVENT\r\nEND:VCALENDAR\r\n"));
}

}  // namespace
}  // namespace pelmora::testing

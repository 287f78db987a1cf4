// The main window's menus, tool windows, reminders, tray icon and closing.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSystemTrayIcon>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/main_window_texts.h"
#include "app/operation_gate.h"
#include "app/reminder_menu.h"
#include "app/tool_windows.h"
#include "app/tray_icon.h"
#include "app/windows/window_shell.h"
#include "reports/expiry_reminder.h"
#include "store/program_settings.h"
#include "support/endpoints.h"
#include "ui/about_dialog.h"
#include "ui/column_visibility_window.h"
#include "ui/filter_window.h"
#include "ui/help_window.h"
#include "ui/listing_grid.h"
#include "ui/qt_text.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

const QString kFilterWindow = QStringLiteral("筛选窗口");
const QString kColumnWindow = QStringLiteral("隐藏显示列");
const QString kAboutBox = QStringLiteral("关于");
const QString kHelpWindow = QStringLiteral("帮助窗口");

}  // namespace

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  const auto addOperations = [this](QMenu* menu, std::initializer_list<Operation> operations) {
    for (Operation operation : operations) menu->addAction(actions_->action(operation));
  };

  fileMenu_ = bar->addMenu(QStringLiteral("文件(&F)"));
  fileMenu_->setObjectName(QStringLiteral("菜单_文件"));
  addOperations(fileMenu_, {Operation::Filter, Operation::Settings, Operation::Report,
                            Operation::ExportListing, Operation::ExportCalendar});
  connect(fileMenu_->addAction(QStringLiteral("完全退出")), &QAction::triggered, this,
          &MainWindow::exitCompletely);

  commonMenu_ = bar->addMenu(QStringLiteral("常用操作(&E)"));
  commonMenu_->setObjectName(QStringLiteral("菜单_常用操作"));
  addOperations(commonMenu_, {Operation::SingleAdd, Operation::BatchAdd});
  connect(commonMenu_->addAction(QStringLiteral("还原表格属性")), &QAction::triggered, this,
          [this] { grid_->pageModel()->restoreLook(); });

  batchMenu_ = bar->addMenu(QStringLiteral("批量操作(&P)"));
  batchMenu_->setObjectName(QStringLiteral("菜单_批量操作"));
  addOperations(batchMenu_, {Operation::UpdateSelectedDates, Operation::ModifySelected,
                             Operation::DeleteSelected});
  // While a tool window holds the others these menus are closed as a whole.
  for (QMenu* menu : {fileMenu_, commonMenu_, batchMenu_})
    actions_->closeWhileToolWindowHolds(menu);

  QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
  help->setObjectName(QStringLiteral("菜单_帮助"));
  connect(help->addAction(QStringLiteral("帮助")), &QAction::triggered, this, [this] {
    // Without a browser the bundled help stands in for the page.
    if (!Toolkit::openUrl(QStringLiteral("http://") + QString::fromStdString(siteHost()) +
                          QStringLiteral("/pelmora/#help"))) {
      tools_->open(kHelpWindow);
    }
  });
  connect(help->addAction(QStringLiteral("关于")), &QAction::triggered, this,
          [this] { tools_->open(kAboutBox); });

  reminders_ = new ReminderMenu(bar);
  connect(reminders_, &ReminderMenu::showDueRequested, this, &MainWindow::showDue);

  gridMenu_ = new QMenu(this);
  gridMenu_->setObjectName(QStringLiteral("表格菜单"));
  gridMenuDomain_ = gridMenu_->addAction(QStringLiteral("当前域名"));
  gridMenuDomain_->setEnabled(false);
  gridMenuUpdate_ = actions_->action(Operation::UpdateRowDates);
  gridMenu_->addAction(gridMenuUpdate_);
  gridMenuState_ = gridMenu_->addAction(QStringLiteral("当前状态"));
  gridMenuState_->setEnabled(false);
}

void MainWindow::buildTray() {
  if (!Toolkit::trayAvailable()) return;
  tray_ = new QSystemTrayIcon(programIcon(), this);
  tray_->setContextMenu(fileMenu_);
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why != QSystemTrayIcon::DoubleClick) return;
    if (isVisible()) {
      hide();
    } else {
      bringForward();
    }
  });
  tray_->show();
}

void MainWindow::bringForward() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void MainWindow::createToolWindows() {
  ToolWindowRule filter;
  filter.create = [this] {
    filterWindow_ = new FilterWindow(this, options_.clock, &db_);
    filterWindow_->fillLists(lists_);
    filterWindow_->setPageSizeText(QString::number(programSettingsOrDefaults(db_).pageSize));
    connect(filterWindow_, &FilterWindow::confirmed, this, &MainWindow::confirmFilter);
    connect(filterWindow_, &FilterWindow::closeRequested, this,
            [this] { tools_->close(kFilterWindow); });
    return filterWindow_.data();
  };
  filter.holdsGate = Operation::Filter;
  filter.beforeShow = [this](QWidget*) {
    rebuildLists();
    filterWindow_->refillKeepingPositions(lists_);
  };
  tools_->add(kFilterWindow, std::move(filter));

  ToolWindowRule columns;
  columns.create = [this] {
    columnWindow_ = new ColumnVisibilityWindow(this);
    connect(columnWindow_, &ColumnVisibilityWindow::applied, this,
            [this] { grid_->applyColumnVisibility(columnWindow_->visibleColumns()); });
    return columnWindow_.data();
  };
  tools_->add(kColumnWindow, std::move(columns));

  ToolWindowRule about;
  about.create = [this] {
    auto* box = new AboutDialog(this);
    box->setWindowModality(Qt::WindowModal);
    return box;
  };
  about.whenClosed = WhenClosed::Delete;
  tools_->add(kAboutBox, std::move(about));
  ToolWindowRule help;
  help.create = [this] { return new HelpWindow(this); };
  tools_->add(kHelpWindow, std::move(help));
  shell_ = std::make_unique<WindowShell>(
      WindowShell{this, db_, options_.clock, lists_, [this] { rebuildLists(); }, *grid_, *actions_,
                  *gate_, *tools_, [this](bool refreshCounts) { loadPage(refreshCounts); },
                  [this](const ProgramSettings& settings) { applySavedSettings(settings); },
                  [this] {
                    return ListingView{currentCondition(), sortKey_, sortAscending_};
                  }});
  installWindows(*shell_);
  connect(actions_->action(Operation::DeleteSelected), &QAction::triggered, this,
          &MainWindow::deleteTicked);

  tools_->window(kFilterWindow);
}

void MainWindow::toggleFilterWindow() { tools_->toggle(kFilterWindow); }

void MainWindow::confirmFilter() {
  if (const auto written =
          settings_.write(kSettingPageSize, filterWindow_->pageSizeText().toStdString());
      !written) {
    Toolkit::messageBox(this, texts::pageSizeNotSaved(q(written.error())), QString());
  }
  loadPage(true);
  tools_->close(kFilterWindow);
  tickAll_->setChecked(false);
}

void MainWindow::toggleColumnWindow() { tools_->toggle(kColumnWindow); }

void MainWindow::showDue(int expiryChoiceIndex) {
  if (!filterWindow_) return;
  filterWindow_->selectExpiryShortcut(expiryChoiceIndex);
  loadPage(true);
}

void MainWindow::setAlwaysOnTop(bool on) {
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (shown) show();
  tools_->setAlwaysOnTop(on);
}

void MainWindow::startExpiryMonitor() {
  const ExpiryCheck check = programSettingsOrDefaults(db_).expiryCheck;
  if (!check.on) return;
  const int periodMs = expiryCheckPeriodMs(check);
  runExpiryCheck();
  expiryTimer_.setInterval(periodMs);
  if (periodMs == 0) {
    expiryTimer_.stop();
  } else {
    expiryTimer_.start();
  }
}

void MainWindow::runExpiryCheck() {
  // A batch add keeps the database in one transaction for its whole run; the
  // check waits until its window is closed rather than freeze this one.
  if (gate_->holder() == Operation::BatchAdd) {
    expiryCheckDue_ = true;
    return;
  }
  expiryCheckDue_ = false;
  std::string error;
  const auto counts = countExpiring(db_, options_.clock.today(), &error);
  if (!counts) {
    setStatus(texts::expiryCheckFailed(q(error)));
    return;
  }
  reminders_->showCounts(*counts);
}

void MainWindow::exitCompletely() {
  exiting_ = true;
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!exiting_ && programSettingsOrDefaults(db_).closeToTray) {
    event->ignore();
    if (tray_ != nullptr) {
      hide();
    } else {
      // Without a notification area a hidden window could not be reached again.
      showMinimized();
      setStatus(texts::noTrayMinimised());
    }
    return;
  }
  tools_->destroyAll();
  if (tray_ != nullptr) tray_->hide();
  event->accept();
  emit closed();
}

}  // namespace pelmora::ui

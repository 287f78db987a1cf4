#pragma once

// The main window: the listing with its paging controls, the operation
// buttons, the menus, the reminder menu, the status bar and the tray icon.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "store/settings_store.h"
#include "support/dates.h"
#include "ui/column_visibility_window.h"
#include "ui/filter_window.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTextBrowser;

namespace pelmora::ui {

class ListingGrid;
class DateUpdater;
class ReminderMenu;

struct MainWindowOptions {
  Clock clock = Clock::system();
  QString statusText;   // second part of the status bar
  QString newsAddress;  // page of the embedded browser
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(DomainDatabase& db, MainWindowOptions options = {});
  ~MainWindow() override;

  // Reloads the current page; with `refreshCounts` the total, the page list
  // and the caption too, back to page 1.
  void loadPage(bool refreshCounts);
  // The expiry monitor start: one check now, then the timer from "到期检测".
  void startExpiryMonitor();
  void runExpiryCheck();
  // "完全退出"
  void exitCompletely();

  QString statusText(int part) const;
  ListingGrid* grid() const { return grid_; }
  FilterWindow* filterWindow() const { return filterWindow_; }
  ColumnVisibilityWindow* columnWindow() const { return columnWindow_; }
  ReminderMenu* reminders() const { return reminders_; }
  QTimer* expiryTimer() { return &expiryTimer_; }
  QMenu* gridMenu() const { return gridMenu_; }
  QSystemTrayIcon* trayIcon() const { return tray_; }
  DateUpdater* dateUpdater() const { return dateUpdater_; }
  QAction* gridMenuUpdateAction() const { return gridMenuUpdate_; }
  const std::string& sortKey() const { return sortKey_; }

 signals:
  // The window was closed for good: the program ends.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  void buildTray();
  void createFilterWindow();
  void setStatus(const QString& text);

  void refreshCounts(const SqlCondition& condition);
  void goPrevious();
  void goNext();
  void pickPage(int index);
  void afterNavigation();
  void sortByHeader(int column);
  void copyDomain(const QModelIndex& index);
  void showGridMenu(int row, const QPoint& globalPos);
  void writeRowBack(int row);
  void updateTickedDates();
  void updateCurrentRowDates();
  void showRowDates(int row, const QString& domain, int generation, bool success,
                    const QString& registered, const QString& expires, const QString& status);
  void finishBatch(int attempted, int ok, int failed, int generation);
  void setDateColumnsReadOnly(bool readOnly);
  void setButtonsEnabled(bool enabled);

  void toggleFilterWindow();
  void confirmFilter();
  void toggleColumnWindow();
  void showDue(int expiryChoiceIndex);
  void setOperationsEnabled(bool enabled, QWidget* except);
  void setAlwaysOnTop(bool on);
  void centreOverMe(QWidget* window);

  DomainDatabase& db_;
  SettingsStore settings_;
  MainWindowOptions options_;
  ClassificationLists lists_;
  std::string sortKey_{"id"};
  std::int64_t total_ = 0;
  std::int64_t pageCount_ = 1;
  bool exiting_ = false;
  int pageGeneration_ = 0;
  bool batchRunning_ = false;
  int gridMenuRow_ = -1;
  DateUpdater* dateUpdater_ = nullptr;

  ListingGrid* grid_ = nullptr;
  QGroupBox* pagingGroup_ = nullptr;
  QComboBox* pageList_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QCheckBox* tickAll_ = nullptr;
  QPushButton* invert_ = nullptr;
  QPushButton* filterButton_ = nullptr;
  QPushButton* columnsButton_ = nullptr;
  QCheckBox* alwaysOnTop_ = nullptr;
  QLabel* statusPart1_ = nullptr;
  QLabel* statusPart2_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  std::vector<QPushButton*> operationButtons_;
  std::vector<QWidget*> unavailable_;  // features whose windows are not here yet
  QMenu* fileMenu_ = nullptr;
  QMenu* commonMenu_ = nullptr;
  QMenu* batchMenu_ = nullptr;
  QMenu* gridMenu_ = nullptr;
  QAction* gridMenuDomain_ = nullptr;
  QAction* gridMenuUpdate_ = nullptr;
  QAction* gridMenuState_ = nullptr;
  ReminderMenu* reminders_ = nullptr;
  QTimer expiryTimer_;
  QSystemTrayIcon* tray_ = nullptr;
  QPointer<FilterWindow> filterWindow_;
  QPointer<ColumnVisibilityWindow> columnWindow_;
};

}  // namespace pelmora::ui

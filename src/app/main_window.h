#pragma once

// The main window: the listing with its paging controls, the operation
// buttons, the menus, the reminder menu, the status bar and the tray icon.

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/classification_lists.h"
#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "store/listing.h"
#include "store/settings_store.h"
#include "support/dates.h"
#include "ui/column_visibility_window.h"
#include "ui/filter_window.h"
#include "ui/page_loader.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTextBrowser;
class QToolButton;

namespace pelmora {
struct BatchTally;
struct ProgramSettings;
}  // namespace pelmora

namespace pelmora::ui {

class ListingGrid;
class AutoDateRefresh;
class DateUpdater;
class MainActions;
class OperationGate;
class ReminderMenu;
class RunProgress;
class ToolWindows;
struct WindowShell;

struct MainWindowOptions {
  Clock clock = Clock::system();
  QString statusText;   // second part of the status bar
  QString newsAddress;  // page of the embedded browser
  // The user's file that keeps the window's place and the grid's layout and
  // sort between runs; none: the window starts as designed.
  QString placesFile;
  // When 自动更新到期时间 is on: the wait before the first refresh (a minute).
  std::optional<std::chrono::milliseconds> autoRefreshDelay;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // How often the idle window looks for what other programs wrote.
  static constexpr std::chrono::milliseconds kFollowInterval{1500};

  MainWindow(DomainDatabase& db, MainWindowOptions options = {});
  ~MainWindow() override;

  // Reloads the current page; with `refreshCounts` the total, the page list
  // and the caption too, back to page 1. The reading runs on a worker; the
  // grid and the paging controls change when the answer arrives (pageLoaded).
  void loadPage(bool refreshCounts);
  // A page, count or reload is being read.
  bool isLoading() const { return loader_->isLoading(); }
  PageLoader* pageLoader() const { return loader_; }
  // The expiry monitor start: one check now, then the timer from "到期检测".
  void startExpiryMonitor();
  void runExpiryCheck();
  // "完全退出"
  void exitCompletely();
  // Shows the window, also from the tray or minimised, above the others.
  void bringForward();

  QString statusText(int part) const;
  ListingGrid* grid() const { return grid_; }
  FilterWindow* filterWindow() const { return filterWindow_; }
  ColumnVisibilityWindow* columnWindow() const { return columnWindow_; }
  ReminderMenu* reminders() const { return reminders_; }
  QTimer* expiryTimer() { return &expiryTimer_; }
  QMenu* gridMenu() const { return gridMenu_; }
  QSystemTrayIcon* trayIcon() const { return tray_; }
  DateUpdater* dateUpdater() const { return dateUpdater_; }
  OperationGate* gate() const { return gate_; }
  MainActions* actions() const { return actions_; }
  ToolWindows* toolWindows() const { return tools_; }
  RunProgress* runProgress() const { return runProgress_; }
  QAction* gridMenuUpdateAction() const { return gridMenuUpdate_; }
  const std::string& sortKey() const { return sortKey_; }
  bool sortAscending() const { return sortAscending_; }

 signals:
  // The window was closed for good: the program ends.
  void closed();
  // The answer of the latest page load or count is shown (or its failure
  // reported); nothing is being read any more.
  void pageLoaded();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  void buildTray();
  // Tells the tool-window policy about each window; the filter window is
  // loaded hidden now, so its criteria are there from the start.
  void createToolWindows();
  void setStatus(const QString& text);
  // Reads the whole file once on a worker (store/file_check); a damaged one
  // is reported and takes no more writes.
  void checkFileInBackground();

  // A request for the page the controls show, in the current order and filter.
  PageLoadRequest currentRequest() const;
  // Hands a request to the loader. A request still pending is superseded, but
  // what it was to refresh is refreshed by this one too.
  void startLoad(PageLoadRequest request);
  void showLoaded(const PageLoadResult& result);
  void showBusy(bool busy);
  // After a failed read: the page list, buttons and sort column of the page
  // the grid shows.
  void restoreShownPage();
  void showTotal(ListingTotal total, int index);
  // Selects the page at `index` in the page list and sets the buttons for it.
  void selectPage(int index);
  // A read that failed: the message with the reason; the grid keeps its rows.
  void reportReadFailure(const std::string& reason);
  // Rereads the classification lists; a failure is reported and the lists
  // stay as they were.
  void rebuildLists();
  void goPrevious();
  void goNext();
  void pickPage(int index);
  void afterNavigation();
  void sortByHeader(int column);
  void copyDomain(const QModelIndex& index);
  void showGridMenu(int row, const QPoint& globalPos);
  void writeCellBack(int row, int column, const QString& text);
  void updateTickedDates();
  void updateCurrentRowDates();
  void showRowDates(int row, const QString& domain, int generation, bool success,
                    const QString& registered, const QString& expires, const QString& status);
  void finishBatch(const BatchTally& tally, int generation);
  void endDateRun();
  void setDateColumnsReadOnly(bool readOnly);

  void toggleFilterWindow();
  void confirmFilter();
  void toggleColumnWindow();
  void showDue(int expiryChoiceIndex);
  void setAlwaysOnTop(bool on);

  // The tool windows of app/windows, plugged in through this.
  std::unique_ptr<WindowShell> shell_;
  void applySavedSettings(const ProgramSettings& settings);
  // 注册局优先 and 自动更新到期时间.
  void configureLookups(const ProgramSettings& settings);
  void startAutoRefresh(const ProgramSettings& settings);
  void endAutoRefresh(const QString& statusLine, bool stored);
  // The reminder switched off: no timer, no cycle, no menu.
  void stopExpiryMonitor();
  void deleteTicked();

  // What the grid shows of a page that is read again because another program
  // wrote: rows that are still there keep their ticks, the current cell and
  // the scroll position.
  struct KeptView {
    std::int64_t page = 1;
    std::set<std::string> tickedIds;
    std::set<std::string> selectedIds;
    std::string currentId;
    int currentColumn = 0;
    QPoint scroll;
  };
  void restorePlaces();
  void savePlaces();
  void startFollowingOutsideWrites();
  void followOutsideWrites();
  void reloadKeepingView();
  void restoreKeptView(const PageLoadRequest& shown);
  QTimer followTimer_;
  std::optional<std::int64_t> seenOutsideVersion_;
  bool ownDatesStored_ = false;  // the automatic refresh wrote: reload at the next look
  std::optional<KeptView> keptView_;
  SqlCondition currentCondition() const;
  // The total, page list and caption for the current filter; the grid and
  // the selected page stay.
  void recountKeepingPage();
  bool expiryCheckDue_ = false;  // put off while a batch add holds the database

  DomainDatabase& db_;
  SettingsStore settings_;
  MainWindowOptions options_;
  ClassificationLists lists_;
  std::string sortKey_{"id"};
  bool sortAscending_ = false;
  ListingTotal total_;
  std::int64_t pageCount_ = 1;
  int pageSize_ = 100;
  // What the grid shows, for a read that fails.
  int shownIndex_ = 0;
  std::string shownSortKey_{"id"};
  bool shownSortAscending_ = false;
  int shownSortColumn_ = -1;
  PageLoader* loader_ = nullptr;
  bool exiting_ = false;
  int pageGeneration_ = 0;
  int gridMenuRow_ = -1;
  DateUpdater* dateUpdater_ = nullptr;
  AutoDateRefresh* autoRefresh_ = nullptr;
  OperationGate* gate_ = nullptr;
  MainActions* actions_ = nullptr;
  ToolWindows* tools_ = nullptr;
  RunProgress* runProgress_ = nullptr;

  ListingGrid* grid_ = nullptr;
  QGroupBox* pagingGroup_ = nullptr;
  QComboBox* pageList_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QCheckBox* tickAll_ = nullptr;
  QToolButton* invert_ = nullptr;
  QCheckBox* alwaysOnTop_ = nullptr;
  QLabel* statusPart1_ = nullptr;
  QLabel* statusPart2_ = nullptr;
  QLabel* filterState_ = nullptr;  // shown while a filter narrows the listing
  QLabel* reading_ = nullptr;      // shown while a slow read is outstanding
  QTextBrowser* browser_ = nullptr;
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
  // The policy owns these windows; these are typed views of them.
  QPointer<FilterWindow> filterWindow_;
  QPointer<ColumnVisibilityWindow> columnWindow_;
};

}  // namespace pelmora::ui

#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/date_updater.h"
#include "app/main_actions.h"
#include "app/main_window_texts.h"
#include "app/operation_gate.h"
#include "app/reminder_menu.h"
#include "app/tool_windows.h"
#include "app/tray_icon.h"
#include "app/windows/window_shell.h"
#include "editing/row_write_back.h"
#include "store/file_check.h"
#include "store/listing.h"
#include "store/program_settings.h"
#include "support/program_texts.h"
#include "ui/background_job.h"
#include "ui/column_visibility_window.h"
#include "ui/filter_window.h"
#include "ui/listing_grid.h"
#include "ui/qt_text.h"
#include "ui/run_progress.h"
#include "ui/startup/news_browser.h"
#include "ui/startup/news_pane.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

const QSize kDesignSize(1200, 665);

// Narrower side margins and gaps than the style's, so that the bottom row's
// captions fit side by side at the design width.
void tightenSides(QBoxLayout* layout, int sideMargin, int spacing) {
  QMargins margins = layout->contentsMargins();
  margins.setLeft(sideMargin);
  margins.setRight(sideMargin);
  layout->setContentsMargins(margins);
  layout->setSpacing(spacing);
}

}  // namespace

MainWindow::MainWindow(DomainDatabase& db, MainWindowOptions options)
    : db_(db), settings_(db), options_(std::move(options)) {
  setObjectName(QStringLiteral("主窗口"));
  gate_ = new OperationGate(this);
  actions_ = new MainActions(*gate_, this);
  tools_ = new ToolWindows(*this, *gate_);
  dateUpdater_ = new DateUpdater(db_, options_.clock, this);
  connect(dateUpdater_, &DateUpdater::rowStarted, this, [this](const QString& domain) {
    setStatus(QString::fromStdString(lookupStartedStatus(domain.toStdString())));
  });
  connect(dateUpdater_, &DateUpdater::rowFinished, this, &MainWindow::showRowDates);
  loader_ = new PageLoader(db_, this);
  connect(loader_, &PageLoader::loaded, this, &MainWindow::showLoaded);
  connect(loader_, &PageLoader::busyChanged, this, &MainWindow::showBusy);
  setWindowIcon(programIcon());
  buildControls();
  buildMenus();
  runProgress_ = new RunProgress(statusBar());

  // Start-up, in order: title, status text, lists, first page, tray icon,
  // filter window loaded hidden, news page, expiry monitor.
  // Settings that cannot be read are reported once; the defaults stand in.
  const auto settings = readProgramSettings(db_);
  if (!settings) reportReadFailure(settings.error());
  const std::string customTitle = settings.value_or(ProgramSettings{}).customTitle;
  setWindowTitle(q(mainWindowTitle(customTitle)));
  statusPart2_->setText(options_.statusText);
  rebuildLists();
  restorePlaces();
  loadPage(true);
  buildTray();
  if (tray_ != nullptr) tray_->setToolTip(q(trayTip(customTitle)));
  createToolWindows();
  if (!options_.newsAddress.isEmpty()) (new NewsPane(*browser_))->load(options_.newsAddress);
  expiryTimer_.setObjectName(QStringLiteral("时钟_监控到期"));
  connect(&expiryTimer_, &QTimer::timeout, this, &MainWindow::runExpiryCheck);
  connect(gate_, &OperationGate::changed, this, [this] {
    if (expiryCheckDue_ && gate_->holder() != Operation::BatchAdd) runExpiryCheck();
  });
  startExpiryMonitor();
  startAutoRefresh(settings.value_or(ProgramSettings{}));
  checkFileInBackground();
  startFollowingOutsideWrites();
}

MainWindow::~MainWindow() {
  savePlaces();
  // The tool windows were wired through the shell: they go while it is there.
  QList<QWidget*> windows;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) windows << child;
  }
  qDeleteAll(windows);
}

void MainWindow::checkFileInBackground() {
  auto* check = new BackgroundJob(this);
  check->start([this, &db = db_](std::stop_token stop, JobReporter& reporter) {
    const FileCheck result = checkBeforeWriting(db, CheckWhen::Always, stop);
    if (!result.sound && !result.problem.empty()) {
      reporter.post([this, problem = result.problem] {
        Toolkit::messageBox(this, texts::damagedFile(q(problem)), QString());
      });
    }
  });
}

void MainWindow::buildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  tightenSides(layout, 6, layout->spacing());
  grid_ = new ListingGrid(central);
  layout->addWidget(grid_, 1);

  auto* bottom = new QHBoxLayout;
  pagingGroup_ = named(new QGroupBox(QStringLiteral("翻页")), QStringLiteral("分组框_翻页"));
  auto* paging = new QHBoxLayout(pagingGroup_);
  tightenSides(paging, 4, 4);
  pageList_ = named(new QComboBox, QStringLiteral("组合框_分页"));
  pageList_->setMinimumWidth(70);
  previous_ = named(new QPushButton(QStringLiteral("< 上一页")), QStringLiteral("按钮_上一页"));
  next_ = named(new QPushButton(QStringLiteral("下一页 >")), QStringLiteral("按钮_下一页"));
  tickAll_ = named(new QCheckBox(QStringLiteral("全选/不选")), QStringLiteral("选择框_全选不选"));
  actions_->follow(tickAll_, Operation::TickAll);
  invert_ =
      actions_->button(Operation::InvertTicks, QStringLiteral("反选"), QStringLiteral("按钮_反选"));
  for (QWidget* w :
       std::initializer_list<QWidget*>{pageList_, previous_, next_, tickAll_, invert_}) {
    paging->addWidget(w);
  }
  bottom->addWidget(pagingGroup_, 1);

  auto* common = named(new QGroupBox(QStringLiteral("常用操作 : 快捷键Ctrl")),
                       QStringLiteral("分组框_常用操作"));
  auto* commonLayout = new QHBoxLayout(common);
  tightenSides(commonLayout, 4, 2);
  const auto addButton = [&](Operation operation, const QString& caption, const QString& name) {
    commonLayout->addWidget(actions_->button(operation, caption, name));
  };
  addButton(Operation::SingleAdd, QStringLiteral("单个添加(Q)"),
            QStringLiteral("按钮_单个添加域名"));
  addButton(Operation::BatchAdd, QStringLiteral("批量添加(W)"),
            QStringLiteral("按钮_批量添加域名"));
  addButton(Operation::Settings, QStringLiteral("软件设置(R)"), QStringLiteral("按钮_软件设置"));
  addButton(Operation::HideColumns, QStringLiteral("隐藏列"), QStringLiteral("按钮_隐藏列"));
  addButton(Operation::ModifySelected, QStringLiteral("修改选中"), QStringLiteral("按钮_修改选中"));
  addButton(Operation::AdvancedModify, QStringLiteral("高级修改"), QStringLiteral("按钮_高级修改"));
  addButton(Operation::DeleteSelected, QStringLiteral("删除选中"),
            QStringLiteral("按钮_删除选中域名"));
  addButton(Operation::UpdateSelectedDates, QStringLiteral("更新选中时间"),
            QStringLiteral("按钮_更新选中时间"));
  bottom->addWidget(common);

  bottom->addWidget(actions_->button(Operation::Filter, QStringLiteral("筛 选(Ctrl+F)"),
                                     QStringLiteral("按钮_筛选")));
  alwaysOnTop_ =
      named(new QCheckBox(QStringLiteral("总在最前显示")), QStringLiteral("选择框_总在最前"));
  bottom->addWidget(alwaysOnTop_);
  layout->addLayout(bottom);

  browser_ = named(new NewsBrowser, QStringLiteral("超文本浏览框1"));
  browser_->setMaximumHeight(70);
  layout->addWidget(browser_);
  setCentralWidget(central);

  auto* status = named(new QStatusBar(this), QStringLiteral("状态条1"));
  statusPart1_ = named(new QLabel, QStringLiteral("状态条1_提示"));
  statusPart2_ = named(new QLabel, QStringLiteral("状态条1_状态"));
  filterState_ = named(new QLabel(QStringLiteral("已筛选")), QStringLiteral("状态条1_筛选"));
  status->addWidget(statusPart1_, 1);
  status->addPermanentWidget(filterState_);
  filterState_->setVisible(false);
  reading_ = named(new QLabel(texts::reading()), QStringLiteral("状态条1_读取"));
  status->addPermanentWidget(reading_);
  reading_->setVisible(false);
  status->addPermanentWidget(statusPart2_);
  setStatusBar(status);

  // The design size is the floor; a font whose captions need more widens it,
  // rather than clipping them.
  ensurePolished();
  setMinimumSize(kDesignSize.expandedTo(minimumSizeHint()));
  resize(minimumSize());

  connect(previous_, &QPushButton::clicked, this, &MainWindow::goPrevious);
  connect(next_, &QPushButton::clicked, this, &MainWindow::goNext);
  connect(pageList_, &QComboBox::activated, this, &MainWindow::pickPage);
  connect(tickAll_, &QCheckBox::toggled, this,
          [this](bool on) { grid_->pageModel()->setAllTicked(on); });
  // The box says whether every row shown is ticked, whatever changed them.
  const auto followTicks = [this] {
    const PageModel* model = grid_->pageModel();
    const QSignalBlocker quiet(tickAll_);
    tickAll_->setChecked(model->rowCount() > 0 &&
                         static_cast<int>(model->tickedRows().size()) == model->rowCount());
  };
  connect(grid_->pageModel(), &QAbstractItemModel::modelReset, this, followTicks);
  connect(grid_->pageModel(), &QAbstractItemModel::dataChanged, this, followTicks);
  const auto onAction = [this](Operation operation, auto slot) {
    connect(actions_->action(operation), &QAction::triggered, this, slot);
  };
  onAction(Operation::InvertTicks, [this] { grid_->pageModel()->invertTicks(); });
  onAction(Operation::Filter, [this] { toggleFilterWindow(); });
  onAction(Operation::UpdateSelectedDates, [this] { updateTickedDates(); });
  onAction(Operation::UpdateRowDates, [this] { updateCurrentRowDates(); });
  onAction(Operation::HideColumns, [this] { toggleColumnWindow(); });
  connect(alwaysOnTop_, &QCheckBox::toggled, this, &MainWindow::setAlwaysOnTop);
  connect(grid_, &ListingGrid::headerClicked, this, &MainWindow::sortByHeader);
  connect(grid_, &QTableView::doubleClicked, this, &MainWindow::copyDomain);
  connect(grid_, &ListingGrid::contextMenuAt, this, &MainWindow::showGridMenu);
  connect(grid_->pageModel(), &PageModel::cellEdited, this,
          [this](int row, int column, const QString&, const QString& text) {
            writeCellBack(row, column, text);
          });
}

void MainWindow::setStatus(const QString& text) { statusPart1_->setText(text); }

QString MainWindow::statusText(int part) const {
  return part == 1 ? statusPart1_->text() : statusPart2_->text();
}

void MainWindow::loadPage(bool refresh) {
  if (refresh) selectPage(0);
  PageLoadRequest request = currentRequest();
  request.recount = refresh;
  startLoad(std::move(request));
}

PageLoadRequest MainWindow::currentRequest() const {
  PageLoadRequest request;
  request.condition = currentCondition();
  request.sortKey = sortKey_;
  request.ascending = sortAscending_;
  request.page = std::max(pageList_->currentIndex(), 0) + 1;
  request.total = total_;
  return request;
}

void MainWindow::startLoad(PageLoadRequest request) {
  if (const auto& pending = loader_->pending()) {
    request.recount = request.recount || pending->recount;
    request.rows = request.rows || pending->rows;
  }
  loader_->load(std::move(request));
}

void MainWindow::showLoaded(const PageLoadResult& result) {
  if (!result.ok()) {
    restoreShownPage();
    keptView_.reset();
    reportReadFailure(result.error);
    emit pageLoaded();
    return;
  }
  const PageLoadRequest& request = result.request;
  pageSize_ = result.pageSize;
  if (result.counted) showTotal(*result.counted, pageList_->currentIndex());
  filterState_->setVisible(!request.condition.empty());
  if (request.rows) {
    auto* delegate = grid_->delegate();
    for (const auto& [column, kind] :
         {std::pair{4, CategoryKind::Registrar}, std::pair{5, CategoryKind::DomainType},
          std::pair{6, CategoryKind::Category}}) {
      QStringList names;
      for (const std::string& name : lists_.itemsFor(ListTarget::Grid, kind)) names << q(name);
      delegate->setDropDownItems(column, names);
    }
    if (result.rowsTotal != total_.rows) {
      showTotal(ListingTotal(result.rowsTotal), pageList_->currentIndex());
    }
    grid_->pageModel()->setRows(result.rows);
    ++pageGeneration_;
    if (columnWindow_) {
      grid_->applyColumnVisibility(columnWindow_->visibleColumns());
    } else {
      grid_->showAllColumns();
    }
    shownSortKey_ = request.sortKey;
    shownSortAscending_ = request.ascending;
    shownSortColumn_ = grid_->sortColumn();
    setStatus(texts::dataLoaded());
    restoreKeptView(request);
  }
  shownIndex_ = pageList_->currentIndex();
  emit pageLoaded();
}

void MainWindow::showBusy(bool busy) {
  reading_->setVisible(busy);
  if (busy) {
    grid_->viewport()->setCursor(Qt::BusyCursor);
  } else {
    grid_->viewport()->unsetCursor();
  }
}

void MainWindow::restoreShownPage() {
  sortKey_ = shownSortKey_;
  sortAscending_ = shownSortAscending_;
  grid_->setSortColumn(shownSortColumn_, sortAscending_);
  if (shownIndex_ < pageList_->count()) selectPage(shownIndex_);
}

SqlCondition MainWindow::currentCondition() const {
  const FilterCriteria criteria = filterWindow_ ? filterWindow_->criteria() : FilterCriteria{};
  return buildWhere(criteria, options_.clock.today());
}

// The caption, the page list and the paging buttons for a total, with the
// page at `index` (clamped) selected.
void MainWindow::showTotal(ListingTotal total, int index) {
  total_ = std::move(total);
  pageList_->clear();
  pageCount_ = pageCountFor(total_.rows, pageSize_);
  pagingGroup_->setTitle(q(pageCaption(total_.rows, pageCount_)));
  for (std::int64_t page = 1; page <= pageCount_; ++page) pageList_->addItem(QString::number(page));
  pageList_->setEnabled(pageCount_ > 1);
  selectPage(index);
}

void MainWindow::selectPage(int index) {
  index = std::clamp(index, 0, static_cast<int>(pageCount_) - 1);
  pageList_->setCurrentIndex(index);
  previous_->setEnabled(index > 0);
  next_->setEnabled(index + 1 < pageCount_);
}

void MainWindow::rebuildLists() {
  if (const auto rebuilt = lists_.rebuild(db_); !rebuilt) reportReadFailure(rebuilt.error());
}

void MainWindow::reportReadFailure(const std::string& reason) {
  Toolkit::messageBox(this, texts::readFailed(q(reason)), QString());
}

void MainWindow::goPrevious() {
  const int index = pageList_->currentIndex() - 1;
  if (index < 0) return;
  pageList_->setCurrentIndex(index);
  if (index == 0) {
    previous_->setEnabled(false);
    next_->setEnabled(true);
  }
  if (index + 1 < pageCount_) next_->setEnabled(true);
  afterNavigation();
}

void MainWindow::goNext() {
  const int index = pageList_->currentIndex() + 1;
  if (index >= pageList_->count()) return;
  pageList_->setCurrentIndex(index);
  previous_->setEnabled(true);
  if (index + 1 == pageCount_) next_->setEnabled(false);
  afterNavigation();
}

void MainWindow::pickPage(int index) {
  const bool first = index == 0;
  const bool last = index + 1 == pageCount_;
  previous_->setEnabled(!first);
  next_->setEnabled(!last);
  afterNavigation();
}

void MainWindow::afterNavigation() {
  loadPage(false);
  tickAll_->setChecked(false);
}

void MainWindow::sortByHeader(int column) {
  const auto key = sortKeyForHeader(gridColumns()[static_cast<std::size_t>(column)].title);
  if (!key) return;
  // A second click on the sorted column turns the order round.
  sortAscending_ = column == grid_->sortColumn() && !sortAscending_;
  sortKey_ = *key;
  grid_->setSortColumn(column, sortAscending_);
  loadPage(false);
}

void MainWindow::copyDomain(const QModelIndex& index) {
  if (!index.isValid() || index.column() != PageModel::kNameColumn) return;
  const QString name = grid_->pageModel()->cellText(index.row(), index.column());
  Toolkit::setClipboardText(name);
  setStatus(texts::copied(name));
}

void MainWindow::showGridMenu(int row, const QPoint& globalPos) {
  if (row < 0) return;
  gridMenuDomain_->setText(
      texts::gridMenuDomain(grid_->pageModel()->cellText(row, PageModel::kNameColumn)));
  gridMenuRow_ = row;
  const std::string running = dateUpdater_->label().get();
  gridMenuState_->setText(running.empty() ? texts::gridMenuIdle()
                                          : texts::gridMenuBusy(q(running)));
  gridMenu_->popup(globalPos);
}

}  // namespace pelmora::ui

namespace pelmora::ui {

void MainWindow::writeCellBack(int row, int column, const QString& text) {
  PageModel* model = grid_->pageModel();
  const CellWriteBack result = pelmora::writeCellBack(
      db_, model->record(row), static_cast<DomainField>(column), text.toStdString());
  const QString name = model->cellText(row, PageModel::kNameColumn);
  if (result.stored) {
    model->setStoredValues(row, result.record, result.written);
    model->setEditState(row, EditState::Stored);
    setStatus(texts::editStored(name));
  } else {
    // The cell shows what is stored, not what was refused.
    model->setStoredValues(row, result.record, {static_cast<DomainField>(column)});
    model->setEditState(row, EditState::Refused);
    setStatus(texts::editRefused(name, q(result.error)));
  }
  // A page read that started before this write may miss it: read again.
  if (const auto& pending = loader_->pending(); pending && result.stored) startLoad(*pending);
}

}  // namespace pelmora::ui

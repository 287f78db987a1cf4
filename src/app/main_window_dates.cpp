// The main window's date updates: the batch over the ticked rows, the
// one-row update of the grid menu and the automatic daily refresh. Lookups run in the DateUpdater's
// job, whose progress the status bar shows; everything here runs on the UI thread.

#include "app/auto_date_refresh.h"
#include "app/date_updater.h"
#include "app/main_window.h"
#include "app/main_window_texts.h"
#include "app/operation_gate.h"
#include "store/program_settings.h"
#include "ui/listing_grid.h"
#include "ui/run_progress.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

constexpr int kRegisteredColumn = 7;
constexpr int kExpiresColumn = 8;

}  // namespace

void MainWindow::setDateColumnsReadOnly(bool readOnly) {
  PageModel* model = grid_->pageModel();
  for (int row = 0; row < model->rowCount(); ++row) {
    model->setCellReadOnly(row, kRegisteredColumn, readOnly);
    model->setCellReadOnly(row, kExpiresColumn, readOnly);
  }
}

void MainWindow::updateTickedDates() {
  if (!gate_->beginRun(Operation::UpdateSelectedDates)) return;  // one run at a time
  const CacheChoice answer = Toolkit::messageBox(this, texts::useCachePrompt(),
                                                 texts::useCacheCaption(), true) == Answer::No
                                 ? kFresh
                                 : kUseCache;
  setDateColumnsReadOnly(true);
  PageModel* model = grid_->pageModel();
  std::vector<DateJob> jobs;
  for (int row = 0; row < model->rowCount(); ++row) {
    if (!model->isTicked(row)) continue;
    if (model->dateState(row) == DateState::Updated) continue;  // done before
    jobs.push_back({row, model->cellText(row, PageModel::kNameColumn).toStdString()});
  }
  connect(dateUpdater_, &DateUpdater::batchFinished, this, &MainWindow::finishBatch,
          Qt::UniqueConnection);
  connect(dateUpdater_, &DateUpdater::runEnded, this, &MainWindow::endDateRun,
          Qt::UniqueConnection);
  const int total = static_cast<int>(jobs.size());
  dateUpdater_->startBatch(std::move(jobs), answer, pageGeneration_);
  runProgress_->follow(&dateUpdater_->job(), total);
}

void MainWindow::updateCurrentRowDates() {
  PageModel* model = grid_->pageModel();
  if (gridMenuRow_ < 0 || gridMenuRow_ >= model->rowCount()) return;
  if (!gate_->beginRun(Operation::UpdateRowDates)) return;
  connect(dateUpdater_, &DateUpdater::runEnded, this, &MainWindow::endDateRun,
          Qt::UniqueConnection);
  dateUpdater_->startRow(
      {gridMenuRow_, model->cellText(gridMenuRow_, PageModel::kNameColumn).toStdString()},
      pageGeneration_);
  runProgress_->follow(&dateUpdater_->job(), 1);
}

void MainWindow::showRowDates(int row, const QString& domain, int generation, bool success,
                              const QString& registered, const QString& expires,
                              const QString& status) {
  gate_->endRun(Operation::UpdateRowDates);  // a row of a batch leaves the batch's run alone
  setStatus(status);
  PageModel* model = grid_->pageModel();
  // A reloaded page holds other rows now: the dates are stored, the grid is left alone.
  if (generation != pageGeneration_ || row >= model->rowCount() ||
      model->cellText(row, PageModel::kNameColumn) != domain) {
    return;
  }
  if (success) {
    // The row's stored record follows, so a later edit starts from these dates.
    DomainRecord record = model->record(row);
    record[DomainField::RegisteredOn] = registered.toStdString();
    record[DomainField::ExpiresOn] = expires.toStdString();
    model->setStoredValues(row, record, {DomainField::RegisteredOn, DomainField::ExpiresOn});
  }
  model->setDateState(row, success ? DateState::Updated : DateState::Failed);
}

void MainWindow::finishBatch(const BatchTally& tally, int generation) {
  setStatus(QString::fromStdString(batchStatusText(tally)));
  Toolkit::messageBox(this, QString::fromStdString(batchMessageText(tally)),
                      texts::batchDoneCaption());
  if (generation == pageGeneration_) setDateColumnsReadOnly(false);
  dateUpdater_->label().set({});
  gate_->endRun(Operation::UpdateSelectedDates);
}

void MainWindow::configureLookups(const ProgramSettings& settings) {
  const SourceChoice choice = settings.registryFirst ? SourceChoice::Registry : SourceChoice::Auto;
  dateUpdater_->setSourceChoice(choice);
  dateUpdater_->setPaceMs(settings.lookupPaceMs);
  autoRefresh_->configure(settings.autoRefreshDates, choice, settings.lookupPaceMs);
}

void MainWindow::startAutoRefresh(const ProgramSettings& settings) {
  autoRefresh_ = new AutoDateRefresh(db_, options_.clock, this);
  if (options_.autoRefreshDelay) autoRefresh_->setFirstDelay(*options_.autoRefreshDelay);
  // The refresh may take hours at the pace servers ask for, so it holds no
  // gate: the window stays usable. It only waits for a date update the user
  // started, which asks the same servers.
  connect(autoRefresh_, &AutoDateRefresh::due, this, [this] {
    const auto holder = gate_->holder();
    if (holder == Operation::UpdateSelectedDates || holder == Operation::UpdateRowDates) return;
    autoRefresh_->start();
    runProgress_->follow(&autoRefresh_->job(), 0);
  });
  connect(autoRefresh_, &AutoDateRefresh::ended, this, &MainWindow::endAutoRefresh);
  configureLookups(settings);
}

void MainWindow::endAutoRefresh(const QString& statusLine, bool stored) {
  setStatus(statusLine);
  ownDatesStored_ = ownDatesStored_ || stored;
}

// A cancelled one-row update has no outcome to end its run with.
void MainWindow::endDateRun() { gate_->endRun(Operation::UpdateRowDates); }

}  // namespace pelmora::ui

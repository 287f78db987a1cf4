// Following what other programs write to the file (a command run from cron, a
// script): SQLite counts the commits of other connections, and while the
// window is idle it looks every kFollowInterval and shows them.

#include <QItemSelectionModel>
#include <QScrollBar>

#include "app/main_window.h"
#include "app/operation_gate.h"
#include "ui/listing_grid.h"

namespace pelmora::ui {

void MainWindow::startFollowingOutsideWrites() {
  followTimer_.setObjectName(QStringLiteral("时钟_外部修改"));
  followTimer_.setInterval(kFollowInterval);
  seenOutsideVersion_ = db_.outsideVersion();
  connect(&followTimer_, &QTimer::timeout, this, &MainWindow::followOutsideWrites);
  followTimer_.start();
}

void MainWindow::followOutsideWrites() {
  // A run, a read or an edit in progress is never disturbed: the change is
  // shown at the first look after it ends.
  if (gate_->state() == OperationGate::State::Run || loader_->isLoading() || grid_->isEditing()) {
    return;
  }
  const auto version = db_.outsideVersion(false);
  const bool outside = version && version != seenOutsideVersion_;
  if (!outside && !ownDatesStored_) return;
  if (outside) seenOutsideVersion_ = version;
  ownDatesStored_ = false;
  reloadKeepingView();
}

void MainWindow::reloadKeepingView() {
  rebuildLists();
  runExpiryCheck();
  KeptView kept;
  const PageModel* model = grid_->pageModel();
  for (const int row : model->tickedRows())
    kept.tickedIds.insert(model->record(row)[DomainField::Id]);
  for (const QModelIndex& selected : grid_->selectionModel()->selectedRows()) {
    kept.selectedIds.insert(model->record(selected.row())[DomainField::Id]);
  }
  if (const QModelIndex current = grid_->currentIndex(); current.isValid()) {
    kept.currentId = model->record(current.row())[DomainField::Id];
    kept.currentColumn = current.column();
  }
  kept.scroll = {grid_->horizontalScrollBar()->value(), grid_->verticalScrollBar()->value()};
  PageLoadRequest request = currentRequest();
  request.recount = true;
  kept.page = request.page;
  keptView_ = std::move(kept);
  startLoad(std::move(request));
}

void MainWindow::restoreKeptView(const PageLoadRequest& shown) {
  if (!keptView_) return;
  const KeptView kept = std::move(*keptView_);
  keptView_.reset();
  // Only the page that was reloaded gets its view back, not one the user
  // moved to meanwhile.
  if (shown.page != kept.page) return;
  PageModel* model = grid_->pageModel();
  QItemSelectionModel* selection = grid_->selectionModel();
  QItemSelection selected;
  for (int row = 0; row < model->rowCount(); ++row) {
    const std::string& id = model->record(row)[DomainField::Id];
    if (kept.tickedIds.contains(id)) model->setTicked(row, true);
    if (kept.selectedIds.contains(id)) selected.select(model->index(row, 0), model->index(row, 0));
    if (id == kept.currentId) {
      selection->setCurrentIndex(model->index(row, kept.currentColumn),
                                 QItemSelectionModel::NoUpdate);
    }
  }
  selection->select(selected, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid_->doItemsLayout();
  grid_->horizontalScrollBar()->setValue(kept.scroll.x());
  grid_->verticalScrollBar()->setValue(kept.scroll.y());
}

}  // namespace pelmora::ui

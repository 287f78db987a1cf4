// The main window's side of editing many domains: the batch-modify window
// (toggled by its operation, refreshed rows in the grid) and deleting the
// ticked rows.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QSignalBlocker>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/operation_gate.h"
#include "app/tool_windows.h"
#include "editing/batch_modify.h"
#include "store/domain_delete.h"
#include "store/listing.h"
#include "ui/editing/batch_modify_window.h"
#include "ui/listing_grid.h"
#include "ui/qt_text.h"
#include "ui/toolkit.h"

namespace pelmora::ui {
namespace {

const QString kHintCaption = QStringLiteral("提示:");
const QString kDeleteCaption = QStringLiteral("警告:");
const QString kDeletePrompt = QStringLiteral(
    "一旦删除将无法恢复!!!\r\n如确认要删除,请输入大写的 YES\r\n否则请点击取消或者输入别的文字.");
const QString kDeleteConfirmation = QStringLiteral("YES");
const QString kNothingTicked = QStringLiteral("没有勾选任何域名.");

QString deleteStatus(std::size_t deleted, std::size_t failed) {
  return QStringLiteral(" 提示: 删除 [") + QString::number(deleted) +
         QStringLiteral("]  个成功! 删除 [") + QString::number(failed) + QStringLiteral("] 个失败");
}
QString deleteFailed(const QString& reason) {
  return QStringLiteral("删除失败,域名都保持原样.\r\n\r\n原因: ") + reason;
}

QString batchModifyWindowName() { return q(targetName(ListTarget::BatchModifyWindow)); }

QStringList tickedDomains(const PageModel& model) {
  QStringList domains;
  for (int row : model.tickedRows()) domains << model.cellText(row, PageModel::kNameColumn);
  return domains;
}

// The rows of the page by the domain they show (the first row of each).
QHash<QString, int> rowsByDomain(const PageModel& model) {
  QHash<QString, int> rows;
  for (int row = model.rowCount() - 1; row >= 0; --row) {
    rows.insert(model.cellText(row, PageModel::kNameColumn), row);
  }
  return rows;
}

// A batch outcome in the grid: a stored row shows what is stored now. A
// name typed in other letters finds its row by the stored spelling.
void showBatchOutcome(PageModel& model, const QHash<QString, int>& rows,
                      const BatchModifyItem& item) {
  int row = rows.value(q(item.domain), -1);
  if (row < 0 && item.ok) row = rows.value(q(item.stored[DomainField::Name]), -1);
  if (row < 0) return;
  if (!item.ok) {
    model.setEditState(row, EditState::BatchRefused);
    return;
  }
  std::vector<DomainField> shown;
  for (int column = PageModel::kNameColumn; column < kDomainFieldCount; ++column) {
    shown.push_back(static_cast<DomainField>(column));
  }
  model.setStoredValues(row, item.stored, shown);
  model.setEditState(row, EditState::BatchStored);
}

}  // namespace

void MainWindow::wireEditing() {
  const QString name = batchModifyWindowName();
  ToolWindowRule modify;
  modify.create = [this, name] {
    auto* window = new BatchModifyWindow(db_, options_.clock, this);
    connect(window, &BatchModifyWindow::itemsFinished, this,
            [this](const std::vector<BatchModifyItem>& items) {
              PageModel& model = *grid_->pageModel();
              const QHash<QString, int> rows = rowsByDomain(model);
              for (const BatchModifyItem& item : items) showBatchOutcome(model, rows, item);
            });
    connect(window, &BatchModifyWindow::closeRequested, this,
            [this, name] { tools_->close(name); });
    // Queued: the policy has hidden the window and released the gate by then.
    connect(
        gate_, &OperationGate::changed, window, [this, window] { holdGateForHiddenRun(window); },
        Qt::QueuedConnection);
    connect(&window->job(), &BackgroundJob::finished, this, [this] {
      if (!hiddenRunHoldsGate_) return;
      hiddenRunHoldsGate_ = false;
      gate_->endRun(Operation::ModifySelected);
    });
    return window;
  };
  modify.holdsGate = Operation::ModifySelected;
  modify.beforeShow = [this](QWidget* shown) {
    auto* window = qobject_cast<BatchModifyWindow*>(shown);
    rebuildLists();
    window->refillKeepingPositions(lists_);
    window->fillDomains(tickedDomains(*grid_->pageModel()));
  };
  tools_->add(name, std::move(modify));

  connect(actions_->action(Operation::ModifySelected), &QAction::triggered, this,
          [this, name] { tools_->toggle(name); });
  connect(actions_->action(Operation::DeleteSelected), &QAction::triggered, this,
          &MainWindow::deleteTicked);
}

void MainWindow::holdGateForHiddenRun(BatchModifyWindow* window) {
  if (hiddenRunHoldsGate_ || window->isVisible() || !window->isRunning()) return;
  hiddenRunHoldsGate_ = gate_->beginRun(Operation::ModifySelected);
}

void MainWindow::deleteTicked() {
  // The delete button stays off until the rows are gone.
  if (!gate_->beginRun(Operation::DeleteSelected)) return;
  struct EndRun {
    OperationGate* gate;
    ~EndRun() { gate->endRun(Operation::DeleteSelected); }
  } endRun{gate_};

  PageModel* model = grid_->pageModel();
  const std::vector<int> ticked = model->tickedRows();
  if (ticked.empty()) {
    Toolkit::messageBox(this, kNothingTicked, kHintCaption);
  } else {
    const InputAnswer answer =
        Toolkit::inputBox(this, kDeletePrompt, kDeleteCaption, kDeleteConfirmation);
    if (!answer.ok || answer.text != kDeleteConfirmation) return;
  }

  // Last row first, as the rows are then taken out of the grid.
  std::vector<std::string> names;
  for (auto row = ticked.rbegin(); row != ticked.rend(); ++row) {
    names.push_back(model->cellText(*row, PageModel::kNameColumn).toStdString());
  }
  std::size_t deleted = 0;
  std::size_t failed = 0;
  std::string error;
  if (!names.empty()) {
    const DeleteResult result = deleteDomains(db_, names);
    if (result.ok()) {
      for (auto row = ticked.rbegin(); row != ticked.rend(); ++row) model->removeRow(*row);
      deleted = names.size();
    } else {
      failed = names.size();  // rolled back: every row stays, ticked
      error = result.error;
    }
  }
  recountKeepingPage();
  {
    // Only the box: the rows that stay keep their ticks.
    const QSignalBlocker quiet(tickAll_);
    tickAll_->setChecked(false);
  }
  setStatus(deleteStatus(deleted, failed));
  if (!error.empty()) Toolkit::messageBox(this, deleteFailed(q(error)), kHintCaption);
}

void MainWindow::recountKeepingPage() {
  PageLoadRequest request = currentRequest();
  request.recount = true;
  request.rows = false;
  startLoad(std::move(request));
}

}  // namespace pelmora::ui

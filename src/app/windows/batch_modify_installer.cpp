// 批量修改选中: a window toggled by its operation, filled with the ticked
// domains; the rows it modified show their stored values in the grid. A run
// goes on when the window is hidden, and holds the other operations off until
// it ends.

#include <QHash>
#include <memory>

#include "app/operation_gate.h"
#include "app/tool_windows.h"
#include "app/windows/window_shell.h"
#include "editing/batch_modify.h"
#include "store/listing.h"
#include "ui/background_job.h"
#include "ui/editing/batch_modify_window.h"
#include "ui/listing_grid.h"
#include "ui/qt_text.h"

namespace pelmora::ui {
namespace {

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

void installBatchModifyWindow(WindowShell& shell) {
  const QString name = q(targetName(ListTarget::BatchModifyWindow));
  auto hiddenRunHoldsGate = std::make_shared<bool>(false);
  ToolWindowRule modify;
  modify.create = [&shell, name, hiddenRunHoldsGate] {
    auto* window = new BatchModifyWindow(shell.db, shell.clock, shell.owner);
    QObject::connect(window, &BatchModifyWindow::itemsFinished, shell.owner,
                     [&shell](const std::vector<BatchModifyItem>& items) {
                       PageModel& model = *shell.grid.pageModel();
                       const QHash<QString, int> rows = rowsByDomain(model);
                       for (const BatchModifyItem& item : items)
                         showBatchOutcome(model, rows, item);
                     });
    QObject::connect(window, &BatchModifyWindow::closeRequested, shell.owner,
                     [&shell, name] { shell.tools.close(name); });
    // Queued: the policy has hidden the window and released the gate by then.
    QObject::connect(
        &shell.gate, &OperationGate::changed, window,
        [&shell, window, hiddenRunHoldsGate] {
          if (*hiddenRunHoldsGate || window->isVisible() || !window->isRunning()) return;
          *hiddenRunHoldsGate = shell.gate.beginRun(Operation::ModifySelected);
        },
        Qt::QueuedConnection);
    QObject::connect(&window->job(), &BackgroundJob::finished, shell.owner,
                     [&shell, hiddenRunHoldsGate] {
                       if (!*hiddenRunHoldsGate) return;
                       *hiddenRunHoldsGate = false;
                       shell.gate.endRun(Operation::ModifySelected);
                     });
    return window;
  };
  modify.holdsGate = Operation::ModifySelected;
  modify.beforeShow = [&shell](QWidget* shown) {
    auto* window = qobject_cast<BatchModifyWindow*>(shown);
    shell.rebuildLists();
    window->refillKeepingPositions(shell.lists);
    window->fillDomains(tickedDomains(*shell.grid.pageModel()));
  };
  offerWindow(shell, name, Operation::ModifySelected, std::move(modify), OpenedBy::Toggle);
}

}  // namespace pelmora::ui

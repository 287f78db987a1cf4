// Deleting the ticked rows.

#include <QCheckBox>
#include <QSignalBlocker>

#include "app/main_window.h"
#include "app/operation_gate.h"
#include "store/domain_delete.h"
#include "store/listing.h"
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

}  // namespace

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

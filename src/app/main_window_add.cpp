// The main window's side of 批量添加域名.

#include <QAction>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/tool_windows.h"
#include "ui/editing/batch_add_window.h"

namespace pelmora::ui {
namespace {

const QString kBatchAddWindow = QStringLiteral("批量添加域名窗口");

}  // namespace

void MainWindow::registerBatchAddWindow() {
  ToolWindowRule rule;
  rule.create = [this] {
    auto* window = new BatchAddWindow(this, db_, lists_);
    window->setWindowModality(Qt::WindowModal);
    // Added domains show once the window is gone.
    connect(window, &BatchAddWindow::closed, this, [this] { loadPage(true); });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::BatchAdd;
  tools_->add(kBatchAddWindow, std::move(rule));
  connect(actions_->action(Operation::BatchAdd), &QAction::triggered, this,
          [this] { tools_->open(kBatchAddWindow); });
}

}  // namespace pelmora::ui

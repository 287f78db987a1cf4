// The main window's side of 批量添加域名.

#include <QAction>
#include <memory>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/tool_windows.h"
#include "ui/editing/batch_add_window.h"

namespace pelmora::ui {
namespace {

const QString kBatchAddWindow = QStringLiteral("批量添加域名窗口");

}  // namespace

void MainWindow::registerBatchAddWindow() {
  // What was in the list box when the window last closed: the window is made
  // anew each time, the lines the user pasted are not lost with it.
  auto draft = std::make_shared<QString>();
  ToolWindowRule rule;
  rule.create = [this, draft] {
    auto* window = new BatchAddWindow(this, db_, lists_);
    window->setWindowModality(Qt::WindowModal);
    if (!draft->isEmpty()) window->setPendingText(*draft);
    // Added domains show once the window is gone.
    connect(window, &BatchAddWindow::closed, this, [this, window, draft] {
      *draft = window->pendingText();
      loadPage(true);
    });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::BatchAdd;
  tools_->add(kBatchAddWindow, std::move(rule));
  connect(actions_->action(Operation::BatchAdd), &QAction::triggered, this,
          [this] { tools_->open(kBatchAddWindow); });
}

}  // namespace pelmora::ui

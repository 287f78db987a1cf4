// The main window's side of 高级修改.

#include <QAction>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/tool_windows.h"
#include "ui/editing/advanced_modify_window.h"

namespace pelmora::ui {
namespace {

const QString kAdvancedModifyWindow = QStringLiteral("高级修改窗口");

}  // namespace

void MainWindow::registerAdvancedModifyWindow() {
  ToolWindowRule rule;
  rule.create = [this] {
    // The values are checked against the lists as they are stored now.
    rebuildLists();
    auto* window = new AdvancedModifyWindow(this, db_, lists_);
    window->setWindowModality(Qt::WindowModal);
    // Modified domains show once the window is gone.
    connect(window, &AdvancedModifyWindow::closed, this, [this] { loadPage(true); });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::AdvancedModify;
  tools_->add(kAdvancedModifyWindow, std::move(rule));
  connect(actions_->action(Operation::AdvancedModify), &QAction::triggered, this,
          [this] { tools_->open(kAdvancedModifyWindow); });
}

}  // namespace pelmora::ui

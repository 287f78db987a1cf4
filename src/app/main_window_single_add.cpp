// The main window's side of 单个添加域名.

#include <QAction>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/tool_windows.h"
#include "ui/editing/single_add_window.h"

namespace pelmora::ui {
namespace {

const QString kSingleAddWindow = QStringLiteral("单个添加域名窗口");

}  // namespace

void MainWindow::registerSingleAddWindow() {
  ToolWindowRule rule;
  rule.create = [this] {
    // Its lists show the counts as they are stored now.
    rebuildLists();
    auto* window = new SingleAddWindow(this, db_, lists_, options_.clock);
    window->setWindowModality(Qt::WindowModal);
    // Each insert shows at once, with the counts.
    connect(window, &SingleAddWindow::insertTried, this, [this] { loadPage(true); });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::SingleAdd;
  tools_->add(kSingleAddWindow, std::move(rule));
  connect(actions_->action(Operation::SingleAdd), &QAction::triggered, this,
          [this] { tools_->open(kSingleAddWindow); });
}

}  // namespace pelmora::ui

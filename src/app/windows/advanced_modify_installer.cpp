// 高级修改: a modal window made anew at each opening.

#include "app/windows/window_shell.h"
#include "ui/editing/advanced_modify_window.h"

namespace pelmora::ui {

void installAdvancedModifyWindow(WindowShell& shell) {
  const QString name = QStringLiteral("高级修改窗口");
  ToolWindowRule rule;
  rule.create = [&shell] {
    // The values are checked against the lists as they are stored now.
    shell.rebuildLists();
    auto* window = new AdvancedModifyWindow(shell.owner, shell.db, shell.lists);
    window->setWindowModality(Qt::WindowModal);
    // Modified domains show once the window is gone.
    QObject::connect(window, &AdvancedModifyWindow::closed, shell.owner,
                     [&shell] { shell.reloadPage(true); });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::AdvancedModify;
  offerWindow(shell, name, Operation::AdvancedModify, std::move(rule));
}

}  // namespace pelmora::ui

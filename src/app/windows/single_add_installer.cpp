// 单个添加域名: a modal window made anew at each opening.

#include "app/windows/window_shell.h"
#include "ui/editing/single_add_window.h"

namespace pelmora::ui {

void installSingleAddWindow(WindowShell& shell) {
  const QString name = QStringLiteral("单个添加域名窗口");
  ToolWindowRule rule;
  rule.create = [&shell] {
    // Its lists show the counts as they are stored now.
    shell.rebuildLists();
    auto* window = new SingleAddWindow(shell.owner, shell.db, shell.lists, shell.clock);
    window->setWindowModality(Qt::WindowModal);
    // Each insert shows at once, with the counts.
    QObject::connect(window, &SingleAddWindow::insertTried, shell.owner,
                     [&shell] { shell.reloadPage(true); });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::SingleAdd;
  offerWindow(shell, name, Operation::SingleAdd, std::move(rule));
}

}  // namespace pelmora::ui

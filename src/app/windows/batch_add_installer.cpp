// 批量添加域名: a modal window made anew at each opening.

#include <memory>

#include "app/windows/window_shell.h"
#include "ui/editing/batch_add_window.h"

namespace pelmora::ui {

void installBatchAddWindow(WindowShell& shell) {
  const QString name = QStringLiteral("批量添加域名窗口");
  // What was in the list box when the window last closed: the window is made
  // anew each time, the lines the user pasted are not lost with it.
  auto draft = std::make_shared<QString>();
  ToolWindowRule rule;
  rule.create = [&shell, draft] {
    auto* window = new BatchAddWindow(shell.owner, shell.db, shell.lists);
    window->setWindowModality(Qt::WindowModal);
    if (!draft->isEmpty()) window->setPendingText(*draft);
    // Added domains show once the window is gone.
    QObject::connect(window, &BatchAddWindow::closed, shell.owner, [&shell, window, draft] {
      *draft = window->pendingText();
      shell.reloadPage(true);
    });
    return window;
  };
  rule.whenClosed = WhenClosed::Delete;
  rule.holdsGate = Operation::BatchAdd;
  offerWindow(shell, name, Operation::BatchAdd, std::move(rule));
}

}  // namespace pelmora::ui

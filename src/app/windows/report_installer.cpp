// 报表统计: a modeless window toggled by its action. It only reads, so it
// holds no other operation off; each opening makes it anew, which runs the
// report with the initial choices.

#include "app/windows/window_shell.h"
#include "ui/report/report_window.h"

namespace pelmora::ui {

void installReportWindow(WindowShell& shell) {
  const QString name = QStringLiteral("报表统计窗口");
  ToolWindowRule rule;
  rule.create = [&shell] { return new ReportWindow(shell.owner, shell.db, shell.clock); };
  rule.whenClosed = WhenClosed::Delete;
  offerWindow(shell, name, Operation::Report, std::move(rule), OpenedBy::Toggle);
}

}  // namespace pelmora::ui

// The main window's side of 报表统计: a modeless window toggled by its action.
// It only reads, so it holds no other operation off; each opening makes it
// anew, which runs the report with the initial choices.

#include <QAction>

#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/tool_windows.h"
#include "ui/report/report_window.h"

namespace pelmora::ui {
namespace {

const QString kReportWindow = QStringLiteral("报表统计窗口");

}  // namespace

void MainWindow::registerReportWindow() {
  ToolWindowRule rule;
  rule.create = [this] { return new ReportWindow(this, db_, options_.clock); };
  rule.whenClosed = WhenClosed::Delete;
  tools_->add(kReportWindow, std::move(rule));
  connect(actions_->action(Operation::Report), &QAction::triggered, this,
          [this] { tools_->toggle(kReportWindow); });
}

}  // namespace pelmora::ui

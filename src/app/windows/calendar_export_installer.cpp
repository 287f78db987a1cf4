// 导出日历: made anew at each opening with the filter and order the main
// window shows then. It only reads, so it holds no other operation off.

#include "app/windows/window_shell.h"
#include "ui/export/calendar_export_window.h"

namespace pelmora::ui {

void installCalendarExportWindow(WindowShell& shell) {
  ToolWindowRule rule;
  rule.create = [&shell] {
    return new CalendarExportWindow(shell.owner, shell.db, shell.listingView(), shell.clock);
  };
  rule.whenClosed = WhenClosed::Delete;
  offerWindow(shell, QStringLiteral("导出日历窗口"), Operation::ExportCalendar, std::move(rule));
}

}  // namespace pelmora::ui

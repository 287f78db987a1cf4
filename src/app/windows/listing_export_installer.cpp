// 导出列表: made anew at each opening with the filter and order the main
// window shows then. It only reads, so it holds no other operation off.

#include "app/windows/window_shell.h"
#include "ui/export/listing_export_window.h"

namespace pelmora::ui {

void installListingExportWindow(WindowShell& shell) {
  ToolWindowRule rule;
  rule.create = [&shell] {
    return new ListingExportWindow(shell.owner, shell.db, shell.listingView());
  };
  rule.whenClosed = WhenClosed::Delete;
  offerWindow(shell, QStringLiteral("导出列表窗口"), Operation::ExportListing, std::move(rule));
}

}  // namespace pelmora::ui

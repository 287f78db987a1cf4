#pragma once

// 导出日历: the expiry dates of the domains of the current filter as an
// iCalendar file (.ics) for the user's calendar program, one all-day event
// per domain with reminders 30, 7 and 1 day before (what `pelmora-cli
// calendar` writes). The file is written on a worker with a progress bar and
// a cancel button; it appears under its name only when it is complete.

#include "store/domain_database.h"
#include "support/dates.h"
#include "ui/export/listing_export_window.h"

namespace pelmora::ui {

class CalendarExportWindow : public FileExportWindow {
  Q_OBJECT

 public:
  CalendarExportWindow(QWidget* parent, DomainDatabase& db, ListingView view, Clock clock);

 protected:
  Write prepareWrite() override;

 private:
  DomainDatabase& db_;
  ListingView view_;
  Clock clock_;
};

}  // namespace pelmora::ui

#include "ui/export/calendar_export_window.h"

#include <QGridLayout>
#include <QLabel>

#include "reports/expiry_calendar.h"
#include "ui/qt_text.h"

namespace pelmora::ui {
namespace {

// "已导出 3 个到期日到 FILE", and how many domains had no date to show.
QString writtenText(const ExpiryCalendarResult& written, const QString& file) {
  QString text = QStringLiteral("已导出 %1 个到期日到 %2").arg(written.events).arg(file);
  if (written.undated > 0) {
    text += QStringLiteral(", %1 个域名没有到期时间").arg(written.undated);
  }
  return text;
}

}  // namespace

CalendarExportWindow::CalendarExportWindow(QWidget* parent, DomainDatabase& db, ListingView view,
                                           Clock clock)
    : FileExportWindow(parent, QStringLiteral("导出日历"), QStringLiteral("iCalendar (*.ics)"),
                       QStringLiteral(".ics")),
      db_(db),
      view_(std::move(view)),
      clock_(clock) {
  auto* note = new QLabel(
      QStringLiteral("当前筛选的域名, 每个到期日一个全天日程, 提前 30 天, 7 天和 1 天提醒."));
  note->setWordWrap(true);
  grid()->addWidget(note, 0, 0, 1, 3);
  placeFileRows(1);
}

FileExportWindow::Write CalendarExportWindow::prepareWrite() {
  return [&db = db_, condition = view_.condition,
          request = wholeListingRequest(view_.sortKey, view_.ascending), stamp = clock_.nowUtc()](
             const QString& file, const std::stop_token& stop, JobReporter& reporter) {
    return streamExport<ExpiryCalendarResult>(
        file,
        [&](std::ostream& out) {
          return writeExpiryCalendar(db, condition, request, stamp, out,
                                     exportProgress(stop, reporter));
        },
        [&](const ExpiryCalendarResult& written) { return writtenText(written, file); });
  };
}

}  // namespace pelmora::ui

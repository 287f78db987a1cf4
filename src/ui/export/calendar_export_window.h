#pragma once

// 导出日历: the expiry dates of the domains of the current filter as an
// iCalendar file (.ics) for the user's calendar program, one all-day event
// per domain with reminders 30, 7 and 1 day before (what `pelmora-cli
// calendar` writes). The file is written on a worker with a progress bar and
// a cancel button; it appears under its name only when it is complete.

#include <QDialog>
#include <functional>

#include "store/domain_database.h"
#include "support/dates.h"
#include "ui/background_job.h"
#include "ui/export/listing_export_window.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelmora::ui {

class CalendarExportWindow : public QDialog {
  Q_OBJECT

 public:
  CalendarExportWindow(QWidget* parent, DomainDatabase& db, ListingView view, Clock clock);

  // Starts writing the file named in the path box. While it runs the 关闭
  // button reads 取消 and stops it.
  void startExport();
  bool isExporting() const { return job_.isRunning(); }

  // Runs on the worker before the file is written, to hold a run back in
  // tests.
  void setBeforeWrite(std::function<void()> hook) { beforeWrite_ = std::move(hook); }

 signals:
  // The run ended: written, failed or cancelled (`result` is the shown text).
  void exportEnded(const QString& result);

 protected:
  void reject() override;

 private:
  void browse();
  void finish(const QString& text);

  DomainDatabase& db_;
  ListingView view_;
  Clock clock_;
  std::function<void()> beforeWrite_;
  QLineEdit* path_;
  QProgressBar* progress_;
  QLabel* result_;
  QPushButton* export_;
  QPushButton* cancel_;
  BackgroundJob job_;
};

}  // namespace pelmora::ui

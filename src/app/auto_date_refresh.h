#pragma once

// While the window is open and 自动更新到期时间 is on, the domains whose dates
// are due are looked up in the background once a day, paced per server. The
// status bar follows the run; its end is one line there, not a message box.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>

#include "lookup/lookup_plan.h"
#include "store/domain_database.h"
#include "support/dates.h"
#include "ui/background_job.h"

namespace pelmora::ui {

class AutoDateRefresh : public QObject {
  Q_OBJECT

 public:
  AutoDateRefresh(DomainDatabase& db, const Clock& clock, QObject* parent = nullptr);

  // Turned on: the first run comes after `firstDelay`, the next a day after
  // the last one started.
  void configure(bool on, SourceChoice choice, int paceMs);
  void setFirstDelay(std::chrono::milliseconds delay) { firstDelay_ = delay; }
  BackgroundJob& job() { return job_; }

 signals:
  // A run may start now; the window answers by calling start() when nothing
  // else runs, and tries again at the next check otherwise.
  void due();
  // The run's last line for the status bar; `stored` when any row changed.
  void ended(const QString& statusLine, bool stored);

 public slots:
  void start();

 private:
  void check();

  DomainDatabase& db_;
  const Clock& clock_;
  bool on_ = false;
  SourceChoice choice_ = SourceChoice::Auto;
  int paceMs_ = 0;
  std::chrono::milliseconds firstDelay_{std::chrono::minutes(1)};
  std::optional<std::chrono::steady_clock::time_point> lastStart_;
  QTimer timer_;
  BackgroundJob job_;  // last: joined before the members its worker uses go
};

}  // namespace pelmora::ui

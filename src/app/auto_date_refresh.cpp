#include "app/auto_date_refresh.h"

#include <atomic>
#include <stop_token>

#include "lookup/date_update.h"
#include "lookup/paced_lookups.h"
#include "store/due_lookups.h"
#include "ui/qt_text.h"

namespace pelmora::ui {
namespace {

using namespace std::chrono_literals;

constexpr auto kCheckEvery = 1h;
constexpr auto kRunEvery = 24h;
constexpr int kMaxAgeDays = 30;

}  // namespace

AutoDateRefresh::AutoDateRefresh(DomainDatabase& db, const Clock& clock, QObject* parent)
    : QObject(parent), db_(db), clock_(clock) {
  timer_.setObjectName(QStringLiteral("时钟_自动更新到期时间"));
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &AutoDateRefresh::check);
}

void AutoDateRefresh::configure(bool on, SourceChoice choice, int paceMs) {
  choice_ = choice;
  paceMs_ = paceMs;
  if (on == on_) return;
  on_ = on;
  if (!on) {
    timer_.stop();
    return;
  }
  timer_.start(lastStart_ ? std::chrono::milliseconds(kCheckEvery) : firstDelay_);
}

void AutoDateRefresh::check() {
  if (!on_) return;
  timer_.start(kCheckEvery);
  if (job_.isRunning()) return;
  if (lastStart_ && std::chrono::steady_clock::now() - *lastStart_ < kRunEvery) return;
  emit due();
}

void AutoDateRefresh::start() {
  if (job_.isRunning()) return;
  lastStart_ = std::chrono::steady_clock::now();
  PacedRunOptions options = pacedOptions(paceMs_);
  options.choice = choice_;
  job_.start([this, options](std::stop_token stop, JobReporter& report) mutable {
    std::atomic<bool> stopped{false};
    const std::stop_callback raise(stop, [&stopped] { stopped = true; });
    options.cancel = &stopped;
    const auto due = listDueDomains(db_, clock_.nowUtc(), kMaxAgeDays);
    if (!due) {
      const QString line = QStringLiteral("自动更新到期时间失败: ") + q(due.error());
      report.post([this, line] { emit ended(line, false); });
      return;
    }
    const int total = static_cast<int>(due->size());
    report.progress(0, total);
    const BatchTally tally =
        updateDatesPaced(db_, *due, clock_, options,
                         [&](const RowDateUpdate&, int done) { report.progress(done, total); });
    const QString line = QStringLiteral("自动更新到期时间: ") + q(batchSummaryText(tally));
    const bool stored = tally.ok > 0;
    report.post([this, line, stored] { emit ended(line, stored); });
  });
}

}  // namespace pelmora::ui

#include "app/date_updater.h"

#include <atomic>
#include <stop_token>

#include "lookup/rdap_bootstrap.h"
#include "ui/qt_text.h"

namespace pelmora::ui {

DateUpdater::DateUpdater(DomainDatabase& db, const Clock& clock, QObject* parent)
    : QObject(parent), db_(db), clock_(clock) {
  connect(&job_, &BackgroundJob::finished, this, [this](bool cancelled) {
    label_.set({});
    emit runEnded(cancelled);
  });
}

void DateUpdater::startBatch(std::vector<DateJob> jobs, CacheChoice cache, int generation) {
  label_.set(std::string(kBatchLookupLabel));
  launch(std::move(jobs), cache, generation, true);
}

void DateUpdater::startRow(DateJob job, int generation) {
  label_.set(job.domain);
  launch({std::move(job)}, kFresh, generation, false);
}

void DateUpdater::launch(std::vector<DateJob> jobs, CacheChoice cache, int generation, bool batch) {
  job_.start([this, jobs = std::move(jobs), cache, choice = choice_, paceMs = paceMs_, generation,
              batch](std::stop_token stop, JobReporter& report) {
    // The lookups watch a flag of their own; the stop request raises it.
    std::atomic<bool> stopped{false};
    const std::stop_callback raise(stop, [&stopped] { stopped = true; });
    const RdapBootstrap bootstrap = currentRdapBootstrap();
    SequentialPacer pacer(pacedOptions(paceMs));
    const RunContext run{cache, choice, generation, bootstrap, pacer};
    const int total = static_cast<int>(jobs.size());
    BatchTally tally;
    tally.total = total;
    report.progress(0, total);
    for (const DateJob& job : jobs) {
      if (stopped) break;
      const std::optional<bool> stored = updateOne(job, run, stopped, report);
      if (!stored) break;
      ++tally.attempted;
      ++(*stored ? tally.ok : tally.failed);
      report.progress(tally.attempted, total);
    }
    if (!batch) return;
    tally.cancelled = tally.attempted < total;
    report.post([this, tally, generation] { emit batchFinished(tally, generation); });
  });
}

std::optional<bool> DateUpdater::updateOne(const DateJob& job, const RunContext& run,
                                           const std::atomic<bool>& stopped, JobReporter& report) {
  label_.set(job.domain);
  const QString domain = q(job.domain);
  report.post([this, domain] { emit rowStarted(domain); });
  const SourcedLookup lookup =
      lookupDomainDatesFrom(job.domain, run.bootstrap, run.choice, run.cache, &stopped, &run.pacer);
  if (stopped) return std::nullopt;  // an abandoned lookup stores nothing
  const RowDateUpdate update = storeLookupResult(db_, job.domain, lookup, clock_.nowUtc());
  label_.set({});
  const int row = job.row;
  report.post([this, row, domain, generation = run.generation, update] {
    emit rowFinished(row, domain, generation, update.success, q(update.registered),
                     q(update.expires), q(update.status));
  });
  return update.success;
}

}  // namespace pelmora::ui

#include "app/date_updater.h"

namespace pelmora::ui {
namespace {
QString q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

DateUpdater::DateUpdater(DomainDatabase& db, QObject* parent) : QObject(parent), db_(db) {}

DateUpdater::~DateUpdater() {
  stopping_ = true;
  for (auto& run : runs_) {
    if (run->thread.joinable()) run->thread.join();
  }
}

void DateUpdater::startBatch(std::vector<DateJob> jobs, CacheChoice cache, int generation) {
  label_.set(std::string(kBatchLookupLabel));
  launch(std::move(jobs), cache, generation, true);
}

void DateUpdater::startRow(DateJob job, int generation) {
  label_.set(job.domain);
  launch({std::move(job)}, kFresh, generation, false);
}

void DateUpdater::reapFinished() {
  std::erase_if(runs_, [](const std::unique_ptr<Run>& run) {
    if (!run->done) return false;
    run->thread.join();
    return true;
  });
}

void DateUpdater::launch(std::vector<DateJob> jobs, CacheChoice cache, int generation, bool batch) {
  reapFinished();
  auto run = std::make_unique<Run>();
  Run* self = run.get();
  run->thread = std::thread([this, self, jobs = std::move(jobs), cache, generation, batch] {
    BatchTally tally;
    for (const DateJob& job : jobs) {
      if (stopping_) break;
      ++tally.attempted;
      if (updateOne(job, cache, generation)) {
        ++tally.ok;
      } else {
        ++tally.failed;
      }
    }
    if (batch && !stopping_) {
      QMetaObject::invokeMethod(
          this,
          [this, tally, generation] {
            emit batchFinished(tally.attempted, tally.ok, tally.failed, generation);
          },
          Qt::QueuedConnection);
    }
    self->done = true;
  });
  runs_.push_back(std::move(run));
}

bool DateUpdater::updateOne(const DateJob& job, CacheChoice cache, int generation) {
  label_.set(job.domain);
  const QString domain = q(job.domain);
  QMetaObject::invokeMethod(
      this, [this, domain] { emit rowStarted(domain); }, Qt::QueuedConnection);
  const DateLookupResult result = lookupDomainDates(job.domain, cache, &stopping_);
  if (stopping_) return false;  // a cancelled lookup stores nothing
  const RowDateUpdate update = storeLookupResult(db_, job.domain, result);
  label_.set({});
  const int row = job.row;
  QMetaObject::invokeMethod(
      this,
      [this, row, domain, generation, update] {
        emit rowFinished(row, domain, generation, update.success, q(update.registered),
                         q(update.expires), q(update.status));
      },
      Qt::QueuedConnection);
  return update.success;
}

}  // namespace pelmora::ui

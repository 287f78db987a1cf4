#pragma once

// Date lookups as a background job: the worker looks up and stores, and every
// outcome comes back to the UI thread through the signals below, where the
// slots change the widgets. One run at a time (the operation gate sees to
// that); destroying the updater stops and joins its worker.

#include <QObject>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "lookup/date_update.h"
#include "lookup/paced_lookups.h"
#include "lookup/rdap_bootstrap.h"
#include "store/domain_database.h"
#include "store/program_settings.h"
#include "support/dates.h"
#include "ui/background_job.h"

namespace pelmora::ui {

struct DateJob {
  int row = 0;
  std::string domain;
};

class DateUpdater : public QObject {
  Q_OBJECT

 public:
  DateUpdater(DomainDatabase& db, const Clock& clock, QObject* parent = nullptr);

  // Who is asked for the suffixes outside the route table (注册局优先), from
  // the next run on.
  void setSourceChoice(SourceChoice choice) { choice_ = choice; }
  // 查询间隔: the least time between two requests to one server in a run.
  void setPaceMs(int ms) { paceMs_ = ms; }

  ActiveLookupLabel& label() { return label_; }
  // The job the runs go through: its progress and its end.
  BackgroundJob& job() { return job_; }

  // `generation` comes back with every outcome so that a result for a page
  // that has been reloaded since is not written into the new rows.
  void startBatch(std::vector<DateJob> jobs, CacheChoice cache, int generation);
  void startRow(DateJob job, int generation);
  // Stops after the domain being looked up, whose lookup is abandoned and
  // stores nothing; a batch still reports what it attempted.
  void cancel() { job_.cancel(); }

 signals:
  void rowStarted(const QString& domain);
  void rowFinished(int row, const QString& domain, int generation, bool success,
                   const QString& registered, const QString& expires, const QString& status);
  void batchFinished(const pelmora::BatchTally& tally, int generation);
  // Every run, batch or row, after its last outcome.
  void runEnded(bool cancelled);

 private:
  void launch(std::vector<DateJob> jobs, CacheChoice cache, int generation, bool batch);
  // Whether the row was stored; none when the run was stopped before the
  // lookup came back.
  struct RunContext {
    CacheChoice cache;
    SourceChoice choice;
    int generation;
    const RdapBootstrap& bootstrap;
    SequentialPacer& pacer;
  };
  std::optional<bool> updateOne(const DateJob& job, const RunContext& run,
                                const std::atomic<bool>& stopped, JobReporter& report);

  DomainDatabase& db_;
  const Clock& clock_;
  SourceChoice choice_ = SourceChoice::Auto;
  int paceMs_ = kDefaultLookupPaceMs;
  ActiveLookupLabel label_;
  BackgroundJob job_;  // last: joined before the members its worker uses go
};

}  // namespace pelmora::ui

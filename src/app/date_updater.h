#pragma once

// Runs date lookups on worker threads and hands each outcome back to the UI
// thread. Workers only look up and store; every widget change happens in the
// slots connected to the signals below. Destroying the updater stops and joins
// its workers.

#include <QObject>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "lookup/date_update.h"
#include "store/domain_database.h"

namespace pelmora::ui {

struct DateJob {
  int row = 0;
  std::string domain;
};

class DateUpdater : public QObject {
  Q_OBJECT

 public:
  explicit DateUpdater(DomainDatabase& db, QObject* parent = nullptr);
  ~DateUpdater() override;

  ActiveLookupLabel& label() { return label_; }

  // `generation` comes back with every outcome so that a result for a page
  // that has been reloaded since is not written into the new rows.
  void startBatch(std::vector<DateJob> jobs, CacheChoice cache, int generation);
  void startRow(DateJob job, int generation);

 signals:
  void rowStarted(const QString& domain);
  void rowFinished(int row, const QString& domain, int generation, bool success,
                   const QString& registered, const QString& expires, const QString& status);
  void batchFinished(int attempted, int ok, int failed, int generation);

 private:
  struct Run {
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void launch(std::vector<DateJob> jobs, CacheChoice cache, int generation, bool batch);
  bool updateOne(const DateJob& job, CacheChoice cache, int generation);
  void reapFinished();

  DomainDatabase& db_;
  ActiveLookupLabel label_;
  std::atomic<bool> stopping_{false};
  std::vector<std::unique_ptr<Run>> runs_;
};

}  // namespace pelmora::ui

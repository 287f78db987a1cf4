#pragma once

// Reads the listing's total and one page on a worker thread and hands the
// answer back to the UI thread. Only the latest request is answered: a new one
// supersedes the one still pending, whose answer is then dropped. While an
// answer is outstanding for longer than kBusyDelay the loader says it is busy,
// so the window can show that it is reading.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "store/filter_criteria.h"
#include "store/listing.h"
#include "ui/background_job.h"

namespace pelmora::ui {

struct PageLoadRequest {
  SqlCondition condition;
  std::string sortKey{kDefaultSortKey};
  bool ascending = false;
  std::int64_t page = 1;  // 1-based; the reader clamps it to the existing pages
  bool recount = false;   // count the total first; else `total` is the one shown
  bool rows = true;       // false: the total only
  ListingTotal total;
};

struct PageLoadResult {
  PageLoadRequest request;
  int pageSize = 100;                   // the stored page size the answer used
  std::optional<ListingTotal> counted;  // when the request recounted
  std::vector<DomainRecord> rows;       // when the request asked for rows
  std::int64_t rowsTotal = 0;           // the total the rows were cut from
  std::string error;                    // why the listing could not be read
  bool ok() const { return error.empty(); }
};

class PageLoader : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kBusyDelay{150};

  explicit PageLoader(DomainDatabase& db, QObject* parent = nullptr);
  ~PageLoader() override;

  // Starts reading; a request still pending is superseded.
  void load(PageLoadRequest request);
  // From load() until its answer is delivered.
  bool isLoading() const { return pending_.has_value(); }
  // The request whose answer is outstanding.
  const std::optional<PageLoadRequest>& pending() const { return pending_; }

  // Runs on the worker before every read, to stand in for a slow database in
  // tests.
  void setBeforeRead(std::function<void()> hook) { beforeRead_ = std::move(hook); }

 signals:
  void loaded(const PageLoadResult& result);
  void busyChanged(bool busy);

 private:
  void deliver(PageLoadResult result);
  void setBusy(bool busy);

  DomainDatabase& db_;
  std::function<void()> beforeRead_;
  std::optional<PageLoadRequest> pending_;
  bool busy_ = false;
  QTimer busyTimer_;
  BackgroundJob job_;  // last: its workers are joined before the rest goes
};

}  // namespace pelmora::ui

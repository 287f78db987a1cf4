#include "ui/page_loader.h"

#include <utility>

#include "store/program_settings.h"

namespace pelmora::ui {
namespace {

// The reads themselves, on the worker. A superseded run skips the page query
// once its count is done; its answer would be dropped anyway.
PageLoadResult readListing(DomainDatabase& db, const PageLoadRequest& request,
                           const std::stop_token& stop) {
  PageLoadResult result;
  result.request = request;
  result.pageSize = programSettingsOrDefaults(db).pageSize;
  ListingTotal total = request.total;
  if (request.recount) {
    auto counted = countListing(db, request.condition);
    result.error = counted.error();
    if (!counted) return result;
    result.counted = *counted;
    total = std::move(*counted);
  }
  if (!request.rows || stop.stop_requested()) return result;
  PageRequest page;
  page.pageSize = result.pageSize;
  page.page = request.page;
  page.sortKey = request.sortKey;
  page.ascending = request.ascending;
  PageRows rows = loadPageRows(db, request.condition, page, total);
  if (!rows.ok()) {
    result.error = std::move(rows.error);
    return result;
  }
  result.rows = std::move(rows.rows);
  result.rowsTotal = rows.total;
  return result;
}

}  // namespace

PageLoader::PageLoader(DomainDatabase& db, QObject* parent) : QObject(parent), db_(db) {
  busyTimer_.setSingleShot(true);
  busyTimer_.setInterval(kBusyDelay);
  connect(&busyTimer_, &QTimer::timeout, this, [this] { setBusy(true); });
}

PageLoader::~PageLoader() = default;

void PageLoader::load(PageLoadRequest request) {
  pending_ = request;
  setBusy(false);
  busyTimer_.start();
  job_.start([this, &db = db_, hook = beforeRead_, request = std::move(request)](
                 std::stop_token stop, JobReporter& reporter) {
    if (hook) hook();
    PageLoadResult result = readListing(db, request, stop);
    reporter.post([this, result = std::move(result)]() mutable { deliver(std::move(result)); });
  });
}

void PageLoader::deliver(PageLoadResult result) {
  pending_.reset();
  busyTimer_.stop();
  setBusy(false);
  emit loaded(result);
}

void PageLoader::setBusy(bool busy) {
  if (busy_ == busy) return;
  busy_ = busy;
  emit busyChanged(busy);
}

}  // namespace pelmora::ui

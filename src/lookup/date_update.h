#pragma once

// Looking up a domain's dates by the right route, and storing the outcome the
// way a grid row update does.

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/date_lookup_result.h"
#include "lookup/lookup_plan.h"
#include "lookup/paced_lookups.h"
#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora {

// Asks the sources of the domain's plan (lookupPlan) in turn until one
// answers, with the bootstrap in the cache folder or the bundled one.
DateLookupResult lookupDomainDates(std::string_view domain, CacheChoice cache,
                                   CancelFlag cancel = nullptr,
                                   SourceChoice choice = SourceChoice::Auto);
// With a pacer, each request waits for its server's turn.
SourcedLookup lookupDomainDatesFrom(std::string_view domain, const RdapBootstrap& bootstrap,
                                    SourceChoice choice, CacheChoice cache,
                                    CancelFlag cancel = nullptr, SequentialPacer* pacer = nullptr);

// The message shown for a non-date result; empty for a dates result.
std::string lookupMessage(const DateLookupResult& result);

inline constexpr std::string_view kNotRegisteredDate = "2222-11-11";

struct RowDateUpdate {
  bool success = false;
  std::string registered;  // what the two date cells show afterwards (stored values)
  std::string expires;
  std::string status;  // the status bar text
};

// Stores a lookup result for a domain: the dates (the row succeeds only with
// an expiry date; an empty or unreadable registration date keeps the stored
// one), or the not-registered marker 2222-11-11 in both columns; nothing when
// the lookup failed. The row succeeds only when exactly that domain's row was
// written; a refused write gives "提示: [ domain] 保存失败: reason". On success
// `registered` and `expires` are the dates the row holds afterwards.
// An answer (dates or not registered) also records `checkedAtUtc` (when not
// empty), the source and the registry's status words.
RowDateUpdate storeLookupResult(DomainDatabase& db, std::string_view domain,
                                const SourcedLookup& lookup, const std::string& checkedAtUtc);
RowDateUpdate storeLookupResult(DomainDatabase& db, std::string_view domain,
                                const DateLookupResult& result);

// "正在获取 [" + domain + "] 的注册和到期时间.请稍后!"
std::string lookupStartedStatus(std::string_view domain);

struct BatchTally {
  int attempted = 0;
  int ok = 0;
  int failed = 0;
  int total = 0;           // domains the run was given
  bool cancelled = false;  // stopped before the last of them
};
// What the run did, for the status bar and the command line; a cancelled run
// counts what was done, failed and not done.
std::string batchSummaryText(const BatchTally& tally);
// The summary with the window's hint on the failed rows.
std::string batchStatusText(const BatchTally& tally);
std::string batchMessageText(const BatchTally& tally);

// Looks up `domains` (names as stored) through runPacedLookups, refreshing
// IANA's bootstrap first when a week old, and stores every answer with its
// time, source and status; `each(update, done)` is called after each store,
// from the workers, one call at a time. A cancelled run counts the rest as
// not done.
BatchTally updateDatesPaced(DomainDatabase& db, const std::vector<std::string>& domains,
                            const Clock& clock, const PacedRunOptions& options,
                            const std::function<void(const RowDateUpdate&, int)>& each);

inline constexpr std::string_view kBatchLookupLabel = "批量更新时间";

// The text naming the running date update, shared between threads.
class ActiveLookupLabel {
 public:
  void set(std::string text);
  std::string get() const;
  bool busy() const { return !get().empty(); }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

}  // namespace pelmora

#include "lookup/date_update.h"

#include <algorithm>
#include <optional>

#include "lookup/lookup_route.h"
#include "lookup/rdap_bootstrap.h"
#include "lookup/rdap_client.h"
#include "lookup/web_whois.h"
#include "lookup/whois_client.h"
#include "store/date_store.h"
#include "support/dates.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

std::optional<Date> lookupDate(const std::string& text) {
  return parseDate(replaceMany(text, {{"\r", ""}}));
}

}  // namespace

SourcedLookup lookupDomainDatesFrom(std::string_view domain, const RdapBootstrap& bootstrap,
                                    SourceChoice choice, CacheChoice cache, CancelFlag cancel,
                                    SequentialPacer* pacer) {
  SourcedLookup outcome;
  bool first = true;
  for (const LookupStep& planned : lookupPlan(domain, choice, bootstrap)) {
    if (cancel != nullptr && *cancel) break;
    const std::optional<LookupStep> step = resolveStep(planned, cancel);
    if (!step) continue;
    if (pacer != nullptr && !pacer->waitTurn(*step, cancel)) break;
    const LookupAnswer answer = askStep(*step, domain, cache, cancel);
    keepAnswer(outcome, *step, answer, first);
    first = false;
    if (!asksNextStep(*step, answer.result)) break;
  }
  if (outcome.result.empty()) outcome.result = std::string(kLookupNoAnswer);
  return outcome;
}

DateLookupResult lookupDomainDates(std::string_view domain, CacheChoice cache, CancelFlag cancel,
                                   SourceChoice choice) {
  return lookupDomainDatesFrom(domain, currentRdapBootstrap(), choice, cache, cancel).result;
}

std::string lookupMessage(const DateLookupResult& result) {
  if (result == kLookupNoAnswer) return "获取时间失败,检查您的电脑是否联网.";
  if (result == kLookupServiceError) return "获取时间失败,请尝试重新获取.";
  if (result == kLookupNotRegistered) return "您提交的域名还未注册呢!";
  if (result == kLookupIllegalSuffix) return "域名后缀不正确,如果确实正确,可手动填写日期.";
  if (result == kLookupQueryLimit) return "超过当日查询次数,请换ip再查询!";
  return {};
}

std::string lookupStartedStatus(std::string_view domain) {
  return "正在获取 [" + std::string(domain) + "] 的注册和到期时间.请稍后!";
}

RowDateUpdate storeLookupResult(DomainDatabase& db, std::string_view domain,
                                const SourcedLookup& lookup, const std::string& checkedAtUtc) {
  const DateLookupResult& result = lookup.result;
  const std::string prefix = "提示: [ " + std::string(domain) + "] ";
  const std::string message = lookupMessage(result);
  const LookupStamp stamp{checkedAtUtc, lookup.source, lookup.status};
  DomainDatesWrite stored;
  if (message.empty()) {
    const std::size_t bar = result.find('|');
    std::optional<Date> registered;
    std::optional<Date> expires;
    if (bar != std::string::npos && result.find('|', bar + 1) == std::string::npos) {
      registered = lookupDate(result.substr(0, bar));
      expires = lookupDate(result.substr(bar + 1));
    }
    if (!expires) return {false, {}, {}, prefix + lookupMessage(std::string(kLookupNoAnswer))};
    // A missing registration date keeps the stored one.
    stored = storeDomainDates(db, domain, registered, *expires, stamp);
  } else if (result == kLookupNotRegistered) {
    const Date marker = *parseDate(kNotRegisteredDate);
    stored = storeDomainDates(db, domain, marker, marker, stamp);
  } else {
    return {false, {}, {}, prefix + message};
  }
  if (!stored.ok) return {false, {}, {}, prefix + "保存失败: " + stored.error};
  if (stored.changes != 1) return {false, {}, {}, prefix + "保存失败: 不在域名列表中"};
  return {true, stored.registered, stored.expires, prefix + "获取时间完毕."};
}

RowDateUpdate storeLookupResult(DomainDatabase& db, std::string_view domain,
                                const DateLookupResult& result) {
  return storeLookupResult(db, domain, SourcedLookup{result, {}, {}}, {});
}

BatchTally updateDatesPaced(DomainDatabase& db, const std::vector<std::string>& domains,
                            const Clock& clock, const PacedRunOptions& options,
                            const std::function<void(const RowDateUpdate&, int)>& each) {
  BatchTally tally;
  tally.total = static_cast<int>(domains.size());
  if (domains.empty()) return tally;
  (void)refreshRdapBootstrap(std::chrono::system_clock::now());
  runPacedLookups(domains, currentRdapBootstrap(), options,
                  [&](std::size_t index, const SourcedLookup& outcome) {
                    const RowDateUpdate update =
                        storeLookupResult(db, domains[index], outcome, clock.nowUtc());
                    ++tally.attempted;
                    ++(update.success ? tally.ok : tally.failed);
                    each(update, tally.attempted);
                  });
  tally.cancelled = tally.attempted < tally.total;
  return tally;
}

namespace {

std::string notDoneCount(const BatchTally& t) {
  return std::to_string(std::max(0, t.total - t.attempted));
}

}  // namespace

std::string batchSummaryText(const BatchTally& t) {
  const std::string attempted = std::to_string(t.attempted);
  if (t.cancelled) {
    return "已取消: 共 [" + std::to_string(t.total) + "] 个域名, 成功 [" + std::to_string(t.ok) +
           "] 个, 失败 [" + std::to_string(t.failed) + "] 个, 未查询 [" + notDoneCount(t) + "] 个.";
  }
  if (t.failed == 0) return "共查询 [" + attempted + "] 个域名的时间, 恭喜您,全部更新成功!";
  return "共查询 [" + attempted + "] 个域名的时间, 成功 [" + std::to_string(t.ok) + "] 个, 失败 [" +
         std::to_string(t.failed) + "] 个.";
}

std::string batchStatusText(const BatchTally& t) {
  const std::string summary = batchSummaryText(t);
  return t.failed == 0 ? summary : summary + " 提示:失败的可单独右键更新时间.";
}

std::string batchMessageText(const BatchTally& t) {
  if (t.cancelled) {
    return "批量更新时间已取消!\r\n成功 [" + std::to_string(t.ok) + "] 个, 失败 [" +
           std::to_string(t.failed) + "] 个, 未查询 [" + notDoneCount(t) + "] 个.";
  }
  if (t.failed == 0) {
    return "恭喜您!\r\n共查询 [" + std::to_string(t.attempted) + "] 个, 恭喜您,全部更新成功!";
  }
  return "批量更新时间完毕!\r\n成功 [" + std::to_string(t.ok) +
         "] 个,绿底蓝色代表更新成功!\r\n\r\n失败 [" + std::to_string(t.failed) +
         "] 个,红底红字代表更新失败.\r\n\r\n可再次点击[更新选中按钮]来更新查询失败的域名.\r\n\r\n"
         "如多次更新失败,请尝试重新拨号换新的IP.";
}

void ActiveLookupLabel::set(std::string text) {
  std::lock_guard lock(mutex_);
  text_ = std::move(text);
}

std::string ActiveLookupLabel::get() const {
  std::lock_guard lock(mutex_);
  return text_;
}

}  // namespace pelmora

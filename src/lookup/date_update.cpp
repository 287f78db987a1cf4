#include "lookup/date_update.h"

#include <algorithm>
#include <optional>

#include "lookup/lookup_route.h"
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

DateLookupResult lookupDomainDates(std::string_view domain, CacheChoice cache, CancelFlag cancel) {
  const std::string suffix = lookupSuffix(domain);
  switch (lookupRouteFor(suffix).service) {
    case LookupService::Whois: {
      WhoisTimeouts timeouts;
      timeouts.cancel = cancel;
      return queryWhois(domain, timeouts);
    }
    case LookupService::Rdap:
      return queryRdap(domain, rdapBaseFor(suffix), cancel);
    case LookupService::WebWhois:
      break;
  }
  return queryWebWhois(domain, cache, cancel);
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
                                const DateLookupResult& result) {
  const std::string prefix = "提示: [ " + std::string(domain) + "] ";
  const std::string message = lookupMessage(result);
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
    stored = storeDomainDates(db, domain, registered, *expires);
  } else if (result == kLookupNotRegistered) {
    const Date marker = *parseDate(kNotRegisteredDate);
    stored = storeDomainDates(db, domain, marker, marker);
  } else {
    return {false, {}, {}, prefix + message};
  }
  if (!stored.ok) return {false, {}, {}, prefix + "保存失败: " + stored.error};
  if (stored.changes != 1) return {false, {}, {}, prefix + "保存失败: 不在域名列表中"};
  return {true, stored.registered, stored.expires, prefix + "获取时间完毕."};
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

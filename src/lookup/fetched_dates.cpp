#include "lookup/fetched_dates.h"

#include <vector>

#include "support/text_helpers.h"

namespace pelmora {
namespace {

std::optional<Date> dateOf(const std::string& side) {
  const std::string text = replaceMany(side, {{"\r", ""}});
  if (text.empty()) return std::nullopt;
  return parseDate(text);
}

std::string prefixed(std::string_view domain, std::string_view text) {
  return "提示: [ " + std::string(domain) + "] " + std::string(text);
}

}  // namespace

FetchedDates readFetchedDates(const DateLookupResult& result) {
  FetchedDates fetched;
  const auto fail = [&](std::string message) {
    fetched.failed = true;
    fetched.message = std::move(message);
    return fetched;
  };
  if (result == kLookupNoAnswer) return fail("获取时间失败,检查您的电脑是否联网.或域名是否正确.");
  if (result == kLookupServiceError) return fail("获取时间失败,请尝试重新获取.");
  if (result == kLookupNotRegistered) return fail("您提交的域名还未注册呢!");
  if (result == kLookupIllegalSuffix) return fail("域名后缀不正确,如果确实正确,可手动填写日期.");
  const std::vector<std::string> parts = splitText(result, "|");
  if (parts.size() == 2) {
    fetched.registered = dateOf(parts[0]);
    fetched.expires = dateOf(parts[1]);
  }
  return fetched;
}

std::string fetchingDatesStatus(std::string_view domain) {
  return prefixed(domain, "正在获取时间,请稍后...");
}

std::string fetchFailedStatus(std::string_view domain) {
  return prefixed(domain, "获取时间错误,可重试!");
}

std::string fetchDoneStatus(std::string_view domain) { return prefixed(domain, "获取时间完毕."); }

}  // namespace pelmora

#pragma once

// How the single-add window reads the outcome of fetching one domain's dates:
// a failure with its message, or the dates to put into the two date boxes.

#include <optional>
#include <string>
#include <string_view>

#include "lookup/date_lookup_result.h"
#include "support/dates.h"

namespace pelmora {

struct FetchedDates {
  bool failed = false;
  std::string message;  // for a failure: the message box text
  // The dates of a "reg|exp" result; a side that is empty or not a date is
  // nullopt, and its box keeps what it shows.
  std::optional<Date> registered;
  std::optional<Date> expires;
};

// "err", "err2", "未注册" and "非法后缀" fail; anything else is done, and a
// text of exactly two parts around "|" gives the dates (carriage returns
// removed).
FetchedDates readFetchedDates(const DateLookupResult& result);

inline constexpr std::string_view kFetchFailedCaption = "获取时间失败";

// "提示: [ domain] 正在获取时间,请稍后..."
std::string fetchingDatesStatus(std::string_view domain);
// "提示: [ domain] 获取时间错误,可重试!"
std::string fetchFailedStatus(std::string_view domain);
// "提示: [ domain] 获取时间完毕."
std::string fetchDoneStatus(std::string_view domain);

}  // namespace pelmora

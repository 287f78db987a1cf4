#pragma once

// The outcome of looking up one domain's dates, as one text: registration
// date + "|" + expiry date, or one of the five codes below.

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

using DateLookupResult = std::string;

inline constexpr std::string_view kLookupNoAnswer = "err";
inline constexpr std::string_view kLookupServiceError = "err2";
inline constexpr std::string_view kLookupNotRegistered = "未注册";
inline constexpr std::string_view kLookupIllegalSuffix = "非法后缀";
inline constexpr std::string_view kLookupQueryLimit = "超过查询次数";

// A source's answer with what else it said.
struct LookupAnswer {
  DateLookupResult result;
  std::string status;                    // RDAP's status words, ", "-joined
  std::optional<int> retryAfterSeconds;  // an HTTP 429's Retry-After
};

// Whether the web service may answer from its cache. The values are those of
// the Yes/No answer to the prompt that starts a batch; anything but Fresh
// reads as UseCache.
enum class CacheChoice { UseCache = 5, Fresh = 6 };
inline constexpr CacheChoice kUseCache = CacheChoice::UseCache;
inline constexpr CacheChoice kFresh = CacheChoice::Fresh;

// Set by the owner of a running lookup to make it give up early ("err").
using CancelFlag = const std::atomic<bool>*;

// The suffix as the lookups see it: from the first "." to the end, dot
// included; a name without "." is its own suffix.
std::string lookupSuffix(std::string_view domain);

// Whether a service's date text reads as a calendar date (parseDate).
bool isLookupDate(std::string_view text);

// reg + "|" + exp, a side that is no date left empty; "err" when both are
// empty.
DateLookupResult joinDates(std::string_view registered, std::string_view expires);

// The yyyy-MM-dd part of a service's date-time text (its first ten characters).
inline std::string leadingDate(std::string_view dateTime) {
  return std::string(dateTime.substr(0, 10));
}

}  // namespace pelmora

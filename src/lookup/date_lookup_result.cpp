#include "lookup/date_lookup_result.h"

#include "support/dates.h"

namespace pelmora {

std::string lookupSuffix(std::string_view domain) {
  const std::size_t dot = domain.find('.');
  return std::string(dot == std::string_view::npos ? domain : domain.substr(dot));
}

bool isLookupDate(std::string_view text) { return parseDate(text).has_value(); }

DateLookupResult joinDates(std::string_view registered, std::string_view expires) {
  // A server's junk in a date field is no date.
  if (!isLookupDate(registered)) registered = {};
  if (!isLookupDate(expires)) expires = {};
  if (registered.empty() && expires.empty()) return std::string(kLookupNoAnswer);
  return std::string(registered) + "|" + std::string(expires);
}

}  // namespace pelmora

#include "lookup/date_lookup_result.h"

namespace pelmora {

std::string lookupSuffix(std::string_view domain) {
  const std::size_t dot = domain.find('.');
  return std::string(dot == std::string_view::npos ? domain : domain.substr(dot));
}

DateLookupResult joinDates(std::string_view registered, std::string_view expires) {
  if (registered.empty() && expires.empty()) return std::string(kLookupNoAnswer);
  return std::string(registered) + "|" + std::string(expires);
}

}  // namespace pelmora

#pragma once

// Dates from the registrar's web-whois service (JSON over HTTP).

#include <string>
#include <string_view>

#include "lookup/date_lookup_result.h"

namespace pelmora {

// "http://" + host + "/web/whois/whoisinfo?domain=" + domain + "&server=&refresh=0|1",
// the domain percent-encoded.
std::string webWhoisUrl(std::string_view host, std::string_view domain, CacheChoice cache);
// Referer, X-Requested-With and User-Agent lines of the request.
std::string webWhoisHeaderLines(std::string_view host, std::string_view domain);
// The answer body mapped onto a result: code 200 dates, 100, 300, 400, other.
DateLookupResult webWhoisResult(std::string_view body);

inline constexpr int kWebWhoisTimeoutSeconds = 10;

// A name isDomainName refuses gives "非法后缀" without any request; an
// answer that does not arrive whole or comes with an error status gives "err"
// (429: "超过查询次数"). `timeoutSeconds` as HttpRequest::timeoutSeconds.
LookupAnswer askWebWhois(std::string_view domain, CacheChoice cache, CancelFlag cancel = nullptr,
                         int timeoutSeconds = kWebWhoisTimeoutSeconds);
DateLookupResult queryWebWhois(std::string_view domain, CacheChoice cache,
                               CancelFlag cancel = nullptr,
                               int timeoutSeconds = kWebWhoisTimeoutSeconds);

}  // namespace pelmora

#pragma once

// Dates from the registrar's web-whois service (JSON over HTTP), and from the
// registries' RDAP services for the suffixes whose port 43 is gone.

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

// A name isLookupDomainName refuses gives "非法后缀" without any request; an
// answer that does not arrive whole gives "err".
DateLookupResult queryWebWhois(std::string_view domain, CacheChoice cache,
                               CancelFlag cancel = nullptr);

// The RDAP base URL for a suffix (".info", ".biz", ".name"), or empty.
std::string rdapBaseFor(std::string_view suffix);
// An RDAP answer mapped onto a result: 404 not registered when it is the
// registry's error object (content type application/rdap+json, or a JSON body
// with errorCode 404), any other 404 "err"; 429 query limit; the
// "registration" and "expiration" events otherwise.
DateLookupResult rdapResult(int status, std::string_view body, std::string_view contentType = {});
DateLookupResult queryRdap(std::string_view domain, std::string_view base,
                           CancelFlag cancel = nullptr);

}  // namespace pelmora

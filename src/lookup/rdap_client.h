#pragma once

// Dates from the registries' RDAP services, for the suffixes whose port 43 is
// gone (see lookup_route.h).

#include <string>
#include <string_view>

#include "lookup/date_lookup_result.h"
#include "lookup/rdap_bootstrap.h"

namespace pelmora {

// The RDAP base URL for a suffix the route table sends to RDAP (".info",
// ".biz", ".name"): PELMORA_RDAP_BASE when set, else the bootstrap's, else the
// table's. Empty for every other suffix.
std::string rdapBaseFor(std::string_view suffix,
                        const RdapBootstrap& bootstrap = bundledRdapBootstrap());

// An RDAP answer mapped onto a result: 404 not registered when it is the
// registry's error object (content type application/rdap+json, or a JSON body
// with errorCode 404), any other 404 "err"; 429 query limit; the
// "registration" and "expiration" events otherwise.
DateLookupResult rdapResult(int status, std::string_view body, std::string_view contentType = {});

inline constexpr int kRdapTimeoutSeconds = 10;

// The registry's status words of an answer ("status": ["auto renew period",
// ...]), joined by ", ".
std::string rdapStatusWords(std::string_view body);

// A name isDomainName refuses gives "非法后缀" without any request; an
// answer that does not arrive whole gives "err". `timeoutSeconds` as
// HttpRequest::timeoutSeconds.
LookupAnswer askRdap(std::string_view domain, std::string_view base, CancelFlag cancel = nullptr,
                     int timeoutSeconds = kRdapTimeoutSeconds);
DateLookupResult queryRdap(std::string_view domain, std::string_view base,
                           CancelFlag cancel = nullptr, int timeoutSeconds = kRdapTimeoutSeconds);

}  // namespace pelmora

#include "lookup/web_whois.h"

#include "support/domain_syntax.h"
#include "support/endpoints.h"
#include "support/http_request.h"
#include "support/json_reader.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

constexpr std::string_view kBrowserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/56.0.2924.87 Safari/537.36";

}  // namespace

std::string webWhoisUrl(std::string_view host, std::string_view domain, CacheChoice cache) {
  return "http://" + std::string(host) + "/web/whois/whoisinfo?domain=" + percentEncode(domain) +
         (cache == kFresh ? "&server=&refresh=1" : "&server=&refresh=0");
}

std::string webWhoisHeaderLines(std::string_view host, std::string_view domain) {
  return "Referer:http://" + std::string(host) +
         "/web/whois/whoisinfo?domain=" + percentEncode(domain) +
         "\r\nX-Requested-With:XMLHttpRequest\r\nUser-Agent:" + std::string(kBrowserAgent);
}

DateLookupResult webWhoisResult(std::string_view body) {
  JsonReader reader;
  if (!reader.parse(body)) return std::string(kLookupNoAnswer);
  const std::string code = reader.getText("code");
  if (code == "200") {
    const std::string registered = leadingDate(reader.getText("regdate"));
    const std::string expires = leadingDate(reader.getText("expdate"));
    if (!isLookupDate(registered) || !isLookupDate(expires)) return std::string(kLookupNoAnswer);
    return registered + "|" + expires;
  }
  if (code == "100") return std::string(kLookupNotRegistered);
  if (code == "400") return std::string(kLookupIllegalSuffix);
  if (code == "300") return std::string(kLookupQueryLimit);
  return std::string(kLookupServiceError);
}

LookupAnswer askWebWhois(std::string_view domain, CacheChoice cache, CancelFlag cancel,
                         int timeoutSeconds) {
  if (!isDomainName(domain)) return {std::string(kLookupIllegalSuffix), {}, {}};
  const std::string host = webWhoisHost();
  HttpRequest request;
  request.url = webWhoisUrl(host, domain, cache);
  request.headerLines = webWhoisHeaderLines(host, domain);
  request.timeoutSeconds = timeoutSeconds;
  request.cancel = cancel;
  const HttpResponse response = httpRequest(request);
  if (!response.complete) return {std::string(kLookupNoAnswer), {}, {}};
  // An error page is no answer, whatever its body claims.
  if (response.status == 429) {
    return {std::string(kLookupQueryLimit), {}, retryAfterSeconds(response.headers)};
  }
  if (response.status < 200 || response.status >= 300)
    return {std::string(kLookupNoAnswer), {}, {}};
  return {webWhoisResult(response.body), {}, {}};
}

DateLookupResult queryWebWhois(std::string_view domain, CacheChoice cache, CancelFlag cancel,
                               int timeoutSeconds) {
  return askWebWhois(domain, cache, cancel, timeoutSeconds).result;
}

}  // namespace pelmora

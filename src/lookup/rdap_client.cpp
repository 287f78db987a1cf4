#include "lookup/rdap_client.h"

#include "lookup/lookup_route.h"
#include "support/domain_syntax.h"
#include "support/endpoints.h"
#include "support/http_request.h"
#include "support/json_reader.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

bool isRdapContentType(std::string_view contentType) {
  return findText(contentType, "application/rdap+json", 0, true) != std::string_view::npos;
}

}  // namespace

std::string rdapBaseFor(std::string_view suffix, const RdapBootstrap& bootstrap) {
  const LookupRoute route = lookupRouteFor(suffix);
  if (route.service != LookupService::Rdap) return {};
  if (auto forced = rdapBaseOverride()) return *forced;
  return bootstrap.baseUrlFor(suffix).value_or(std::string(route.rdapBase));
}

DateLookupResult rdapResult(int status, std::string_view body, std::string_view contentType) {
  JsonReader reader;
  const bool json = reader.parse(body);
  if (status == 404) {
    // Only the registry's own error object says "not registered"; a bare 404
    // may come from a wrong path or a proxy.
    const bool registryAnswer =
        isRdapContentType(contentType) || (json && reader.getText("errorCode") == "404");
    return std::string(registryAnswer ? kLookupNotRegistered : kLookupNoAnswer);
  }
  if (status == 429) return std::string(kLookupQueryLimit);
  if (status != 200 || !json) return std::string(kLookupNoAnswer);
  std::string registered;
  std::string expires;
  const int events = reader.count("events");
  for (int i = 0; i < events; ++i) {
    const std::string at = "events[" + std::to_string(i) + "]";
    const std::string action = reader.getText(at + ".eventAction");
    if (action == "registration") registered = leadingDate(reader.getText(at + ".eventDate"));
    if (action == "expiration") expires = leadingDate(reader.getText(at + ".eventDate"));
  }
  return joinDates(registered, expires);
}

std::string rdapStatusWords(std::string_view body) {
  JsonReader reader;
  if (!reader.parse(body)) return {};
  std::string words;
  const int count = reader.count("status");
  for (int i = 0; i < count; ++i) {
    const std::string word = reader.getText("status[" + std::to_string(i) + "]");
    if (word.empty()) continue;
    if (!words.empty()) words += ", ";
    words += word;
  }
  return words;
}

LookupAnswer askRdap(std::string_view domain, std::string_view base, CancelFlag cancel,
                     int timeoutSeconds) {
  if (!isDomainName(domain)) return {std::string(kLookupIllegalSuffix), {}, {}};
  HttpRequest request;
  std::string url(base);
  if (!url.empty() && url.back() != '/') url += '/';
  request.url = url + "domain/" + percentEncode(domain);
  request.headerLines = "Accept: application/rdap+json";
  request.timeoutSeconds = timeoutSeconds;
  request.cancel = cancel;
  const HttpResponse response = httpRequest(request);
  if (!response.complete) return {std::string(kLookupNoAnswer), {}, {}};
  LookupAnswer answer{rdapResult(response.status, response.body, response.contentType), {}, {}};
  if (response.status == 200) answer.status = rdapStatusWords(response.body);
  if (response.status == 429) answer.retryAfterSeconds = retryAfterSeconds(response.headers);
  return answer;
}

DateLookupResult queryRdap(std::string_view domain, std::string_view base, CancelFlag cancel,
                           int timeoutSeconds) {
  return askRdap(domain, base, cancel, timeoutSeconds).result;
}

}  // namespace pelmora

#include "lookup/lookup_route.h"

#include <array>

#include "support/endpoints.h"

namespace pelmora {
namespace {

struct RouteEntry {
  std::string_view suffix;
  bool coversEndings;  // also every suffix that ends in this one
  LookupRoute route;
};

constexpr LookupRoute whois(std::string_view host, bool cnAnswers = false) {
  return {LookupService::Whois, host, cnAnswers, {}};
}

constexpr LookupRoute rdap(std::string_view base) { return {LookupService::Rdap, {}, false, base}; }

constexpr std::array<RouteEntry, 8> kRoutes{{
    {".com", false, whois(kWhoisComNet)},
    {".net", false, whois(kWhoisComNet)},
    {".org", false, whois(kWhoisOrg)},
    {".cc", false, whois(kWhoisCc)},
    {".cn", true, whois(kWhoisCn, true)},
    {".info", false, rdap(kRdapInfo)},
    {".biz", false, rdap(kRdapBiz)},
    {".name", false, rdap(kRdapName)},
}};

bool matches(const RouteEntry& entry, std::string_view suffix) {
  return entry.coversEndings ? suffix.ends_with(entry.suffix) : suffix == entry.suffix;
}

}  // namespace

LookupRoute lookupRouteFor(std::string_view suffix) {
  for (const RouteEntry& entry : kRoutes) {
    if (matches(entry, suffix)) return entry.route;
  }
  return {};
}

}  // namespace pelmora

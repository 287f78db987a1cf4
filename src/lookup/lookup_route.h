#pragma once

// Which service answers for which suffix: a registry's WHOIS server, a
// registry's RDAP service, or the registrar's web-whois service for the rest.

#include <string_view>

namespace pelmora {

enum class LookupService { Whois, Rdap, WebWhois };

struct LookupRoute {
  LookupService service = LookupService::WebWhois;
  std::string_view whoisHost;  // Whois: the registry's port-43 server
  bool cnAnswers = false;      // Whois: the answer has CNNIC's layout
  std::string_view rdapBase;   // Rdap: the registry's base URL

  bool operator==(const LookupRoute&) const = default;
};

// The route for a suffix as lookupSuffix gives it (".com", ".com.cn"):
// .com .net .org .cc, ".cn" and every suffix ending in ".cn" go to WHOIS;
// .info .biz .name to RDAP; the rest to web-whois. Suffixes are compared as
// they are written, so ".COM" goes to web-whois. The environment overrides
// (see endpoints.h) are applied by the clients, not here.
LookupRoute lookupRouteFor(std::string_view suffix);

}  // namespace pelmora

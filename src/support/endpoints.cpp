#include "support/endpoints.h"

#include <cstdlib>

#include "support/numbers.h"

namespace pelmora {
namespace {

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

// "host:port" in the variable; none when unset or not of that form.
std::optional<HostPort> hostPortVariable(const char* name) {
  const auto value = environment(name);
  if (!value) return std::nullopt;
  const std::size_t colon = value->rfind(':');
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  const int port = readInt(value->substr(colon + 1));
  if (port <= 0 || port > 65535) return std::nullopt;
  return HostPort{value->substr(0, colon), port};
}

}  // namespace

std::string siteHost() { return environment("PELMORA_SITE_HOST").value_or(std::string(kSiteHost)); }

std::string webWhoisHost() {
  return environment("PELMORA_WEBWHOIS_HOST").value_or(std::string(kWebWhoisHost));
}

std::optional<HostPort> whoisServerOverride() { return hostPortVariable("PELMORA_WHOIS_SERVER"); }

std::optional<std::string> rdapBaseOverride() { return environment("PELMORA_RDAP_BASE"); }

std::string ianaRdapBase() {
  return environment("PELMORA_IANA_BASE").value_or(std::string(kIanaRdapBase));
}

HostPort ianaWhoisServer() {
  return hostPortVariable("PELMORA_IANA_WHOIS")
      .value_or(HostPort{std::string(kIanaWhoisHost), kWhoisPort});
}

}  // namespace pelmora

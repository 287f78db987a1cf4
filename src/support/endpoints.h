#pragma once

// Where the program talks to the outside world, in one place. Environment
// variables override the hosts for tests and proxies:
//   PELMORA_WHOIS_SERVER=host:port    every WHOIS query goes there
//   PELMORA_RDAP_BASE=url             every RDAP query goes there
//   PELMORA_WEBWHOIS_HOST=host[:port] the registrar's web-whois service
//   PELMORA_SITE_HOST=host[:port]     the product site
//   PELMORA_IANA_BASE=url             where IANA's RDAP bootstrap dns.json is
//   PELMORA_IANA_WHOIS=host:port      IANA's WHOIS server, which names the
//                                     registries' WHOIS servers

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

inline constexpr std::string_view kProgramVersion = "2.4";
inline constexpr std::string_view kSiteHost = "www.pelmora.net";
inline constexpr std::string_view kWebWhoisHost = "www.west.cn";

inline constexpr std::string_view kWhoisComNet = "whois.verisign-grs.com";
inline constexpr std::string_view kWhoisOrg = "whois.publicinterestregistry.org";
inline constexpr std::string_view kWhoisCc = "ccwhois.verisign-grs.com";
inline constexpr std::string_view kWhoisCn = "whois.cnnic.cn";
inline constexpr int kWhoisPort = 43;

// The registries that no longer answer on port 43 (or never had a server in
// the table) are asked over RDAP.
inline constexpr std::string_view kRdapInfo = "https://rdap.identitydigital.services/rdap/";
inline constexpr std::string_view kRdapBiz = "https://rdap.nic.biz/";
inline constexpr std::string_view kRdapName = "https://tld-rdap.verisign.com/name/v1/";

std::string siteHost();
std::string webWhoisHost();

struct HostPort {
  std::string host;
  int port = 0;
};
// PELMORA_WHOIS_SERVER, when set and well formed.
std::optional<HostPort> whoisServerOverride();
// PELMORA_RDAP_BASE, when set.
std::optional<std::string> rdapBaseOverride();

// The address prefix under which IANA publishes the RDAP bootstrap dns.json.
inline constexpr std::string_view kIanaRdapBase = "https://data.iana.org/rdap/";
// PELMORA_IANA_BASE, else kIanaRdapBase.
std::string ianaRdapBase();

inline constexpr std::string_view kIanaWhoisHost = "whois.iana.org";
// PELMORA_IANA_WHOIS, when set and well formed, else kIanaWhoisHost on kWhoisPort.
HostPort ianaWhoisServer();

}  // namespace pelmora

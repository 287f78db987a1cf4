#pragma once

// Where the program talks to the outside world, in one place. Environment
// variables override the hosts for tests and proxies.

#include <string>
#include <string_view>

namespace pelmora {

inline constexpr std::string_view kProgramVersion = "2.4";
inline constexpr std::string_view kSiteHost = "www.pelmora.net";

// PELMORA_SITE_HOST=host[:port], or the product site.
std::string siteHost();

}  // namespace pelmora

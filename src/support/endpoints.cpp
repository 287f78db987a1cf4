#include "support/endpoints.h"

#include <cstdlib>

namespace pelmora {

std::string siteHost() {
  const char* forced = std::getenv("PELMORA_SITE_HOST");
  return forced != nullptr && *forced != '\0' ? std::string(forced) : std::string(kSiteHost);
}

}  // namespace pelmora

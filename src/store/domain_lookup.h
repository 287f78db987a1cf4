#pragma once

// Finding a domain as it is stored: names compare without case.

#include <optional>
#include <string>
#include <string_view>

#include "store/domain_database.h"

namespace pelmora {

struct StoredDomainName {
  bool ok = false;                  // false: the query failed, nothing is known
  std::optional<std::string> name;  // the stored spelling; none when not stored
  std::string error;                // SQLite's reason when !ok
};

// The row of `domain` in table 域名, found whatever the case of its letters.
StoredDomainName storedDomainName(DomainDatabase& db, std::string_view domain);

}  // namespace pelmora

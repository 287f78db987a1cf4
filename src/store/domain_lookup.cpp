#include "store/domain_lookup.h"

namespace pelmora {

StoredDomainName storedDomainName(DomainDatabase& db, std::string_view domain) {
  StoredDomainName found;
  found.ok = db.query(
      "SELECT 域名 FROM 域名 WHERE 域名=? COLLATE NOCASE LIMIT 1", {std::string(domain)},
      [&](const SqlRow& row) { found.name = row.text(0); }, &found.error);
  if (!found.ok) found.name.reset();
  return found;
}

}  // namespace pelmora

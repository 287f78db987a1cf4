#pragma once

// Writing a domain's registration and expiry dates, as a date lookup does.

#include <optional>
#include <string>
#include <string_view>

#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora {

// The last lookup's answer, kept beside the dates: when it came (UTC,
// yyyy-MM-dd HH:mm:ss), where from (a WHOIS host, an RDAP base URL or the web
// service's name) and the registry's status words joined by ", ". Empty text
// is NULL.
struct LookupStamp {
  std::string checkedAt;
  std::string source;
  std::string status;
};

struct DomainDatesWrite {
  bool ok = false;    // the statement ran
  int changes = 0;    // rows written: 1 when the name is in the list, else 0
  std::string error;  // SQLite's reason when !ok
  // The dates the row holds afterwards, as stored (empty for NULL).
  std::string registered;
  std::string expires;
};

// Sets the expiry date of the domain `name` (matched without case) and, when
// given, its registration date; without one the stored registration date
// stays. A stamp with a time is stored in the same statement; without one the
// stored stamp stays.
DomainDatesWrite storeDomainDates(DomainDatabase& db, std::string_view name,
                                  const std::optional<Date>& registered, const Date& expires,
                                  const LookupStamp& stamp = {});

}  // namespace pelmora

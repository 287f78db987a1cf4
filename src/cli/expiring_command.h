#pragma once

#include <ostream>

#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora::cli {

// `expiring`: the six reminder item captions after one expiry check.
int runExpiring(DomainDatabase& db, const Clock& clock, std::ostream& out);

}  // namespace pelmora::cli

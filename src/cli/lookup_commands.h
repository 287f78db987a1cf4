#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora::cli {

// `lookup DOMAIN [--fresh]`: the lookup result text. Exit 0 for dates or
// not registered, 1 for any failure, 2 for a usage error.
int runLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `update-dates [--fresh] [DOMAIN ...]` (no domains: the filtered listing):
// stores each result as the grid does and prints its status text, then the
// final status. Exit 0 when every domain succeeded, 1 otherwise.
int runUpdateDates(DomainDatabase& db, const std::vector<std::string>& args, const Clock& clock,
                   std::ostream& out, std::ostream& err);

}  // namespace pelmora::cli

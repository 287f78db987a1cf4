#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "support/dates.h"

namespace pelmora::cli {

// `list`: the page caption, then one TAB-separated line per row.
int runList(DomainDatabase& db, const std::vector<std::string>& args, const Clock& clock,
            std::ostream& out, std::ostream& err);

}  // namespace pelmora::cli

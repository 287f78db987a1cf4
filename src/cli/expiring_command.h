#pragma once

#include <ostream>

#include "cli/command.h"
#include "store/domain_database.h"
#include "support/dates.h"
#include "support/table_writer.h"

namespace pelmora::cli {

// `expiring`: the six reminder item captions after one expiry check.
// A count that fails is reported on `err` with exit code 2.
int runExpiring(DomainDatabase& db, const Clock& clock, std::ostream& out, std::ostream& err);

struct ExpiringDomainsOptions {
  bool onlyNew = false;  // --new: only reminders not given before, remembered once printed
  TableFormat format = TableFormat::Tsv;
};

// `expiring --domains [--new]`: one row per domain behind the counts (提醒,
// 域名, 到期时间, 剩余天数, 注册商); none at all when no domain is listed, except
// JSON's []. With --new, the domains printed are
// remembered once the output went out whole; exit code 2 when the list, the
// output or remembering them fails.
int runExpiringDomains(DomainDatabase& db, const ExpiringDomainsOptions& options,
                       const Clock& clock, std::ostream& out, std::ostream& err);

// `--domains`, `--new` and `--format`; --new and --format go with --domains.
CommandRun declareExpiring(CLI::App& command);

// Reads the file, and writes it only with --new.
DatabaseUse expiringDatabaseUse(const CLI::App& command);

}  // namespace pelmora::cli

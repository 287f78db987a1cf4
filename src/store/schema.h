#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "store/domain_database.h"
#include "support/result.h"

namespace pelmora {

// The schema version this program writes (PRAGMA user_version).
inline constexpr int kSchemaVersion = 5;

// Creates the current tables, indexes, group counts and settings rows of an
// empty domain.mdb in one transaction, and stamps the version.
Result<void> createCurrentSchema(SqliteConnection& connection);

// The version stamped in the file, or why it cannot be read.
Result<int> storedSchemaVersion(DomainDatabase& db);

// Brings an opened database to the current shape: missing columns, the unique
// key on the settings keys, the four settings rows, case-blind group columns,
// the listing indexes, the group counts and the table of reminders given. One write transaction:
// either every step is applied and the version stamped, or nothing changes and it fails with the
// reason. Every step is idempotent.
Result<void> upgradeSchema(DomainDatabase& db);

// Told once, before an older file is backed up and upgraded: at a million
// domains building the new indexes takes a minute or more, which the caller
// says rather than seem to hang.
using UpgradeNotice = std::function<void()>;

// open + upgrade when the file is older than this program. A read-only open of
// an older file upgrades it first through a read-write open, then reopens it
// read-only. `problem` tells what kept the file from being opened.
std::unique_ptr<DomainDatabase> openCurrentDatabase(const std::filesystem::path& path,
                                                    std::string* error = nullptr,
                                                    OpenMode mode = OpenMode::ReadWrite,
                                                    const UpgradeNotice& notice = {},
                                                    OpenProblem* problem = nullptr,
                                                    Opener opener = Opener::Command);

}  // namespace pelmora

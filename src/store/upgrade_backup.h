#pragma once

// The copy of an older domain.mdb kept before the upgrade changes it: beside
// the file, named "<file>.bak-yyyy-MM-dd" ("-2", "-3", ... for further copies
// of the same day), mode 0600. Only the three newest copies of a file are
// kept. A copy is written as "<file>.bak-unfinished" and takes its name only
// once it is complete and synced, so a copy under a backup name is whole.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "store/domain_database.h"
#include "support/dates.h"
#include "support/result.h"

namespace pelmora {

inline constexpr std::size_t kKeptUpgradeBackups = 3;

// Writes a consistent copy of the file of `db` (as committed now) under the
// next free name of `today`, then deletes the copies beyond the newest
// kKeptUpgradeBackups. The caller holds the write lock, so nothing changes
// while it is copied. What an interrupted copy left is removed first. When
// the newest copy written by this program was made from the same bytes as the
// file holds now (an upgrade that failed after its copy, tried again), that
// copy is the backup and nothing is written. The backup's path, or why there
// is none (and no partial copy is left behind).
Result<std::filesystem::path> writeUpgradeBackup(DomainDatabase& db, const Date& today);

// The backups of `database` in its folder, oldest first.
std::vector<std::filesystem::path> upgradeBackups(const std::filesystem::path& database);

}  // namespace pelmora

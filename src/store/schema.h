#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "store/domain_database.h"

namespace pelmora {

// Creates the five tables of an empty domain.mdb.
bool createTables(SqliteConnection& connection);

// Brings an opened database to the current shape: missing columns, the unique
// key on the settings keys, the four settings rows and the listing indexes.
// Every step is idempotent and a failing step is skipped, so it runs at every
// start.
void upgradeSchema(DomainDatabase& db);

// open + upgrade, as every start does.
std::unique_ptr<DomainDatabase> openCurrentDatabase(const std::filesystem::path& path,
                                                    std::string* error = nullptr);

}  // namespace pelmora

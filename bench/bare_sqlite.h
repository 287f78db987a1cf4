#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "store/sqlite_connection.h"

namespace pelmora::bench {

// A read-only connection through the plain SQLite C API, for baselines.
class BareSqlite {
 public:
  explicit BareSqlite(const std::filesystem::path& path);
  ~BareSqlite();
  BareSqlite(const BareSqlite&) = delete;
  BareSqlite& operator=(const BareSqlite&) = delete;

  // Prepares, binds, steps through every row reading every column, and
  // returns the first column of each row as an integer. Throws on failure.
  std::vector<std::int64_t> run(const std::string& sql, const SqlParams& params);

 private:
  sqlite3* raw_ = nullptr;
};

}  // namespace pelmora::bench

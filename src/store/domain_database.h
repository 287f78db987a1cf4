#pragma once

// The one connection to domain.mdb. Every run-read-close unit holds the
// connection's lock, so the UI thread and workers can share it.

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "store/sqlite_connection.h"

namespace pelmora {

// Kept for the record of the file format; SQLite has no password, and the
// file is protected by its 0600 mode instead.
inline constexpr std::string_view kDatabasePassword = "tivemo@582";
inline constexpr std::string_view kDatabaseFileName = "domain.mdb";
inline constexpr std::string_view kOpenFailureMessage =
    "数据库连接失败,请确定 domain.mdb 未被使用.";

// domain.mdb in the directory of the running executable.
std::filesystem::path defaultDatabasePath();

class DomainDatabase {
 public:
  // Opens `path`, creating it with the five tables when it does not exist.
  // Fails (nullptr, reason in `error`) when the file is in use by another
  // instance, is not a database, is another program's database or cannot be
  // read. Nothing is written to a file that fails.
  static std::unique_ptr<DomainDatabase> open(const std::filesystem::path& path,
                                              std::string* error = nullptr);
  ~DomainDatabase();
  DomainDatabase(const DomainDatabase&) = delete;
  DomainDatabase& operator=(const DomainDatabase&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Runs one statement; false on any failure (the data stays as it was).
  bool run(std::string_view sql, const SqlParams& params = {});

  // Runs a query and hands each row to `onRow` while the lock is held.
  bool query(std::string_view sql, const SqlParams& params,
             const std::function<void(const SqlRow&)>& onRow);

  // First column of the first row; nullopt on failure or when there is no row.
  std::optional<SqlValue> scalar(std::string_view sql, const SqlParams& params = {});

  // Runs `work` with the raw connection under the lock (for prepared
  // statement loops and transactions).
  void withConnection(const std::function<void(SqliteConnection&)>& work);

  // Runs `work` in one transaction; commits when it returns true, else rolls back.
  bool transaction(const std::function<bool(SqliteConnection&)>& work);

 private:
  DomainDatabase() = default;

  std::filesystem::path path_;
  int lockFd_ = -1;
  std::recursive_mutex mutex_;
  SqliteConnection connection_;
};

}  // namespace pelmora

#include "store/domain_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <system_error>

#include "store/schema.h"

namespace pelmora {
namespace {

void setError(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
}

int takeInstanceLock(const std::filesystem::path& dbPath, std::string* error) {
  const std::string lockPath = dbPath.string() + ".lock";
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    setError(error, "cannot create " + lockPath);
    return -1;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    setError(error, dbPath.string() + " is in use by another instance");
    return -1;
  }
  return fd;
}

bool createEmptyFile(const std::filesystem::path& path, std::string* error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    setError(error, "cannot create " + path.string());
    return false;
  }
  ::close(fd);
  return true;
}

enum class FileShape { Ours, Empty, Foreign, Unreadable };

FileShape inspect(SqliteConnection& connection) {
  SqliteStatement tables = connection.prepare(
      "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'");
  if (!tables.valid()) return FileShape::Unreadable;
  bool any = false;
  bool hasDomains = false;
  while (tables.step()) {
    any = true;
    if (tables.row().text(0) == "域名") hasDomains = true;
  }
  if (tables.failed()) return FileShape::Unreadable;
  if (hasDomains) return FileShape::Ours;
  return any ? FileShape::Foreign : FileShape::Empty;
}

}  // namespace

std::filesystem::path defaultDatabasePath() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  const auto dir = ec ? std::filesystem::current_path() : exe.parent_path();
  return dir / std::string(kDatabaseFileName);
}

std::unique_ptr<DomainDatabase> DomainDatabase::open(const std::filesystem::path& path,
                                                     std::string* error) {
  std::unique_ptr<DomainDatabase> db(new DomainDatabase());
  db->path_ = path;
  db->lockFd_ = takeInstanceLock(path, error);
  if (db->lockFd_ < 0) return nullptr;

  std::error_code ec;
  const bool existed = std::filesystem::exists(path, ec);
  if (!existed && !createEmptyFile(path, error)) return nullptr;

  std::string reason;
  if (!db->connection_.open(path.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &reason)) {
    setError(error, "cannot open " + path.string() + ": " + reason);
    return nullptr;
  }
  // A lock held by some other program on the file itself: wait briefly, then fail.
  db->connection_.exec("PRAGMA busy_timeout=2000");

  switch (inspect(db->connection_)) {
    case FileShape::Unreadable:
      setError(error,
               path.string() + " is not a readable database: " + db->connection_.lastError());
      return nullptr;
    case FileShape::Foreign:
      setError(error, path.string() + " belongs to another program");
      return nullptr;
    case FileShape::Empty:
      if (!createTables(db->connection_)) {
        setError(error, "cannot create the tables: " + db->connection_.lastError());
        return nullptr;
      }
      break;
    case FileShape::Ours:
      break;
  }
  db->connection_.exec("PRAGMA journal_mode=WAL");
  db->connection_.exec("PRAGMA synchronous=NORMAL");
  db->connection_.exec("PRAGMA foreign_keys=OFF");
  return db;
}

DomainDatabase::~DomainDatabase() {
  if (connection_.isOpen()) connection_.exec("PRAGMA optimize");
  connection_.close();
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool DomainDatabase::run(std::string_view sql, const SqlParams& params) {
  std::lock_guard lock(mutex_);
  SqliteStatement statement = connection_.prepare(sql);
  if (!statement.valid() || !statement.bind(params)) return false;
  while (statement.step()) {
  }
  return !statement.failed();
}

bool DomainDatabase::query(std::string_view sql, const SqlParams& params,
                           const std::function<void(const SqlRow&)>& onRow) {
  std::lock_guard lock(mutex_);
  SqliteStatement statement = connection_.prepare(sql);
  if (!statement.valid() || !statement.bind(params)) return false;
  while (statement.step()) onRow(statement.row());
  return !statement.failed();
}

std::optional<SqlValue> DomainDatabase::scalar(std::string_view sql, const SqlParams& params) {
  std::optional<SqlValue> result;
  const bool ok = query(sql, params, [&](const SqlRow& row) {
    if (!result) result = row.value(0);
  });
  return ok ? result : std::nullopt;
}

void DomainDatabase::withConnection(const std::function<void(SqliteConnection&)>& work) {
  std::lock_guard lock(mutex_);
  work(connection_);
}

bool DomainDatabase::transaction(const std::function<bool(SqliteConnection&)>& work) {
  std::lock_guard lock(mutex_);
  if (!connection_.exec("BEGIN IMMEDIATE")) return false;
  if (work(connection_)) {
    if (connection_.exec("COMMIT")) return true;
  }
  connection_.exec("ROLLBACK");
  return false;
}

}  // namespace pelmora

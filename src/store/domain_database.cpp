#include "store/domain_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "store/schema.h"
#include "support/user_folders.h"

namespace pelmora {
namespace {

void setError(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
}

void setError(std::string* error, OpenProblem* problem, OpenProblem kind, std::string text) {
  if (problem != nullptr) *problem = kind;
  setError(error, std::move(text));
}

// The file's real path, so that a symlink or a relative path to the same file
// shares its lock. A missing file resolves through its folder.
std::filesystem::path realPathOf(const std::filesystem::path& path) {
  std::error_code ec;
  auto real = std::filesystem::canonical(path, ec);
  if (!ec) return real;
  const auto parent = std::filesystem::canonical(
      path.has_parent_path() ? path.parent_path() : std::filesystem::current_path(), ec);
  return ec ? std::filesystem::absolute(path) : parent / path.filename();
}

// The lock file beside the database. The window holds it exclusively for as
// long as it is open, so that one window at a time works on a file; commands
// take no lock for their run (they read beside the window and write through
// SQLite's own locking) and hold it only for the instant they write a note.
// The lock file is never followed through a symlink: a planted link must not
// make the program create or truncate another file. A reader needs none.
int openLockFile(const std::filesystem::path& dbPath, std::string* error, OpenProblem* problem) {
  const std::string lockPath = dbPath.string() + ".lock";
  int fd = ::open(lockPath.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) fd = ::open(lockPath.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  }
  if (fd < 0) {
    const int failure = errno;
    const bool readOnly = failure == EACCES || failure == EROFS || failure == EPERM;
    setError(error, problem, readOnly ? OpenProblem::ReadOnly : OpenProblem::Other,
             "cannot open the lock file " + lockPath + ": " + std::strerror(failure));
    return -1;
  }
  return fd;
}

// A command holds the lock only while it writes a note: a window that starts
// in that instant waits a little instead of being refused.
constexpr int kWindowLockTries = 25;
constexpr auto kWindowLockPause = std::chrono::milliseconds(20);

bool takeWindowLock(int fd) {
  for (int attempt = 0; attempt < kWindowLockTries; ++attempt) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    std::this_thread::sleep_for(kWindowLockPause);
  }
  return false;
}

// 0, or the errno of the failure.
int createEmptyFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

bool folderIsWritable(const std::filesystem::path& path) {
  return ::faccessat(AT_FDCWD, path.parent_path().c_str(), W_OK, AT_EACCESS) == 0;
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

// Rolls back a transaction opened inside the guarded work when that work
// fails, throws or forgets to end it; a transaction that was already open
// when the guard was made belongs to an outer caller and is left alone.
class RollbackGuard {
 public:
  explicit RollbackGuard(SqliteConnection& connection)
      : connection_(connection), outer_(connection.inTransaction()) {}
  ~RollbackGuard() {
    if (!outer_ && connection_.inTransaction()) connection_.exec("ROLLBACK");
  }
  RollbackGuard(const RollbackGuard&) = delete;
  RollbackGuard& operator=(const RollbackGuard&) = delete;

 private:
  SqliteConnection& connection_;
  bool outer_;
};

// Statement and parameters as one unambiguous text: each value tagged with
// its type, texts with their length.
std::string countKey(std::string_view sql, const SqlParams& params) {
  std::string key(sql);
  for (const SqlValue& value : params) {
    key += '\x1f';
    key += static_cast<char>('0' + value.index());
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
      key += std::to_string(*number);
    } else if (const auto* real = std::get_if<double>(&value)) {
      key += std::to_string(std::bit_cast<std::uint64_t>(*real));
    } else if (const auto* text = std::get_if<std::string>(&value)) {
      key += std::to_string(text->size()) + ':' + *text;
    }
  }
  return key;
}

// The lines of the notes in the lock file (see DomainDatabase::note).
std::vector<std::string> readNotes(int lockFd, OpenMode mode) {
  std::vector<std::string> lines;
  if (mode != OpenMode::ReadWrite || lockFd < 0) return lines;
  std::string text;
  char buffer[4096];
  for (off_t offset = 0;;) {
    const ssize_t got = ::pread(lockFd, buffer, sizeof buffer, offset);
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    offset += got;
  }
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// Enough for every filter a session tries; beyond it the cache starts over.
constexpr std::size_t kMaxCachedCounts = 256;

}  // namespace

std::string openFailureHeadline(OpenProblem problem, const std::filesystem::path& file) {
  const std::string name = file.string();
  switch (problem) {
    case OpenProblem::InUse:
      return "数据库连接失败,请确定 " + name + " 未被使用.";
    case OpenProblem::Missing:
      return "数据库连接失败, " + name + " 不存在.";
    case OpenProblem::NotADatabase:
      return "数据库连接失败, " + name + " 不是域名数据库.";
    case OpenProblem::ReadOnly:
      return "数据库连接失败, " + name + " 只能读取, 无法写入.";
    case OpenProblem::Other:
      break;
  }
  return "数据库连接失败, 无法打开 " + name + ".";
}

namespace {

// A program run from its build tree (a folder with CMakeCache.txt above it).
bool inBuildTree(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::path at = folder;
  for (int up = 0; up < 4 && !at.empty(); ++up, at = at.parent_path()) {
    if (std::filesystem::exists(at / "CMakeCache.txt", ec)) return true;
    if (at == at.root_path()) break;
  }
  return false;
}

}  // namespace

std::filesystem::path userDataFolder() { return userFolder("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path defaultDatabasePath() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  const auto dir = ec ? std::filesystem::current_path() : exe.parent_path();
  const auto beside = dir / std::string(kDatabaseFileName);
  if (std::filesystem::exists(beside, ec) || inBuildTree(dir)) return beside;
  const auto folder = userDataFolder();
  std::filesystem::create_directories(folder, ec);
  ::chmod(folder.c_str(), 0700);
  return folder / std::string(kDatabaseFileName);
}

std::unique_ptr<DomainDatabase> DomainDatabase::open(const std::filesystem::path& requested,
                                                     std::string* error, OpenMode mode,
                                                     OpenProblem* problem, Opener opener) {
  std::unique_ptr<DomainDatabase> db(new DomainDatabase());
  const std::filesystem::path path = realPathOf(requested);
  db->path_ = path;
  db->mode_ = mode;
  const auto fail = [&](OpenProblem kind, std::string text) {
    setError(error, problem, kind, std::move(text));
    return nullptr;
  };
  std::error_code ec;
  if (mode == OpenMode::ReadOnly && !std::filesystem::exists(path, ec)) {
    return fail(OpenProblem::Missing, path.string() + " does not exist");
  }
  db->opener_ = opener;
  if (mode == OpenMode::ReadWrite || opener == Opener::Window) {
    db->lockFd_ = openLockFile(path, error, problem);
    if (db->lockFd_ < 0) return nullptr;
    if (opener == Opener::Window && !takeWindowLock(db->lockFd_)) {
      return fail(OpenProblem::InUse, path.string() + " is open in another window");
    }
  }

  if (!std::filesystem::exists(path, ec)) {
    if (mode == OpenMode::ReadOnly)
      return fail(OpenProblem::Missing, path.string() + " does not exist");
    if (const int failure = createEmptyFile(path); failure != 0) {
      return fail(
          failure == EACCES || failure == EROFS ? OpenProblem::ReadOnly : OpenProblem::Other,
          "cannot create " + path.string() + ": " + std::strerror(failure));
    }
  }

  const int flags = (mode == OpenMode::ReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                    SQLITE_OPEN_NOMUTEX;
  std::string reason;
  if (!db->connection_.open(path.string(), flags, &reason)) {
    return fail(OpenProblem::Other, "cannot open " + path.string() + ": " + reason);
  }
  if (mode == OpenMode::ReadWrite && db->connection_.isReadOnly()) {
    return fail(OpenProblem::ReadOnly,
                path.string() + " can only be read: it or its folder is not writable");
  }
  // Another program holding the file: fail promptly rather than wait.
  db->connection_.setBusyTimeout(kOpenBusyTimeoutMs);

  switch (inspect(db->connection_)) {
    case FileShape::Unreadable:
      // SQLite keeps its -wal and -shm files beside the database; in a
      // folder it may not write, even reading fails ("attempt to write a
      // readonly database"), which says nothing about the file itself.
      if (!folderIsWritable(path)) {
        return fail(OpenProblem::ReadOnly, path.string() +
                                               " cannot be used: its folder is not writable (" +
                                               db->connection_.lastError() + ")");
      }
      return fail(OpenProblem::NotADatabase,
                  path.string() + " is not a readable database: " + db->connection_.lastError());
    case FileShape::Foreign:
      return fail(OpenProblem::NotADatabase, path.string() + " belongs to another program");
    case FileShape::Empty:
      if (mode == OpenMode::ReadOnly) {
        return fail(OpenProblem::NotADatabase, path.string() + " holds no tables yet");
      }
      if (const auto created = createCurrentSchema(db->connection_); !created) {
        return fail(OpenProblem::Other, "cannot create the tables: " + created.error());
      }
      break;
    case FileShape::Ours:
      break;
  }
  if (mode == OpenMode::ReadWrite) db->connection_.exec("PRAGMA synchronous=NORMAL");
  db->connection_.exec("PRAGMA foreign_keys=OFF");
  // Every sortable column has an index: at a million rows an insert touches a
  // dozen B-trees, which SQLite's default 2 MB cache cannot keep in memory.
  // A one-shot read (the read-only commands) would only pay for allocating
  // the cache as a count fills it, so it keeps the default.
  if (mode == OpenMode::ReadWrite) {
    db->connection_.exec("PRAGMA cache_size=-" + std::to_string(kWriterPageCacheKiB));
    // Each insert in a long transaction saves the pages it may have to undo
    // (the group-count triggers can fail it); on disk that is dozens of
    // writes a row to a temporary file.
    db->connection_.exec("PRAGMA temp_store=MEMORY");
  }
  db->connection_.setBusyTimeout(kBusyTimeoutMs);
  return db;
}

DomainDatabase::~DomainDatabase() {
  connection_.close();
  if (noteOnClose_) {
    const std::string value = noteOnClose_();
    if (!value.empty()) setNote(noteOnCloseKey_, value);
  }
  if (lockFd_ >= 0) ::close(lockFd_);
}

StatementResult DomainDatabase::execute(std::string_view sql, const SqlParams& params) {
  std::lock_guard lock(mutex_);
  StatementResult result;
  SqliteStatement statement = connection_.prepare(sql);
  if (statement.valid() && statement.bind(params)) {
    while (statement.step()) {
    }
  }
  result.ok = statement.valid() && !statement.failed();
  if (result.ok) {
    result.changes = connection_.changes();
  } else {
    result.error = connection_.lastError();
  }
  return result;
}

bool DomainDatabase::run(std::string_view sql, const SqlParams& params) {
  return execute(sql, params).ok;
}

bool DomainDatabase::query(std::string_view sql, const SqlParams& params,
                           const std::function<void(const SqlRow&)>& onRow, std::string* error) {
  return queryWhile(
      sql, params,
      [&onRow](const SqlRow& row) {
        onRow(row);
        return true;
      },
      error);
}

bool DomainDatabase::queryWhile(std::string_view sql, const SqlParams& params,
                                const std::function<bool(const SqlRow&)>& onRow,
                                std::string* error) {
  std::lock_guard lock(mutex_);
  SqliteStatement statement = connection_.prepare(sql);
  if (statement.valid() && statement.bind(params)) {
    while (statement.step() && onRow(statement.row())) {
    }
  }
  if (statement.valid() && !statement.failed()) return true;
  setError(error, connection_.lastError());
  return false;
}

std::optional<SqlValue> DomainDatabase::scalar(std::string_view sql, const SqlParams& params,
                                               std::string* error) {
  std::optional<SqlValue> result;
  const bool ok = query(
      sql, params,
      [&](const SqlRow& row) {
        if (!result) result = row.value(0);
      },
      error);
  return ok ? result : std::nullopt;
}

std::optional<std::int64_t> DomainDatabase::count(std::string_view sql, const SqlParams& params,
                                                  std::string* error) {
  std::string reason;
  const auto value = scalar(sql, params, &reason);
  const auto* number = value ? std::get_if<std::int64_t>(&*value) : nullptr;
  if (number != nullptr) return *number;
  setError(error, reason.empty() ? "the count returned no number" : reason);
  return std::nullopt;
}

std::optional<std::int64_t> DomainDatabase::cachedCount(std::string_view sql,
                                                        const SqlParams& params,
                                                        std::string* error) {
  std::lock_guard lock(mutex_);
  if (connection_.hasUncommittedWrites()) return count(sql, params, error);
  auto stamp = dataStamp();
  if (!stamp) return count(sql, params, error);
  if (stamp != countsStamp_ || counts_.size() >= kMaxCachedCounts) {
    counts_.clear();
    countsStamp_ = std::move(stamp);
  }
  std::string key = countKey(sql, params);
  if (const auto found = counts_.find(key); found != counts_.end()) return found->second;
  const auto counted = count(sql, params, error);
  if (counted) counts_.emplace(std::move(key), *counted);
  return counted;
}

void DomainDatabase::useWriteAheadLog() {
  std::lock_guard lock(mutex_);
  connection_.exec("PRAGMA journal_mode=WAL");
}

void DomainDatabase::setBusyTimeout(int milliseconds) {
  std::lock_guard lock(mutex_);
  connection_.setBusyTimeout(milliseconds);
}

std::optional<std::int64_t> DomainDatabase::outsideVersion(bool wait) {
  std::unique_lock lock(mutex_, std::defer_lock);
  if (wait) {
    lock.lock();
  } else if (!lock.try_lock()) {
    return std::nullopt;
  }
  SqliteStatement statement = connection_.prepare("PRAGMA data_version");
  if (!statement.step()) return std::nullopt;
  return statement.row().integer(0);
}

std::optional<std::string> DomainDatabase::dataStamp() {
  std::lock_guard lock(mutex_);
  SqliteStatement statement = connection_.prepare("PRAGMA data_version");
  if (!statement.step()) return std::nullopt;
  return std::to_string(connection_.totalChanges()) + "/" + statement.row().asText(0);
}

void DomainDatabase::withConnection(const std::function<void(SqliteConnection&)>& work) {
  std::lock_guard lock(mutex_);
  RollbackGuard guard(connection_);
  work(connection_);
}

bool DomainDatabase::transaction(const std::function<bool(SqliteConnection&)>& work,
                                 std::string* error) {
  std::lock_guard lock(mutex_);
  RollbackGuard guard(connection_);
  if (!connection_.exec("BEGIN IMMEDIATE")) {
    setError(error, connection_.lastError());
    return false;
  }
  if (!work(connection_)) {
    setError(error, connection_.lastError());
    return false;
  }
  if (!connection_.exec("COMMIT")) {
    setError(error, connection_.lastError());
    return false;
  }
  return true;
}

bool DomainDatabase::readTransaction(const std::function<bool(SqliteConnection&)>& work,
                                     std::string* error) {
  std::lock_guard lock(mutex_);
  RollbackGuard guard(connection_);
  if (!connection_.exec("BEGIN")) {
    setError(error, connection_.lastError());
    return false;
  }
  if (!work(connection_) || !connection_.exec("COMMIT")) {
    setError(error, connection_.lastError());
    return false;
  }
  return true;
}

void DomainDatabase::refuseWrites(const std::string& reason) {
  std::lock_guard lock(mutex_);
  connection_.refuseWrites(reason);
  noteOnClose_ = nullptr;
}

std::string DomainDatabase::note(std::string_view key) {
  std::lock_guard lock(mutex_);
  const std::string prefix = std::string(key) + ' ';
  for (const std::string& line : readNotes(lockFd_, mode_)) {
    if (line.starts_with(prefix)) return line.substr(prefix.size());
  }
  return {};
}

void DomainDatabase::setNote(std::string_view key, std::string_view value) {
  std::lock_guard lock(mutex_);
  if (mode_ != OpenMode::ReadWrite || lockFd_ < 0) return;
  const std::string prefix = std::string(key) + ' ';
  std::string text = prefix + std::string(value) + '\n';
  for (const std::string& line : readNotes(lockFd_, mode_)) {
    if (!line.starts_with(prefix)) text += line + '\n';
  }
  // A command writes only while no window has the file open; a note it
  // cannot write costs the next writer only the work the note would save.
  if (opener_ == Opener::Command && ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) return;
  // A note cut short by a crash no longer matches what it is compared with,
  // which only costs the work it would have saved.
  if (::pwrite(lockFd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size())) {
    [[maybe_unused]] const int ignored = ::ftruncate(lockFd_, static_cast<off_t>(text.size()));
  }
  if (opener_ == Opener::Command) ::flock(lockFd_, LOCK_UN);
}

void DomainDatabase::setNoteOnClose(std::string key, std::function<std::string()> value) {
  std::lock_guard lock(mutex_);
  noteOnCloseKey_ = std::move(key);
  noteOnClose_ = std::move(value);
}

}  // namespace pelmora

#pragma once

// The one connection to domain.mdb. Every run-read-close unit holds the
// connection's lock, so the UI thread and workers can share it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/sqlite_connection.h"

namespace pelmora {

// Kept for the record of the file format; SQLite has no password, and the
// file is protected by its 0600 mode instead.
inline constexpr std::string_view kDatabasePassword = "tivemo@582";
inline constexpr std::string_view kDatabaseFileName = "domain.mdb";
inline constexpr std::string_view kOpenFailureMessage =
    "数据库连接失败,请确定 domain.mdb 未被使用.";

// What kept a file from being opened, for a message that names it.
enum class OpenProblem { Other, Missing, InUse, NotADatabase, ReadOnly };

// The first line of the message for a file that could not be opened: the
// file's own name and what kept it from being used.
std::string openFailureHeadline(OpenProblem problem, const std::filesystem::path& file);

// Where the window and the commands keep domain.mdb unless told otherwise:
// beside the program when a domain.mdb is already there or the program runs
// from its build tree (portable use), else in the user's data folder
// (userDataFolder, made with mode 0700 when missing).
std::filesystem::path defaultDatabasePath();
// $XDG_DATA_HOME/pelmora, by default ~/.local/share/pelmora.
std::filesystem::path userDataFolder();

// Commands that only read open the file read-only: they never change its bytes
// and never create it.
enum class OpenMode { ReadWrite, ReadOnly };

// One window at a time works on a file: it holds the lock file beside it for
// as long as it is open. Commands run beside it: readers see its commits
// (WAL), and writers take turns with it through SQLite's locking, waiting up
// to kBusyTimeoutMs.
enum class Opener { Command, Window };

// How long a statement waits for a lock another program holds on the file.
inline constexpr int kBusyTimeoutMs = 5000;
// The wait for the write lock at open time (creating the tables, upgrading).
inline constexpr int kOpenBusyTimeoutMs = 500;
// SQLite's page cache for a connection that writes, in KiB.
inline constexpr int kWriterPageCacheKiB = 32 * 1024;

// The outcome of one statement that changes data.
struct StatementResult {
  bool ok = false;
  int changes = 0;    // rows inserted, updated or deleted
  std::string error;  // SQLite's reason when !ok
};

class DomainDatabase {
 public:
  // Opens `path`; read-write opens create a missing file with the current
  // tables. Fails (nullptr, reason in `error`) when a window opens a file
  // another window has open, or the file is not a database, is another
  // program's database, cannot be read, or (read-write) cannot be written.
  // Nothing is written to a file that fails, and a read-only open makes no
  // lock file. The schema upgrade is not run here (see schema.h).
  static std::unique_ptr<DomainDatabase> open(const std::filesystem::path& path,
                                              std::string* error = nullptr,
                                              OpenMode mode = OpenMode::ReadWrite,
                                              OpenProblem* problem = nullptr,
                                              Opener opener = Opener::Command);
  ~DomainDatabase();
  DomainDatabase(const DomainDatabase&) = delete;
  DomainDatabase& operator=(const DomainDatabase&) = delete;

  const std::filesystem::path& path() const { return path_; }
  OpenMode mode() const { return mode_; }

  // Runs one statement; false on any failure (the data stays as it was).
  bool run(std::string_view sql, const SqlParams& params = {});
  // Runs one statement and tells how many rows it changed, or why it failed.
  StatementResult execute(std::string_view sql, const SqlParams& params = {});

  // Runs a query and hands each row to `onRow` while the lock is held. False
  // (with SQLite's reason in `error`) when the statement fails, also midway.
  bool query(std::string_view sql, const SqlParams& params,
             const std::function<void(const SqlRow&)>& onRow, std::string* error = nullptr);
  // The same, stopping early (not a failure) when `onRow` returns false.
  bool queryWhile(std::string_view sql, const SqlParams& params,
                  const std::function<bool(const SqlRow&)>& onRow, std::string* error = nullptr);

  // First column of the first row; nullopt on failure (reason in `error`) or
  // when there is no row.
  std::optional<SqlValue> scalar(std::string_view sql, const SqlParams& params = {},
                                 std::string* error = nullptr);

  // A count(*)-like query: the integer of the first row, nullopt with the
  // reason on failure.
  std::optional<std::int64_t> count(std::string_view sql, const SqlParams& params,
                                    std::string* error);

  // count() for a statement whose answer depends on the data alone (no
  // clock, no random): the answer is kept per statement and parameters until
  // the data stamp changes. Inside a transaction that has written, nothing is
  // kept or reused, as it may yet be rolled back.
  std::optional<std::int64_t> cachedCount(std::string_view sql, const SqlParams& params,
                                          std::string* error);

  void setBusyTimeout(int milliseconds);

  // Readers and the writer do not block each other in WAL mode. A file already
  // in that mode is not written. On a file system without shared memory the
  // journal stays as it is; that is slower, not wrong.
  void useWriteAheadLog();

  // Changes whenever the data may have changed: a write through this
  // connection or a commit by another connection to the file. Equal stamps
  // mean nothing was written in between. nullopt when it cannot be read.
  std::optional<std::string> dataStamp();

  // Changes when another connection (another program, a command) commits to
  // the file; never for this connection's own writes. nullopt when it cannot
  // be read, or when the connection is busy and `wait` is false.
  std::optional<std::int64_t> outsideVersion(bool wait = true);

  // Runs `work` with the raw connection under the lock (for prepared
  // statement loops and transactions).
  void withConnection(const std::function<void(SqliteConnection&)>& work);

  // Runs `work` in one write transaction; commits when it returns true, else
  // (also when it throws, or when the commit fails) rolls back, so the
  // connection never stays inside a transaction. False with the reason in
  // `error` when nothing was committed.
  bool transaction(const std::function<bool(SqliteConnection&)>& work,
                   std::string* error = nullptr);

  // Runs `work` in one read transaction, so several statements see the same
  // data. False when the snapshot cannot be had or `work` returns false.
  bool readTransaction(const std::function<bool(SqliteConnection&)>& work,
                       std::string* error = nullptr);

  // From now on nothing is written through this connection: every statement
  // that would change the file fails with `reason`. Also from a worker.
  void refuseWrites(const std::string& reason);

  // Short notes a writer keeps for the next writer of this file: one line per
  // key, in the lock file beside it, which only the window holding it or a
  // command while no window does changes. They describe the database file, so they are never
  // kept in it. Empty when there is none, and for a reader.
  std::string note(std::string_view key);
  void setNote(std::string_view key, std::string_view value);
  // Sets the note `key` to what `value` says once the connection is closed
  // and before the lock is given up; none is set after refuseWrites.
  void setNoteOnClose(std::string key, std::function<std::string()> value);

 private:
  DomainDatabase() = default;

  std::filesystem::path path_;
  OpenMode mode_ = OpenMode::ReadWrite;
  Opener opener_ = Opener::Command;
  int lockFd_ = -1;
  std::recursive_mutex mutex_;
  SqliteConnection connection_;
  std::string noteOnCloseKey_;
  std::function<std::string()> noteOnClose_;
  std::optional<std::string> countsStamp_;
  std::unordered_map<std::string, std::int64_t> counts_;
};

}  // namespace pelmora

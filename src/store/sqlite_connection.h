#pragma once

// A thin RAII layer over the SQLite C API: a connection, prepared statements
// that finalize themselves, and values that are always bound, never spliced.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace pelmora {

using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using SqlParams = std::vector<SqlValue>;

class SqliteStatement;

// A read-only view of the current result row of a statement.
class SqlRow {
 public:
  explicit SqlRow(sqlite3_stmt* statement) : statement_(statement) {}
  int columnCount() const;
  bool isNull(int column) const;
  std::int64_t integer(int column) const;
  double real(int column) const;
  std::string text(int column) const;
  // Integers in decimal, reals in the shortest general form, null as empty.
  std::string asText(int column) const;
  SqlValue value(int column) const;

 private:
  sqlite3_stmt* statement_;
};

class SqliteStatement {
 public:
  SqliteStatement() = default;
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool valid() const { return statement_ != nullptr; }
  bool bind(const SqlParams& params);
  // Advances; true while a row is available. `failed()` tells an error apart
  // from the end of the rows.
  bool step();
  bool failed() const { return failed_; }
  void reset();
  SqlRow row() const { return SqlRow(statement_); }

 private:
  sqlite3_stmt* statement_ = nullptr;
  bool failed_ = false;
};

class SqliteConnection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Opens an existing file or creates it (flags are sqlite3_open_v2 flags).
  bool open(const std::string& path, int flags, std::string* error);
  void close();
  bool isOpen() const { return db_ != nullptr; }

  // Runs every statement of a fixed SQL text; no parameters.
  bool exec(std::string_view sql);
  // True when SQLite could only open the file for reading.
  bool isReadOnly() const;
  // True while a transaction is open on this connection.
  bool inTransaction() const;
  // Inside a transaction that has written (and may still be rolled back).
  bool hasUncommittedWrites() const;
  void setBusyTimeout(int milliseconds);
  // The collation a table column compares with ("BINARY", "NOCASE", ...);
  // empty when there is no such column.
  std::string columnCollation(const std::string& table, const std::string& column) const;
  SqliteStatement prepare(std::string_view sql) { return SqliteStatement(db_, sql); }
  // SQLite's reason for the last failure; for a write refused by
  // refuseWrites, the reason given there.
  std::string lastError() const;
  // From now on every statement that would change the file fails, with
  // `reason` as its error.
  void refuseWrites(std::string reason);
  // While set, a running statement ends with an error as soon as `stop` says
  // so (asked every few thousand steps).
  void setStopCheck(std::function<bool()> stop);
  // The last failure was a constraint of the data (a duplicate key, a CHECK).
  bool lastErrorIsConstraint() const;
  int changes() const;
  // Rows changed by this connection since it opened (rolled-back changes too).
  std::int64_t totalChanges() const;

 private:
  sqlite3* db_ = nullptr;
  std::string refusal_;
  std::function<bool()> stop_;
};

}  // namespace pelmora

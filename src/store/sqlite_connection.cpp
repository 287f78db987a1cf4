#include "store/sqlite_connection.h"

#include <sqlite3.h>

#include <utility>

#include "support/numbers.h"

namespace pelmora {

int SqlRow::columnCount() const { return sqlite3_column_count(statement_); }

bool SqlRow::isNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t SqlRow::integer(int column) const { return sqlite3_column_int64(statement_, column); }

double SqlRow::real(int column) const { return sqlite3_column_double(statement_, column); }

std::string SqlRow::text(int column) const {
  const auto* bytes = sqlite3_column_text(statement_, column);
  if (bytes == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(bytes),
                     static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::string SqlRow::asText(int column) const {
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_INTEGER:
      return std::to_string(integer(column));
    case SQLITE_FLOAT:
      return formatNumber(real(column));
    default:
      return text(column);
  }
}

SqlValue SqlRow::value(int column) const {
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
      return std::monostate{};
    case SQLITE_INTEGER:
      return integer(column);
    case SQLITE_FLOAT:
      return real(column);
    default:
      return text(column);
  }
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) {
  if (db == nullptr || sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_,
                                          nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    failed_ = true;
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)), failed_(other.failed_) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    statement_ = std::exchange(other.statement_, nullptr);
    failed_ = other.failed_;
  }
  return *this;
}

bool SqliteStatement::bind(const SqlParams& params) {
  if (statement_ == nullptr) return false;
  sqlite3_clear_bindings(statement_);
  if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(statement_)) {
    failed_ = true;
    return false;
  }
  for (std::size_t i = 0; i < params.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    int rc = SQLITE_OK;
    if (const auto* integer = std::get_if<std::int64_t>(&params[i])) {
      rc = sqlite3_bind_int64(statement_, index, *integer);
    } else if (const auto* real = std::get_if<double>(&params[i])) {
      rc = sqlite3_bind_double(statement_, index, *real);
    } else if (const auto* text = std::get_if<std::string>(&params[i])) {
      rc = sqlite3_bind_text(statement_, index, text->data(), static_cast<int>(text->size()),
                             SQLITE_TRANSIENT);
    } else {
      rc = sqlite3_bind_null(statement_, index);
    }
    if (rc != SQLITE_OK) {
      failed_ = true;
      return false;
    }
  }
  return true;
}

bool SqliteStatement::step() {
  if (statement_ == nullptr || failed_) return false;
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) failed_ = true;
  return false;
}

void SqliteStatement::reset() {
  if (statement_ != nullptr) {
    sqlite3_reset(statement_);
    failed_ = false;
  }
}

SqliteConnection::~SqliteConnection() { close(); }

bool SqliteConnection::open(const std::string& path, int flags, std::string* error) {
  close();
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    if (error != nullptr) *error = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    close();
    return false;
  }
  sqlite3_extended_result_codes(db_, 1);
  return true;
}

void SqliteConnection::close() {
  if (db_ != nullptr) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

bool SqliteConnection::exec(std::string_view sql) {
  const std::string text(sql);
  return sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteConnection::isReadOnly() const {
  return db_ != nullptr && sqlite3_db_readonly(db_, "main") == 1;
}

bool SqliteConnection::inTransaction() const {
  return db_ != nullptr && sqlite3_get_autocommit(db_) == 0;
}

bool SqliteConnection::hasUncommittedWrites() const {
  return db_ != nullptr && sqlite3_txn_state(db_, nullptr) == SQLITE_TXN_WRITE;
}

void SqliteConnection::setBusyTimeout(int milliseconds) {
  if (db_ != nullptr) sqlite3_busy_timeout(db_, milliseconds);
}

std::string SqliteConnection::columnCollation(const std::string& table,
                                              const std::string& column) const {
  const char* collation = nullptr;
  if (db_ == nullptr ||
      sqlite3_table_column_metadata(db_, "main", table.c_str(), column.c_str(), nullptr, &collation,
                                    nullptr, nullptr, nullptr) != SQLITE_OK ||
      collation == nullptr) {
    return {};
  }
  return collation;
}

std::string SqliteConnection::lastError() const {
  if (db_ == nullptr) return "not open";
  if (!refusal_.empty() && (sqlite3_errcode(db_) & 0xff) == SQLITE_READONLY) return refusal_;
  return sqlite3_errmsg(db_);
}

void SqliteConnection::refuseWrites(std::string reason) {
  refusal_ = std::move(reason);
  exec("PRAGMA query_only=1");
}

void SqliteConnection::setStopCheck(std::function<bool()> stop) {
  stop_ = std::move(stop);
  if (db_ == nullptr) return;
  constexpr int kStepsBetweenChecks = 10000;
  sqlite3_progress_handler(
      db_, stop_ ? kStepsBetweenChecks : 0,
      [](void* self) { return static_cast<SqliteConnection*>(self)->stop_() ? 1 : 0; }, this);
}

bool SqliteConnection::lastErrorIsConstraint() const {
  return db_ != nullptr && (sqlite3_errcode(db_) & 0xFF) == SQLITE_CONSTRAINT;
}

int SqliteConnection::changes() const { return sqlite3_changes(db_); }

std::int64_t SqliteConnection::totalChanges() const { return sqlite3_total_changes64(db_); }

}  // namespace pelmora

#include "bare_sqlite.h"

#include <stdexcept>

namespace pelmora::bench {
namespace {

int bind(sqlite3_stmt* statement, int index, const SqlValue& value) {
  if (const auto* n = std::get_if<std::int64_t>(&value)) {
    return sqlite3_bind_int64(statement, index, *n);
  }
  if (const auto* d = std::get_if<double>(&value)) return sqlite3_bind_double(statement, index, *d);
  if (const auto* s = std::get_if<std::string>(&value)) {
    return sqlite3_bind_text(statement, index, s->data(), static_cast<int>(s->size()),
                             SQLITE_TRANSIENT);
  }
  return sqlite3_bind_null(statement, index);
}

}  // namespace

BareSqlite::BareSqlite(const std::filesystem::path& path) {
  if (sqlite3_open_v2(path.c_str(), &raw_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    const std::string why = sqlite3_errmsg(raw_);
    sqlite3_close(raw_);
    throw std::runtime_error("cannot open " + path.string() + ": " + why);
  }
}

BareSqlite::~BareSqlite() { sqlite3_close(raw_); }

std::vector<std::int64_t> BareSqlite::run(const std::string& sql, const SqlParams& params) {
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(raw_, sql.c_str(), -1, &statement, nullptr);
  for (std::size_t i = 0; rc == SQLITE_OK && i < params.size(); ++i) {
    rc = bind(statement, static_cast<int>(i) + 1, params[i]);
  }
  std::vector<std::int64_t> first;
  volatile std::size_t bytes = 0;
  if (rc == SQLITE_OK) {
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      first.push_back(sqlite3_column_int64(statement, 0));
      for (int c = 0; c < sqlite3_column_count(statement); ++c) {
        bytes = bytes + static_cast<std::size_t>(sqlite3_column_bytes(statement, c));
      }
    }
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) {
    throw std::runtime_error(std::string(sqlite3_errmsg(raw_)) + " (" + sql.substr(0, 80) + ")");
  }
  return first;
}

}  // namespace pelmora::bench

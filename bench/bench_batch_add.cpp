// Batch add at scale: 100,000 generated lines through the batch-add run, into
// an empty database and into ones holding 100,000 and a million domains, each
// beside a bare SQLite loop that inserts the same rows with one prepared
// statement in one transaction into the same schema (indexes, triggers and
// all), so the cost of every index shows in the absolute rates.

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench_data.h"
#include "editing/batch_add.h"
#include "store/domain_writer.h"
#include "store/schema.h"

namespace {

using namespace pelmora;

constexpr int kLines = 100000;
constexpr int kMidDatabase = 100000;
constexpr int kBigDatabase = 1000000;
constexpr double kTargetRatio = 0.5;

std::vector<std::string> generatedLines() {
  std::mt19937 random(91);
  std::vector<std::string> lines;
  lines.reserve(kLines);
  for (int i = 0; i < kLines; ++i) {
    const std::string name = "add" + std::to_string(i) + "z" + std::to_string(random() % 1000) +
                             (i % 3 == 0 ? ".com" : ".net");
    if (i % 4 == 0) {
      lines.push_back(name);  // a bare domain
      continue;
    }
    const bool sold = i % 5 == 0;
    lines.push_back(
        name + "|" + bench::registrarName(static_cast<int>(random() % bench::kRegistrars)) +
        "|类型" + std::to_string(random() % 20) + "|分类" + std::to_string(random() % 50) +
        "|2016-12-9|2026-12-9|" + std::to_string(random() % 1000) + ".345|" +
        std::to_string(random() % 200) + ".5|" + std::to_string(random() % 50000) + "|" +
        std::to_string(random() % 90000) + "|" +
        (sold ? std::to_string(random() % 60000 + 1) : std::string("0")) + "|备注" +
        std::to_string(i) + "|2017-1-3|" + (sold ? "2017-3-15" : ""));
  }
  return lines;
}

double seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool bindValue(sqlite3_stmt* statement, int index, const SqlValue& value) {
  if (const auto* n = std::get_if<std::int64_t>(&value)) {
    return sqlite3_bind_int64(statement, index, *n) == SQLITE_OK;
  }
  if (const auto* d = std::get_if<double>(&value)) {
    return sqlite3_bind_double(statement, index, *d) == SQLITE_OK;
  }
  if (const auto* s = std::get_if<std::string>(&value)) {
    return sqlite3_bind_text(statement, index, s->data(), static_cast<int>(s->size()),
                             SQLITE_STATIC) == SQLITE_OK;
  }
  return sqlite3_bind_null(statement, index) == SQLITE_OK;
}

// The bare loop: values already converted, one statement, one transaction.
std::size_t bareInsert(const std::filesystem::path& path, const std::vector<SqlParams>& rows) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open");
  // The settings the program's own connection has, the page cache included:
  // the ratio is then the cost of our code, not of a smaller cache.
  const std::string settings =
      "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; "
      "PRAGMA cache_size=-" +
      std::to_string(kWriterPageCacheKiB);
  sqlite3_exec(db, settings.c_str(), nullptr, nullptr, nullptr);
  std::string columns;
  std::string marks;
  for (int i = 1; i < kDomainFieldCount; ++i) {
    columns += std::string(i > 1 ? "," : "") + std::string(kDomainColumns[i]);
    marks += i > 1 ? ",?" : "?";
  }
  const std::string sql = "INSERT INTO 域名(" + columns + ") VALUES(" + marks + ")";
  std::size_t added = 0;
  sqlite3_stmt* statement = nullptr;
  sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  for (const SqlParams& row : rows) {
    sqlite3_reset(statement);
    for (std::size_t k = 0; k < row.size(); ++k)
      bindValue(statement, static_cast<int>(k) + 1, row[k]);
    if (sqlite3_step(statement) == SQLITE_DONE) ++added;
  }
  sqlite3_finalize(statement);
  if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) added = 0;
  sqlite3_close(db);
  return added;
}

struct CaseResult {
  std::string name;
  double oursRate;
  double bareRate;
};

// Copies the start database twice, runs ours on one copy and the bare loop on
// the other.
CaseResult runCase(const std::string& name, const std::filesystem::path& start,
                   const std::filesystem::path& folder, const std::vector<std::string>& lines) {
  const auto oursPath = folder / "ours.mdb";
  const auto barePath = folder / "bare.mdb";
  for (const auto& path : {oursPath, barePath}) {
    for (const char* extra : {"", "-wal", "-shm", ".lock"}) {
      std::filesystem::remove(path.string() + extra);
    }
    std::filesystem::copy_file(start, path);
  }

  auto db = openCurrentDatabase(oursPath);
  if (!db) throw std::runtime_error("cannot open " + oursPath.string());
  ClassificationLists lists;
  if (const auto rebuilt = lists.rebuild(*db); !rebuilt) {
    throw std::runtime_error(name + ": cannot read the lists: " + rebuilt.error());
  }
  BatchAddResult result;
  const double ours = seconds([&] { result = runBatchAdd(*db, lines, lists); });
  if (!result.ok() || result.added != lines.size()) {
    throw std::runtime_error(name + ": batch add stored " + std::to_string(result.added) +
                             " rows\n" + result.failures.substr(0, 400));
  }
  db.reset();

  // The same rows, converted before the clock starts.
  std::vector<SqlParams> rows;
  rows.reserve(lines.size());
  for (const std::string& line : lines)
    rows.push_back(*domainValues(*buildBatchAddRow(line, lists).record));
  std::size_t bareAdded = 0;
  const double bare = seconds([&] { bareAdded = bareInsert(barePath, rows); });
  if (bareAdded != lines.size()) throw std::runtime_error(name + ": the bare loop failed");
  return {name, lines.size() / ours, lines.size() / bare};
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  try {
    const auto lines = generatedLines();
    const auto mid = bench::ensureBenchDatabase(folder, kMidDatabase);
    const auto big = bench::ensureBenchDatabase(folder, kBigDatabase);
    const auto work = folder / "batch-add";
    std::filesystem::create_directories(work);
    const auto empty = work / "empty.mdb";
    std::filesystem::remove(empty);
    {
      auto db = openCurrentDatabase(empty);
      if (!db) throw std::runtime_error("cannot create " + empty.string());
      bench::addBenchClassifications(*db);
    }

    std::vector<CaseResult> results;
    results.push_back(runCase("100,000 lines into an empty database", empty, work, lines));
    results.push_back(runCase("100,000 lines into 100,000 domains", mid, work, lines));
    results.push_back(runCase("100,000 lines into 1,000,000 domains", big, work, lines));

    std::printf("Pelmora batch-add benchmark: %d lines per case\n\n", kLines);
    std::printf(
        "| case | ours (rows/s) | bare SQLite (rows/s) | ratio | goal | met? |\n"
        "|---|---:|---:|---:|---|---|\n");
    int missed = 0;
    for (const CaseResult& r : results) {
      const double ratio = r.oursRate / r.bareRate;
      const bool met = ratio >= kTargetRatio;
      if (!met) ++missed;
      std::printf("| %s | %.0f | %.0f | %.2f | ≥ %.1f× | %s |\n", r.name.c_str(), r.oursRate,
                  r.bareRate, ratio, kTargetRatio, met ? "met" : "MISSED");
    }
    if (missed == 0) {
      std::printf("\nverdict: all %zu goals met\n", results.size());
    } else {
      std::printf("\nverdict: %d of %zu goals missed\n", missed, results.size());
    }
    const bool allMet = missed == 0;
    std::filesystem::remove_all(work);
    return allMet ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "bench_batch_add: " << error.what() << "\n";
    return 2;
  }
}

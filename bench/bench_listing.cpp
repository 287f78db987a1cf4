// Listing at scale: page loads, counts and the classification lists on a
// generated database of a million domains, each beside the bare SQLite
// statement that returns the same rows.

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "store/classification_lists.h"
#include "store/listing.h"
#include "store/schema.h"

namespace {

using namespace pelmora;
using bench::medianMs;

constexpr int kDomains = 1000000;
constexpr int kRuns = 15;

// The statement through the plain C API: prepare, bind, step, read every column.
void runBare(sqlite3* raw, const std::string& sql, const SqlParams& params) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(raw, sql.c_str(), -1, &statement, nullptr);
  for (std::size_t i = 0; i < params.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    if (const auto* n = std::get_if<std::int64_t>(&params[i])) {
      sqlite3_bind_int64(statement, index, *n);
    } else if (const auto* d = std::get_if<double>(&params[i])) {
      sqlite3_bind_double(statement, index, *d);
    } else if (const auto* s = std::get_if<std::string>(&params[i])) {
      sqlite3_bind_text(statement, index, s->c_str(), -1, SQLITE_TRANSIENT);
    }
  }
  volatile std::size_t bytes = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int c = 0; c < sqlite3_column_count(statement); ++c) {
      bytes = bytes + static_cast<std::size_t>(sqlite3_column_bytes(statement, c));
    }
  }
  sqlite3_finalize(statement);
}

struct Row {
  std::string name;
  double ours;
  double bare;
  double limitMs;  // 0: no target
  double limitRatio;
};

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  const auto path = bench::ensureBenchDatabase(folder, kDomains);
  auto db = openCurrentDatabase(path);
  if (!db) {
    std::cerr << "cannot open " << path << "\n";
    return 2;
  }
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);

  const SqlCondition none;
  const ListingTotal counted = *countListing(*db, none);
  const std::int64_t total = counted.rows;
  std::vector<Row> rows;

  const auto pageCase = [&](const std::string& name, const std::string& key, std::int64_t page,
                            double limitMs, double limitRatio) {
    const PageRequest request{100, page, key};
    const PageStatement statement = pageStatement(none, request, total);
    const double ours = medianMs([&] { loadPageRows(*db, none, request, counted); }, kRuns);
    const double bare = medianMs([&] { runBare(raw, statement.sql, statement.params); }, kRuns);
    rows.push_back({name, ours, bare, limitMs, limitRatio});
  };
  pageCase("page 1, sorted by id", "id", 1, 100, 3);
  pageCase("last page, sorted by id", "id", pageCountFor(total, 100), 100, 3);
  pageCase("page 1, sorted by 到期时间", "到期时间", 1, 100, 3);
  pageCase("page 1, sorted by 备注 (no index)", "备注", 1, 0, 0);

  FilterCriteria criteria;
  criteria.registrar = bench::registrarName(7) + "(0)";
  criteria.expiry = "30";
  const SqlCondition filtered = buildWhere(criteria, Clock::system().today());
  rows.push_back(
      {"count, registrar + 30-day expiry", medianMs([&] { countDomains(*db, filtered); }, kRuns),
       medianMs(
           [&] {
             runBare(raw, "SELECT COUNT(*) FROM 域名" + filtered.whereClause(), filtered.params);
           },
           kRuns),
       100, 3});

  ClassificationLists lists;
  rows.push_back({"ClassificationLists rebuild", medianMs([&] { lists.rebuild(*db); }, kRuns),
                  medianMs(
                      [&] {
                        for (const char* column : {"注册商", "域名类型", "自定义分类", "后缀"}) {
                          const std::string c = column;
                          runBare(raw, "SELECT " + c + ", count(*) FROM 域名 GROUP BY " + c, {});
                        }
                      },
                      kRuns),
                  100, 0});

  std::printf("Pelmora listing benchmark: %lld domains, page size 100, median of %d runs\n\n",
              static_cast<long long>(total), kRuns);
  std::printf(
      "| case | ours (ms) | bare SQLite (ms) | ratio | target |\n|---|---:|---:|---:|---|\n");
  bool allMet = true;
  for (const Row& r : rows) {
    const double ratio = r.bare > 0 ? r.ours / r.bare : 0;
    std::string target = "-";
    if (r.limitMs > 0) {
      const bool met = r.ours <= r.limitMs && (r.limitRatio == 0 || ratio <= r.limitRatio);
      allMet = allMet && met;
      target = (met ? "met (" : "MISSED (") + std::string("≤ ") +
               std::to_string(static_cast<int>(r.limitMs)) + " ms" +
               (r.limitRatio > 0 ? ", ≤ " + std::to_string(static_cast<int>(r.limitRatio)) + "×"
                                 : std::string()) +
               ")";
    }
    std::printf("| %s | %.2f | %.2f | %.2f | %s |\n", r.name.c_str(), r.ours, r.bare, ratio,
                target.c_str());
  }
  sqlite3_close(raw);
  return allMet ? 0 : 1;
}

// Batch modify at scale: 10,000 domains of a generated database of a million
// get new costs and a new final price, as the batch-modify window sets them.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "editing/batch_modify.h"
#include "store/listing.h"
#include "store/schema.h"

namespace {

using namespace pelmora;

constexpr int kDomains = 1000000;
constexpr std::size_t kModified = 10000;
constexpr double kLimitSeconds = 2.0;

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  const auto source = bench::ensureBenchDatabase(folder, kDomains);
  // The shared generated file stays as the other benchmarks expect it.
  const auto path = folder / "bench-batch-modify.mdb";
  std::filesystem::remove(path);
  std::filesystem::copy_file(source, path);
  auto db = openCurrentDatabase(path);
  if (!db) {
    std::cerr << "cannot open " << path << "\n";
    return 2;
  }

  const auto all = listDomainNames(*db, SqlCondition{});
  if (!all || all->size() < kModified) {
    std::cerr << "cannot list the domains: " << all.error() << "\n";
    return 2;
  }
  std::vector<std::string> domains;
  const std::size_t step = all->size() / kModified;
  for (std::size_t i = 0; domains.size() < kModified; i += step) domains.push_back((*all)[i]);

  BatchModifyChoices choices;
  choices.oneTimeCost = "12.345";
  choices.renewalCost = "55";
  choices.finalPrice = "8000";

  const auto start = std::chrono::steady_clock::now();
  const BatchModifyResult result = runBatchModify(*db, domains, choices);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  db.reset();
  std::filesystem::remove(path);
  std::filesystem::remove(path.string() + "-wal");
  std::filesystem::remove(path.string() + "-shm");
  std::filesystem::remove(path.string() + ".lock");

  const bool allModified = result.succeeded == kModified && result.failed == 0;
  const bool fast = seconds <= kLimitSeconds;
  std::printf(
      "batch modify: %zu of %d domains (costs and final price) in %.3f s (target <= %.1f s) %s\n",
      kModified, kDomains, seconds, kLimitSeconds, allModified && fast ? "ok" : "MISSED");
  if (!allModified) std::printf("  %s\n", batchModifyResultText(result).c_str());
  return allModified && fast ? 0 : 1;
}

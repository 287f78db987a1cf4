// Paced date updates: 1,000 due domains spread over five local RDAP servers,
// a 20 ms pace and four servers asked at once, through updateDatesPaced.
// Each server answers after the pace, as one that far away would, so a request
// holds its worker for at least the pace. The least time the pacing then
// allows is the larger of the busiest server's (requests - 1) * pace and all
// requests * pace / parallel; the run is measured against it.

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fake_servers.h"
#include "goal_table.h"
#include "lookup/date_update.h"
#include "lookup/rdap_bootstrap.h"
#include "store/derived_fields.h"
#include "store/domain_writer.h"
#include "store/due_lookups.h"
#include "store/schema.h"

namespace {

using namespace pelmora;
using pelmora::testing::FakeHttpServer;

constexpr int kDomains = 1000;
constexpr std::array<const char*, 5> kTlds{"top", "xyz", "dev", "app", "io"};
constexpr std::chrono::milliseconds kPace{40};
constexpr int kParallel = 4;
constexpr double kGoalRatio = 1.10;

const std::string kAnswer = FakeHttpServer::response(
    200, R"({"events":[{"eventAction":"registration","eventDate":"2002-02-02T00:00:00Z"},)"
         R"({"eventAction":"expiration","eventDate":"2032-02-02T00:00:00Z"}]})");

bool writeBootstrap(const std::vector<std::unique_ptr<FakeHttpServer>>& servers) {
  std::string services;
  for (std::size_t i = 0; i < servers.size(); ++i) {
    if (i > 0) services += ",";
    services +=
        std::string(R"([[")") + kTlds[i] + R"("],["http://)" + servers[i]->hostPort() + R"(/"]])";
  }
  const std::filesystem::path file = rdapBootstrapCacheFile();
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << R"({"services":[)" << services << "]}";
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      std::filesystem::path(argc > 1 ? argv[1] : "bench-data") / "pacing";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  // Nothing is asked beyond this machine: the registries come from the
  // bootstrap written below, and every other server is a closed local port.
  ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
  ::unsetenv("PELMORA_RDAP_BASE");
  ::setenv("PELMORA_IANA_BASE", "http://127.0.0.1:9/", 1);
  ::setenv("PELMORA_IANA_WHOIS", "127.0.0.1:9", 1);
  ::setenv("PELMORA_WEBWHOIS_HOST", "127.0.0.1:9", 1);

  std::vector<std::unique_ptr<FakeHttpServer>> servers;
  for (std::size_t i = 0; i < kTlds.size(); ++i) {
    servers.push_back(std::make_unique<FakeHttpServer>(
        [](const FakeHttpServer::Request&) { return kAnswer; }, static_cast<int>(kPace.count())));
  }
  if (!writeBootstrap(servers)) {
    std::fprintf(stderr, "cannot write the bootstrap into %s\n", folder.c_str());
    return 2;
  }

  std::string error;
  auto db = openCurrentDatabase(folder / "bench-pacing.mdb", &error);
  if (!db) {
    std::fprintf(stderr, "cannot open the database: %s\n", error.c_str());
    return 2;
  }
  std::vector<DomainRecord> records;
  for (int i = 0; i < kDomains; ++i) {
    DomainRecord record;
    record[DomainField::Name] =
        "d" + std::to_string(i) + "." + kTlds[static_cast<std::size_t>(i) % kTlds.size()];
    record[DomainField::Registrar] = record[DomainField::DomainType] =
        record[DomainField::Category] = "-";
    applyDerivedFields(record);
    records.push_back(std::move(record));
  }
  const Clock clock = Clock::system();
  const std::size_t added = insertDomains(*db, records).added;
  const auto due = listDueDomains(*db, clock.nowUtc(), 30);
  if (!due || due->size() != records.size()) {
    std::fprintf(stderr, "%zu domains added, not all of them due %s\n", added,
                 due ? "" : due.error().c_str());
    return 2;
  }

  PacedRunOptions options;
  options.choice = SourceChoice::Registry;
  options.pace = options.rdapPace = kPace;
  options.parallel = kParallel;
  const auto start = std::chrono::steady_clock::now();
  const BatchTally tally =
      updateDatesPaced(*db, *due, clock, options, [](const RowDateUpdate&, int) {});
  const double measured =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  db.reset();
  servers.clear();
  std::filesystem::remove_all(folder);

  const double perServer = static_cast<double>(kDomains) / kTlds.size();
  const double bound = std::max((perServer - 1) * static_cast<double>(kPace.count()),
                                kDomains * static_cast<double>(kPace.count()) / kParallel);
  const bool allStored = tally.ok == kDomains && tally.failed == 0;
  std::printf(
      "\npacing benchmark: %d due domains over %zu local RDAP servers, pace %lld ms,"
      " %d at once, each answer after the pace\n\n",
      kDomains, kTlds.size(), static_cast<long long>(kPace.count()), kParallel);
  char goal[32];
  std::snprintf(goal, sizeof goal, "≤ %.2f × bound", kGoalRatio);
  const int missed =
      bench::printGoalTable({{"1,000 due domains, updateDatesPaced vs the pacing bound", measured,
                              bound, goal, allStored && measured <= kGoalRatio * bound}});
  if (!allStored) std::printf("  %s\n", batchSummaryText(tally).c_str());
  return missed == 0 ? 0 : 1;
}

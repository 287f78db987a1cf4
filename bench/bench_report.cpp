// The purchase and sales statistics at scale: unit 日 over 366 days and unit
// 月 over ten years on a generated database of a million domains.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "reports/statistics_report.h"
#include "store/schema.h"

namespace {

using namespace pelmora;
using bench::medianMs;
using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

constexpr int kDomains = 1000000;
constexpr int kRuns = 5;
constexpr double kLimitMs = 1000;

struct Case {
  std::string name;
  Date start;
  Date end;
  ReportUnit unit;
};

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  const auto path = bench::ensureBenchDatabase(folder, kDomains);
  auto db = openCurrentDatabase(path, nullptr, OpenMode::ReadOnly);
  if (!db) {
    std::cerr << "cannot open " << path << "\n";
    return 2;
  }
  const std::vector<ReportSeries> shown{ReportSeries::BoughtCount,     ReportSeries::PurchaseCost,
                                        ReportSeries::PurchaseAverage, ReportSeries::SoldCount,
                                        ReportSeries::SalesAmount,     ReportSeries::SalesAverage};
  const std::vector<Case> cases{
      {"unit 日, 366 days (2016)", Date{year{2016}, month{1}, day{1}},
       Date{year{2016}, month{12}, day{31}}, ReportUnit::Day},
      {"unit 月, 10 years (2010-2019)", Date{year{2010}, month{1}, day{1}},
       Date{year{2019}, month{12}, day{31}}, ReportUnit::Month},
  };

  std::printf("Pelmora report benchmark: %d domains, median of %d runs\n\n", kDomains, kRuns);
  std::printf("| case | columns | bought | sold | ms | target |\n|---|---:|---:|---:|---:|---|\n");
  bool allMet = true;
  for (const Case& c : cases) {
    StatisticsReport report;
    const double ms =
        medianMs([&] { report = runStatisticsReport(*db, c.start, c.end, c.unit, shown); }, kRuns);
    if (!report.ok()) {
      std::cerr << c.name << ": " << report.error << "\n";
      return 2;
    }
    const bool met = ms <= kLimitMs;
    allMet = allMet && met;
    std::printf("| %s | %zu | %.0f | %.0f | %.1f | %s ≤ %.0f ms |\n", c.name.c_str(),
                report.columns.size(), report.totals.series[0], report.totals.series[3], ms,
                met ? "met" : "MISSED", kLimitMs);
  }
  return allMet ? 0 : 1;
}

// The 西数 fixed-price export of every domain of a generated database of a
// million, as the filter window builds it with no criteria set.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "bench_data.h"
#include "reports/fixed_price_export.h"
#include "store/schema.h"

namespace {

using namespace pelmora;

constexpr int kDomains = 1000000;
constexpr double kLimitSeconds = 3.0;

std::size_t countLines(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  const auto path = bench::ensureBenchDatabase(folder, kDomains);
  auto db = openCurrentDatabase(path);
  if (!db) {
    std::cerr << "cannot open " << path << "\n";
    return 2;
  }

  FixedPriceChoices choices;  // 备注, 标价, 今天, a random hour in 8..22
  const auto start = std::chrono::steady_clock::now();
  const FixedPriceText result =
      buildFixedPriceText(*db, SqlCondition{}, FixedPriceFormat::West, choices);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  if (!result.ok()) {
    std::cerr << "export failed: " << result.error << "\n";
    return 2;
  }
  const std::size_t lines = countLines(result.text);
  const bool complete = lines == static_cast<std::size_t>(kDomains);
  const bool fast = seconds <= kLimitSeconds;
  std::printf("西数 export: %zu lines (%.1f MB) of %d domains in %.3f s (target <= %.1f s) %s\n",
              lines, result.text.size() / 1e6, kDomains, seconds, kLimitSeconds,
              complete && fast ? "ok" : "MISSED");
  return complete && fast ? 0 : 1;
}

#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "store/domain_database.h"

namespace pelmora::bench {

inline constexpr int kRegistrars = 35;
inline constexpr int kDomainTypes = 20;
inline constexpr int kCategories = 50;
inline constexpr int kSuffixes = 41;

// Registrar 0 is the most common one (about a fifth of the rows), then a long
// tail down to registrar 34 (under 1 %).
std::string registrarName(int i);

// The registrars, domain types and categories the generated rows use, in the
// lists of `db`.
void addBenchClassifications(DomainDatabase& db);

// Makes (once) a database of `count` domains with a realistic skew: 35
// registrars (the first about a fifth of the rows, a long tail, 5 % none), 41
// suffixes (com most), names of letters, digits and pinyin of varied length,
// Chinese notes of varied length (a third empty, some with ASCII), dates over
// 27 years with expiries from three years back to five years ahead, a quarter
// sold. Returns its path; an existing complete file of the same size is reused.
std::filesystem::path ensureBenchDatabase(const std::filesystem::path& folder, int count);

// Median time of `runs` runs of `work` in milliseconds, after one run that
// warms the page cache.
double medianMs(const std::function<void()>& work, int runs);

// As medianMs, with fewer runs (at least one) when the warm-up run shows that
// `runs` of them would take longer than `budgetMs`, so slow cases stay bounded.
double medianMsWithin(const std::function<void()>& work, int runs, double budgetMs);

}  // namespace pelmora::bench

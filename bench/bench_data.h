#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace pelmora::bench {

inline constexpr int kRegistrars = 30;
inline constexpr int kDomainTypes = 20;
inline constexpr int kCategories = 50;
inline constexpr int kSuffixes = 40;

std::string registrarName(int i);

// Makes (once) a database of `count` domains with a realistic mix: 30
// registrars, 20 types, 50 categories, 40 suffixes, dates over 20 years, a
// quarter sold. Returns its path; an existing file of the same size is reused.
std::filesystem::path ensureBenchDatabase(const std::filesystem::path& folder, int count);

// Median time of `runs` runs of `work` in milliseconds, after one run that
// warms the page cache.
double medianMs(const std::function<void()>& work, int runs);

}  // namespace pelmora::bench

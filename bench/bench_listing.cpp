// Listing at scale on a generated database of a million domains: page 1, a
// middle page and the last page for every sort key the grid offers, the count
// and page 1 of every kind of filter the filter window builds, and the CLI as
// a whole process. Each case runs beside the straightforward statement through
// the bare SQLite C API (or the sqlite3 shell), in the same run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bare_sqlite.h"
#include "bench_data.h"
#include "cli_process_cases.h"
#include "goal_table.h"
#include "store/listing.h"
#include "store/program_settings.h"
#include "store/schema.h"
#include "support/text_helpers.h"

namespace {

using namespace pelmora;
using bench::GoalCase;

constexpr int kDomains = 1000000;
constexpr int kPageSize = 100;
constexpr int kRuns = 5;
// A case slower than this per run is timed fewer times.
constexpr double kBudgetMs = 1500;
constexpr double kPageGoalMs = 100;
constexpr double kShortTermGoalMs = 300;  // text search terms of 1 or 2 characters

struct Filter {
  std::string name;
  FilterCriteria criteria;
};

std::size_t characters(const std::string& text) {
  std::size_t count = 0;
  char32_t ignored = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    i += std::max<std::size_t>(1, utf8SequenceAt(text, i, ignored));
  }
  return count;
}

double goalFor(const FilterCriteria& c) {
  std::size_t shortest = 3;
  if (c.nameOn) shortest = std::min(shortest, characters(c.nameText));
  if (c.noteOn) shortest = std::min(shortest, characters(c.noteText));
  return shortest < 3 ? kShortTermGoalMs : kPageGoalMs;
}

std::string goalText(double ms) { return "≤ " + std::to_string(static_cast<int>(ms)) + " ms"; }

std::vector<Filter> filters(const Date& today) {
  std::vector<Filter> out;
  const auto add = [&](std::string name, auto set) {
    Filter f{std::move(name), {}};
    set(f.criteria);
    out.push_back(std::move(f));
  };
  const std::string top = bench::registrarName(0);
  const DateRange nextYear{true, today, addDays(today, 364)};
  add("registrar " + top + " (a fifth)", [&](FilterCriteria& c) { c.registrar = top; });
  add("registrar " + top + " + 到期时间 within a year", [&](FilterCriteria& c) {
    c.registrar = top;
    c.expires = nextYear;
  });
  for (std::string_view choice : kExpiryChoices) {
    if (choice == kExpiryAny) continue;
    add("expiry " + std::string(choice), [&](FilterCriteria& c) { c.expiry = choice; });
  }
  add("sold 未出售", [](FilterCriteria& c) { c.sold = kSoldNo; });
  add("sold 已出售", [](FilterCriteria& c) { c.sold = kSoldYes; });
  add("标价 1,000–5,000", [](FilterCriteria& c) { c.askingPrice = {true, "1000", "5000"}; });
  add("实际成本 ≥ 1,000", [](FilterCriteria& c) { c.actualCost = {true, "1000", "0"}; });
  add("长度 4–6", [](FilterCriteria& c) {
    c.lengthFrom = "4";
    c.lengthTo = "6";
  });
  for (const char* term : {"x", "ai", "ang", "long", "888"}) {
    add(std::string("name contains \"") + term + "\"", [&](FilterCriteria& c) {
      c.nameOn = true;
      c.nameText = term;
    });
  }
  add("name starts \"zh\"", [](FilterCriteria& c) {
    c.nameOn = true;
    c.nameMode = kMatchStart;
    c.nameText = "zh";
  });
  add("name ends \"88\"", [](FilterCriteria& c) {
    c.nameOn = true;
    c.nameMode = kMatchEnd;
    c.nameText = "88";
  });
  for (const char* term : {"急", "议价", "可议价", "诚心出售", "v", "ok", "vip", "push"}) {
    add(std::string("note contains \"") + term + "\"", [&](FilterCriteria& c) {
      c.noteOn = true;
      c.noteText = term;
    });
  }
  const auto combined = [&](FilterCriteria& c) {
    c.registrar = top;
    c.suffix = "com";
    c.sold = kSoldNo;
    c.askingPrice = {true, "1000", "50000"};
    c.expires = nextYear;
  };
  add("combined: " + top + " + com + 未出售 + 标价 + 到期时间", combined);
  add("combined: the same + note \"议价\"", [&](FilterCriteria& c) {
    combined(c);
    c.noteOn = true;
    c.noteText = "议价";
  });
  return out;
}

std::vector<std::int64_t> idsOf(const PageRows& page) {
  std::vector<std::int64_t> ids;
  for (const DomainRecord& row : page.rows) ids.push_back(std::stoll(row[DomainField::Id]));
  return ids;
}

class ListingCases {
 public:
  ListingCases(const std::filesystem::path& path, bench::BareSqlite& bare)
      : path_(path), bare_(bare) {
    reopen();
  }

  DomainDatabase& db() { return *db_; }
  void close() { db_.reset(); }

  ListingTotal total(const SqlCondition& condition) {
    const auto counted = countListing(*db_, condition);
    if (!counted) throw std::runtime_error("count failed: " + counted.error());
    return *counted;
  }

  // The page through loadPageRows against SELECT * ... ORDER BY key DESC, id
  // DESC LIMIT ? OFFSET ?; a page whose rows differ from the baseline's misses.
  void page(const std::string& name, const SqlCondition& condition, const std::string& key,
            std::int64_t page, const ListingTotal& total, double goalMs) {
    const PageRequest request{kPageSize, page, key};
    PageRows ours;
    const double oursMs = bench::medianMsWithin(
        [&] {
          ours = loadPageRows(*db_, condition, request, total);
          if (!ours.ok()) throw std::runtime_error(name + ": " + ours.error);
        },
        kRuns, kBudgetMs);
    SqlParams params = condition.params;
    params.emplace_back(std::int64_t{kPageSize});
    params.emplace_back((page - 1) * kPageSize);
    const std::string sql = "SELECT * FROM 域名" + condition.whereClause() + " ORDER BY " + key +
                            " DESC, id DESC LIMIT ? OFFSET ?";
    std::vector<std::int64_t> ids;
    const double bareMs =
        bench::medianMsWithin([&] { ids = bare_.run(sql, params); }, kRuns, kBudgetMs);
    add(name, oursMs, bareMs, goalMs, idsOf(ours) == ids);
  }

  // countListing against SELECT COUNT(*). The store keeps a count until the
  // next write, so every timed count runs on a newly opened database: what is
  // timed is the first count of a filter, not the kept answer.
  void count(const std::string& name, const SqlCondition& condition, double goalMs) {
    std::int64_t ours = -1;
    std::vector<double> times;
    for (int run = 0; run <= kRuns; ++run) {
      reopen();
      const auto start = std::chrono::steady_clock::now();
      ours = total(condition).rows;
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      if (run > 0) times.push_back(ms);  // the first run warms the page cache
      if (run > 0 && ms * kRuns > kBudgetMs) break;
    }
    std::sort(times.begin(), times.end());
    const double oursMs = times[times.size() / 2];
    std::vector<std::int64_t> bare;
    const std::string sql = "SELECT COUNT(*) FROM 域名" + condition.whereClause();
    const double bareMs =
        bench::medianMsWithin([&] { bare = bare_.run(sql, condition.params); }, kRuns, kBudgetMs);
    add(name + " (" + std::to_string(ours) + ")", oursMs, bareMs, goalMs,
        bare.size() == 1 && bare[0] == ours);
  }

  std::vector<GoalCase>& cases() { return cases_; }

 private:
  void add(const std::string& name, double ours, double bare, double goalMs, bool same) {
    GoalCase c{name, ours, bare, goalText(goalMs), same && ours <= goalMs};
    if (!same) c.name += " — differs from the baseline";
    std::cerr << "  " << c.name << ": " << ours << " ms / " << bare << " ms\n";
    cases_.push_back(std::move(c));
  }

  void reopen() {
    db_.reset();
    std::string error;
    db_ = openCurrentDatabase(path_, &error);
    if (!db_) throw std::runtime_error("cannot open " + path_.string() + ": " + error);
  }

  std::filesystem::path path_;
  std::unique_ptr<DomainDatabase> db_;
  bench::BareSqlite& bare_;
  std::vector<GoalCase> cases_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  try {
    const auto path = bench::ensureBenchDatabase(folder, kDomains);
    bench::BareSqlite bare(path);
    ListingCases listing(path, bare);
    const Date today = Clock::system().today();

    const SqlCondition none;
    const ListingTotal all = listing.total(none);
    const std::int64_t pages = pageCountFor(all.rows, kPageSize);
    std::vector<std::pair<std::string, std::string>> keys{{"id", "id"}};
    for (int k = 1; k < kDomainFieldCount; ++k) {
      const std::string& title = gridColumns()[k].title;
      keys.emplace_back(title, *sortKeyForHeader(title));
    }
    for (const auto& [title, key] : keys) {
      for (const std::int64_t page : {std::int64_t{1}, pages / 2, pages}) {
        listing.page("page " + std::to_string(page) + " by " + title, none, key, page, all,
                     kPageGoalMs);
      }
    }
    for (const Filter& filter : filters(today)) {
      const SqlCondition condition = buildWhere(filter.criteria, today);
      const double goal = goalFor(filter.criteria);
      listing.count("count, " + filter.name, condition, goal);
      listing.page("page 1, " + filter.name, condition, "id", 1, listing.total(condition), goal);
    }

    const auto settings = readProgramSettings(listing.db());
    if (!settings) throw std::runtime_error("cannot read the settings: " + settings.error());
    listing.close();  // the CLI opens the file itself
    FilterCriteria filtered;
    filtered.registrar = bench::registrarName(0);
    filtered.expires = {true, today, addDays(today, 364)};
    bench::CliProcessCases cli(path, folder, settings->pageSize);
    cli.add("pelmora-cli list", {}, {"list"});
    cli.add(
        "pelmora-cli list --registrar " + bench::registrarName(0) + " --date 到期时间:…",
        buildWhere(filtered, today),
        {"list", "--registrar", bench::registrarName(0), "--date",
         "到期时间:" + formatDate(filtered.expires.from) + ":" + formatDate(filtered.expires.to)});
    for (GoalCase& c : cli.cases()) listing.cases().push_back(std::move(c));

    std::printf(
        "\nPelmora listing benchmark: %lld domains, page size %d, median of %d runs"
        " (fewer for cases over %.0f ms); the CLI median of %d whole-process runs\n\n",
        static_cast<long long>(all.rows), kPageSize, kRuns, kBudgetMs / kRuns, bench::kProcessRuns);
    return bench::printGoalTable(listing.cases()) == 0 ? 0 : 1;
  } catch (const std::exception& failure) {
    std::cerr << "bench_listing: " << failure.what() << "\n";
    return 2;
  }
}

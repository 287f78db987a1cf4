#include "bench_data.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <random>
#include <vector>

#include "store/derived_fields.h"
#include "store/domain_writer.h"
#include "store/schema.h"
#include "support/numbers.h"

namespace pelmora::bench {
namespace {

const char* const kSuffixNames[kSuffixes] = {
    "com",  "net", "org", "cn",  "com.cn", "net.cn", "org.cn", "cc",     "info", "biz",
    "name", "top", "xyz", "vip", "club",   "shop",   "site",   "online", "tech", "store",
    "io",   "co",  "me",  "tv",  "ai",     "app",    "dev",    "ink",    "wang", "link",
    "live", "pro", "fun", "art", "red",    "kim",    "ltd",    "group",  "work", "cloud"};

std::string dateText(std::mt19937& random, int fromYear, int years) {
  const Date start{std::chrono::year{fromYear}, std::chrono::January, std::chrono::day{1}};
  return formatDate(addDays(start, static_cast<int>(random() % (365u * years))));
}

}  // namespace

std::string registrarName(int i) { return "注册商" + std::to_string(i); }

std::filesystem::path ensureBenchDatabase(const std::filesystem::path& folder, int count) {
  std::filesystem::create_directories(folder);
  const auto path = folder / ("bench-" + std::to_string(count) + ".mdb");
  const auto ready = folder / ("bench-" + std::to_string(count) + ".ready");
  if (std::filesystem::exists(ready) && std::filesystem::exists(path)) return path;
  std::filesystem::remove(path);

  std::cerr << "generating " << count << " domains in " << path << " ..." << std::flush;
  const auto began = std::chrono::steady_clock::now();
  auto db = openCurrentDatabase(path);
  if (!db) throw std::runtime_error("cannot create " + path.string());
  for (int i = 0; i < kRegistrars; ++i) {
    db->run("INSERT INTO 注册商(注册商,排序) VALUES(?,?)",
            {registrarName(i), static_cast<std::int64_t>(i)});
  }
  for (int i = 0; i < kDomainTypes; ++i) {
    db->run("INSERT INTO 域名类型(域名类型,排序) VALUES(?,?)",
            {"类型" + std::to_string(i), static_cast<std::int64_t>(i)});
  }
  for (int i = 0; i < kCategories; ++i) {
    db->run("INSERT INTO 自定义分类(自定义分类,排序) VALUES(?,?)",
            {"分类" + std::to_string(i), static_cast<std::int64_t>(i)});
  }

  // Bulk loading is far quicker without the secondary indexes and the count
  // triggers; the upgrade below puts them back and counts the groups once.
  std::vector<std::string> drops;
  db->query(
      "SELECT type, name FROM sqlite_master WHERE (type='index' AND name LIKE '域名_%')"
      " OR (type='trigger' AND name LIKE '分组计数_%')",
      {}, [&](const SqlRow& row) {
        drops.push_back("DROP " + row.text(0) + " \"" + row.text(1) + "\"");
      });
  for (const std::string& drop : drops) db->run(drop);
  db->run("DROP TABLE 分组计数");

  std::mt19937 random(20261209);
  const int chunk = 50000;
  for (int done = 0; done < count; done += chunk) {
    std::vector<DomainRecord> records;
    for (int i = done; i < std::min(count, done + chunk); ++i) {
      DomainRecord r;
      r[DomainField::Name] = "d" + std::to_string(i) + "x" + std::to_string(random() % 1000) + "." +
                             kSuffixNames[random() % kSuffixes];
      r[DomainField::Registrar] = random() % 10 == 0 ? "-" : registrarName(random() % kRegistrars);
      r[DomainField::DomainType] = "类型" + std::to_string(random() % kDomainTypes);
      r[DomainField::Category] = "分类" + std::to_string(random() % kCategories);
      r[DomainField::RegisteredOn] = dateText(random, 2006, 20);
      r[DomainField::ExpiresOn] = dateText(random, 2016, 20);
      r[DomainField::PurchasedOn] = dateText(random, 2006, 20);
      r[DomainField::OneTimeCost] = formatNumber((random() % 100000) / 100.0);
      r[DomainField::RenewalCost] = formatNumber((random() % 20000) / 100.0);
      r[DomainField::ReservePrice] = formatNumber(random() % 50000);
      r[DomainField::AskingPrice] = formatNumber(random() % 90000);
      if (random() % 4 == 0) {
        r[DomainField::FinalPrice] = formatNumber(random() % 60000 + 1);
        r[DomainField::SoldOn] = dateText(random, 2010, 16);
      }
      r[DomainField::Note] = "备注" + std::to_string(random() % 100000);
      applyDerivedFields(r);
      records.push_back(std::move(r));
    }
    if (insertDomains(*db, records).failed != 0) {
      throw std::runtime_error("cannot store the generated domains in " + path.string());
    }
  }
  if (!upgradeSchema(*db)) {
    throw std::runtime_error("cannot restore the indexes in " + path.string());
  }
  db.reset();
  std::ofstream(ready) << count << "\n";
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::cerr << " done in " << seconds << " s\n";
  return path;
}

double medianMs(const std::function<void()>& work, int runs) {
  std::vector<double> times;
  work();  // warm the page cache
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace pelmora::bench

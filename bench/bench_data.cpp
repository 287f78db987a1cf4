#include "bench_data.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "store/derived_fields.h"
#include "store/domain_writer.h"
#include "store/schema.h"
#include "support/dates.h"
#include "support/numbers.h"

namespace pelmora::bench {
namespace {

// Bumped whenever the generated rows change, so older files are not reused.
constexpr std::string_view kGeneration = "bench-v2-";

// Suffixes in falling share, with their weights.
constexpr std::pair<const char*, double> kSuffixShares[kSuffixes] = {
    {"com", 400}, {"cn", 110},   {"net", 80}, {"com.cn", 50}, {"top", 45},  {"xyz", 30},
    {"cc", 28},   {"vip", 25},   {"org", 22}, {"wang", 18},   {"club", 14}, {"net.cn", 12},
    {"info", 11}, {"shop", 10},  {"io", 9},   {"co", 8},      {"ai", 8},    {"me", 7},
    {"tv", 6},    {"ink", 6},    {"site", 5}, {"online", 5},  {"tech", 5},  {"store", 4},
    {"app", 4},   {"dev", 4},    {"link", 3}, {"live", 3},    {"pro", 3},   {"fun", 3},
    {"art", 3},   {"red", 2},    {"kim", 2},  {"ltd", 2},     {"group", 2}, {"work", 2},
    {"cloud", 2}, {"org.cn", 2}, {"biz", 2},  {"name", 1},    {"asia", 1}};

constexpr const char* kPinyin[] = {
    "a",     "ai",   "an",    "bao", "bei",  "bo",    "cai",  "chen",  "cheng", "chuang", "da",
    "dian",  "ding", "fang",  "fei", "feng", "fu",    "gao",  "guo",   "hai",   "hao",    "he",
    "hong",  "hua",  "huang", "jia", "jian", "jin",   "jing", "ju",    "kai",   "kang",   "le",
    "li",    "lian", "long",  "mei", "ming", "ning",  "pin",  "qi",    "qian",  "qing",   "ren",
    "shang", "shi",  "shu",   "tai", "tian", "tong",  "wang", "wei",   "wen",   "xin",    "xing",
    "yang",  "yi",   "you",   "yu",  "yun",  "zhang", "zhi",  "zhong", "zhu",   "zi"};

// Note phrases; several hold the words users search for most.
constexpr const char* kNotePhrases[] = {
    "议价",     "急售",       "精品",     "双拼",       "好记",     "可议价",   "不议价",
    "诚心出售", "精品域名",   "三拼",     "已备案",     "老域名",   "适合建站", "适合做品牌",
    "行业词",   "短域名",     "一口价",   "已挂一口价", "自用",     "收购价",   "续费到期",
    "抢注",     "备用",       "纯数字",   "杂米",       "价格可谈", "低价出",   "打包出售",
    "微信联系", "限时",       "有流量",   "外链多",     "未备案",   "寓意好",   "朗朗上口",
    "拼音好记", "含义：发财", "别议价了", "客户询价过", "朋友推荐", "年底清仓"};

constexpr const char* kAsciiPhrases[] = {"ok",
                                         "vip",
                                         "push",
                                         "GoDaddy",
                                         "sedo",
                                         "hold",
                                         "brand",
                                         "tel:13800138000",
                                         "price negotiable",
                                         "QQ 123456"};

constexpr double kRegistrarSkew = 0.9;  // weight of registrar k is 1/(k+1)^0.9

template <typename Array>
const auto& pick(std::mt19937& random, const Array& items) {
  return items[random() % std::size(items)];
}

int between(std::mt19937& random, int low, int high) {
  return low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
}

std::string letters(std::mt19937& random, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out.push_back(static_cast<char>('a' + random() % 26));
  return out;
}

std::string digits(std::mt19937& random, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out.push_back(static_cast<char>('0' + random() % 10));
  return out;
}

std::string pinyin(std::mt19937& random, int syllables) {
  std::string out;
  for (int i = 0; i < syllables; ++i) out += pick(random, kPinyin);
  return out;
}

// The first label: digits, letters, pinyin or a mix, of varied length.
std::string nameLabel(std::mt19937& random) {
  const unsigned style = random() % 100;
  if (style < 22) return digits(random, between(random, 3, 8));
  if (style < 40) return letters(random, between(random, 2, 6));
  if (style < 75) return pinyin(random, between(random, 1, 3));
  if (style < 92) return pinyin(random, 1) + digits(random, between(random, 1, 4));
  return pinyin(random, between(random, 3, 4)) + letters(random, between(random, 0, 3));
}

// A third empty, then short, two or three phrases, and a few long ones.
std::string noteText(std::mt19937& random) {
  const unsigned size = random() % 100;
  if (size < 33) return {};
  int phrases = 1;
  if (size >= 70) phrases = between(random, 2, 3);
  if (size >= 92) phrases = between(random, 5, 12);
  std::string out;
  for (int i = 0; i < phrases; ++i) {
    if (i > 0) out += random() % 3 == 0 ? " " : "，";
    out += random() % 7 == 0 ? pick(random, kAsciiPhrases) : pick(random, kNotePhrases);
  }
  if (random() % 10 == 0) out += std::to_string(between(random, 100, 99999)) + "元";
  return out;
}

// A log-uniform amount between `low` and `high`, in whole units.
double amount(std::mt19937& random, double low, double high) {
  std::uniform_real_distribution<double> exponent(std::log(low), std::log(high));
  return std::round(std::exp(exponent(random)));
}

std::discrete_distribution<int> skewed(int count, double power) {
  std::vector<double> weights;
  for (int k = 1; k <= count; ++k) weights.push_back(std::pow(k, -power));
  return std::discrete_distribution<int>(weights.begin(), weights.end());
}

class RowMaker {
 public:
  explicit RowMaker(const Date& today) : today_(today) {
    std::vector<double> shares;
    for (const auto& [name, share] : kSuffixShares) shares.push_back(share);
    suffix_ = std::discrete_distribution<int>(shares.begin(), shares.end());
  }

  DomainRecord make(int index) {
    DomainRecord r;
    const std::string suffix = kSuffixShares[suffix_(random_)].first;
    std::string name = nameLabel(random_) + "." + suffix;
    for (int attempt = 0; !names_.insert(name).second; ++attempt) {
      name = (attempt < 4 ? nameLabel(random_) : nameLabel(random_) + std::to_string(index)) + "." +
             suffix;
    }
    r[DomainField::Name] = name;
    r[DomainField::Registrar] = random_() % 20 == 0 ? "-" : registrarName(registrar_(random_));
    r[DomainField::DomainType] = "类型" + std::to_string(type_(random_));
    r[DomainField::Category] = "分类" + std::to_string(category_(random_));

    const int daysSinceRegistered = between(random_, 30, 27 * 365);
    const Date registered = addDays(today_, -daysSinceRegistered);
    r[DomainField::RegisteredOn] = formatDate(registered);
    r[DomainField::ExpiresOn] = formatDate(
        addDays(today_, std::max(between(random_, -3 * 365, 5 * 365), 365 - daysSinceRegistered)));
    const int daysSincePurchase = between(random_, 0, daysSinceRegistered);
    r[DomainField::PurchasedOn] = formatDate(addDays(today_, -daysSincePurchase));

    const unsigned costBand = random_() % 100;
    const double oneTime = costBand < 70   ? amount(random_, 5, 100)
                           : costBand < 95 ? amount(random_, 100, 5000)
                                           : amount(random_, 5000, 100000);
    constexpr double kRenewals[] = {0, 29, 35, 55, 69, 79, 89, 120};
    r[DomainField::OneTimeCost] = formatNumber(oneTime);
    r[DomainField::RenewalCost] = formatNumber(pick(random_, kRenewals));
    if (random_() % 5 < 3) {
      const double asking = amount(random_, 100, 500000);
      r[DomainField::AskingPrice] = formatNumber(asking);
      r[DomainField::ReservePrice] = formatNumber(std::round(asking * 0.6));
    } else {
      r[DomainField::AskingPrice] = "0";
      r[DomainField::ReservePrice] = "0";
    }
    if (random_() % 4 == 0) {
      r[DomainField::FinalPrice] = formatNumber(amount(random_, 50, 200000));
      r[DomainField::SoldOn] = formatDate(addDays(today_, -between(random_, 0, daysSincePurchase)));
    }
    r[DomainField::Note] = noteText(random_);
    applyDerivedFields(r);
    return r;
  }

 private:
  Date today_;
  std::mt19937 random_{20261209};
  std::discrete_distribution<int> suffix_;
  std::discrete_distribution<int> registrar_ = skewed(kRegistrars, kRegistrarSkew);
  std::discrete_distribution<int> type_ = skewed(kDomainTypes, 0.7);
  std::discrete_distribution<int> category_ = skewed(kCategories, 0.5);
  std::unordered_set<std::string> names_;
};

using SchemaObjects = std::set<std::pair<std::string, std::string>>;

SchemaObjects schemaObjects(DomainDatabase& db) {
  SchemaObjects objects;
  const bool ok =
      db.query("SELECT type, name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%'", {},
               [&](const SqlRow& row) { objects.emplace(row.text(0), row.text(1)); });
  if (!ok) throw std::runtime_error("cannot read the schema");
  return objects;
}

// Bulk loading is far quicker without anything the schema derives from the
// domain rows: indexes, triggers and the tables they fill (group counts, text
// indexes). The upgrade puts all of them back, built once over the loaded rows.
void dropDerivedObjects(DomainDatabase& db) {
  const char* const kDerived[] = {
      "SELECT 'TRIGGER', name FROM sqlite_master WHERE type='trigger'",
      "SELECT 'INDEX', name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL"
      " AND tbl_name='域名'",
      // Virtual tables first: dropping one drops its shadow tables.
      "SELECT 'TABLE', name FROM sqlite_master WHERE type='table' AND sql LIKE 'CREATE VIRTUAL%'",
      "SELECT 'TABLE', name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'"
      " AND name NOT IN ('域名','设置','注册商','域名类型','自定义分类')"};
  for (const char* select : kDerived) {
    std::vector<std::string> drops;
    const bool read = db.query(select, {}, [&](const SqlRow& row) {
      drops.push_back("DROP " + row.text(0) + " IF EXISTS \"" + row.text(1) + "\"");
    });
    if (!read) throw std::runtime_error("cannot read the schema");
    for (const std::string& drop : drops) {
      if (!db.run(drop)) throw std::runtime_error("cannot run " + drop);
    }
  }
}

}  // namespace

std::string registrarName(int i) { return "注册商" + std::to_string(i); }

void addBenchClassifications(DomainDatabase& db) {
  const auto add = [&](const std::string& table, const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) {
      if (!db.run("INSERT INTO " + table + "(" + table + ",排序) VALUES(?,?)",
                  {prefix + std::to_string(i), static_cast<std::int64_t>(i)})) {
        throw std::runtime_error("cannot add to " + table);
      }
    }
  };
  add("注册商", "注册商", kRegistrars);
  add("域名类型", "类型", kDomainTypes);
  add("自定义分类", "分类", kCategories);
}

std::filesystem::path ensureBenchDatabase(const std::filesystem::path& folder, int count) {
  std::filesystem::create_directories(folder);
  const std::string stem = std::string(kGeneration) + std::to_string(count);
  const auto path = folder / (stem + ".mdb");
  const auto ready = folder / (stem + ".ready");
  if (std::filesystem::exists(ready) && std::filesystem::exists(path)) return path;
  for (const char* extra : {"", "-wal", "-shm", ".lock"}) {
    std::filesystem::remove(path.string() + extra);
  }

  std::cerr << "generating " << count << " domains in " << path << " ..." << std::flush;
  const auto began = std::chrono::steady_clock::now();
  auto db = openCurrentDatabase(path);
  if (!db) throw std::runtime_error("cannot create " + path.string());
  addBenchClassifications(*db);
  const SchemaObjects expected = schemaObjects(*db);
  dropDerivedObjects(*db);

  RowMaker maker(Clock::system().today());
  const int chunk = 50000;
  for (int done = 0; done < count; done += chunk) {
    std::vector<DomainRecord> records;
    for (int i = done; i < std::min(count, done + chunk); ++i) records.push_back(maker.make(i));
    if (insertDomains(*db, records).failed != 0) {
      throw std::runtime_error("cannot store the generated domains in " + path.string());
    }
  }
  if (const auto upgraded = upgradeSchema(*db); !upgraded) {
    throw std::runtime_error("cannot restore the indexes in " + path.string() + ": " +
                             upgraded.error());
  }
  if (schemaObjects(*db) != expected) {
    throw std::runtime_error("the upgrade did not restore every index, trigger and table in " +
                             path.string());
  }
  db.reset();
  std::ofstream(ready) << count << "\n";
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  std::cerr << " done in " << seconds << " s\n";
  return path;
}

double medianMsWithin(const std::function<void()>& work, int runs, double budgetMs) {
  const auto timed = [&] {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  const double warm = timed();  // also warms the page cache
  if (warm * runs > budgetMs) runs = std::max(1, static_cast<int>(budgetMs / warm));
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(timed());
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double medianMs(const std::function<void()>& work, int runs) {
  return medianMsWithin(work, runs, 1e300);
}

}  // namespace pelmora::bench

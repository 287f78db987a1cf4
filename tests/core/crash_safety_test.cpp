// The command line killed with SIGKILL in the middle of a long run: the file
// reopens intact and holds a state some commit left, never half a run.
//
// Batch add is one transaction: after the kill the table holds either none of
// the run's rows or all of them (the runs here are killed long before their
// end, so none). Batch modify commits every 500 domains, in the order it
// lists them (--all: id descending): the modified domains are exactly a
// prefix of that order made of whole chunks, each with every new value, and
// every other domain keeps every old value.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "cli_process.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kAddLines = 120000;
constexpr std::int64_t kModifyRows = 100000;
constexpr std::int64_t kModifyChunk = 500;

struct KillPoint {
  const char* name;
  std::chrono::milliseconds afterStart;  // once the run has written to its log
};

void PrintTo(const KillPoint& point, std::ostream* out) { *out << point.name; }

const KillPoint kKillPoints[] = {{"AsSoonAsItWrites", 0ms}, {"Early", 100ms}, {"Later", 300ms}};

std::uintmax_t sizeOf(const std::filesystem::path& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : size;
}

// Waits until the run has written to the write-ahead log, then for the kill
// point's delay, and kills it. False when the run was no longer at work.
::testing::AssertionResult killMidway(CliProcess& run, const std::filesystem::path& database,
                                      const KillPoint& point) {
  const std::filesystem::path log = database.string() + "-wal";
  const auto deadline = std::chrono::steady_clock::now() + 120s;
  while (sizeOf(log) == 0 && run.running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
  std::this_thread::sleep_for(point.afterStart);
  if (!run.running()) {
    return ::testing::AssertionFailure()
           << "the run ended before the kill point (exit " << run.wait() << "): " << run.output();
  }
  run.kill();
  return ::testing::AssertionSuccess();
}

std::string integrityOf(DomainDatabase& db) {
  std::string result;
  db.query("PRAGMA integrity_check", {}, [&](const SqlRow& row) { result += row.text(0); });
  return result;
}

std::int64_t countOf(DomainDatabase& db, const std::string& sql) {
  std::string error;
  const auto n = db.count(sql, {}, &error);
  EXPECT_TRUE(n) << sql << ": " << error;
  return n.value_or(-1);
}

// The group counts the triggers keep match the rows: they were committed
// with them.
void expectGroupCountsMatchRows(DomainDatabase& db) {
  EXPECT_EQ(countOf(db,
                    "SELECT count(*) FROM (SELECT 列, 名称, 数量 FROM 分组计数 EXCEPT"
                    " SELECT '注册商', min(注册商), count(*) FROM 域名 WHERE 注册商 IS NOT NULL"
                    " GROUP BY 注册商 EXCEPT SELECT '后缀', min(后缀), count(*) FROM 域名"
                    " WHERE 后缀 IS NOT NULL GROUP BY 后缀 EXCEPT SELECT '域名类型', min(域名类型),"
                    " count(*) FROM 域名 WHERE 域名类型 IS NOT NULL GROUP BY 域名类型 EXCEPT"
                    " SELECT '自定义分类', min(自定义分类), count(*) FROM 域名 WHERE 自定义分类 IS"
                    " NOT NULL GROUP BY 自定义分类)"),
            0);
}

class CrashSafetyTest : public ::testing::TestWithParam<KillPoint> {
 protected:
  static void TearDownTestSuite() {
    delete shared_;
    shared_ = nullptr;
  }
  // Made once for the kill points of a test run in one process.
  static std::filesystem::path addInput() {
    const auto path = shared().file("add.txt");
    if (std::filesystem::exists(path)) return path;
    std::ofstream lines(path);
    for (int i = 0; i < kAddLines; ++i) {
      lines << "run" << i << ".com|西数|双拼|自用|2020-01-02|2027-03-04|10|20|30|40|0|第" << i
            << "行||\n";
    }
    return path;
  }
  static std::filesystem::path modifyTemplate() {
    const auto path = shared().file("modify.mdb");
    if (std::filesystem::exists(path)) return path;
    auto db = openCurrentDatabase(path);
    EXPECT_TRUE(db && db->run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE"
                              " i<?) INSERT INTO 域名(域名,后缀,长度,注册商,域名类型,自定义分类,"
                              "一次成本,续费成本,实际成本,出售,备注) SELECT 'm'||i||'.com','com',2,"
                              "'西数','-','-',10,5,15,0,'old' FROM n",
                              {kModifyRows}));
    return path;
  }
  static TempFolder& shared() {
    if (shared_ == nullptr) shared_ = new TempFolder();
    return *shared_;
  }

  TempFolder folder_;
  static TempFolder* shared_;
};

TempFolder* CrashSafetyTest::shared_ = nullptr;

TEST_P(CrashSafetyTest, ABatchAddKilledMidwayLeavesAllOrNone) {
  const auto path = folder_.file("domain.mdb");
  {
    auto db = openCurrentDatabase(path);
    ASSERT_TRUE(db);
    ASSERT_EQ(insertDomains(*db, {testDomain("kept1.com"), testDomain("kept2.com")}).added, 2u);
  }
  CliProcess run({"--db", path.string(), "add", "--file", addInput().string()},
                 folder_.file("out.txt"));
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(killMidway(run, path, GetParam()));

  auto db = openCurrentDatabase(path);
  ASSERT_TRUE(db);
  EXPECT_EQ(integrityOf(*db), "ok");
  const std::int64_t added = countOf(*db, "SELECT count(*) FROM 域名 WHERE 域名 LIKE 'run%'");
  EXPECT_TRUE(added == 0 || added == kAddLines) << added;
  EXPECT_EQ(countOf(*db, "SELECT count(*) FROM 域名 WHERE 域名 IN ('kept1.com','kept2.com')"), 2);
  EXPECT_EQ(countOf(*db, "SELECT count(*) FROM 域名"), 2 + added);
  expectGroupCountsMatchRows(*db);
  // The file takes writes again.
  EXPECT_EQ(insertDomains(*db, {testDomain("after.com")}).added, 1u);
}

TEST_P(CrashSafetyTest, ABatchModifyKilledMidwayLeavesACommittedPrefix) {
  const auto path = folder_.file("domain.mdb");
  std::filesystem::copy_file(modifyTemplate(), path);
  CliProcess run(
      {"--db", path.string(), "modify-batch", "--all", "--set", "备注=new", "--set", "一次成本=77"},
      folder_.file("out.txt"));
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(killMidway(run, path, GetParam()));

  auto db = openCurrentDatabase(path);
  ASSERT_TRUE(db);
  EXPECT_EQ(integrityOf(*db), "ok");
  const std::int64_t changed =
      countOf(*db, "SELECT count(*) FROM 域名 WHERE 备注='new' AND 一次成本=77 AND 实际成本=82");
  const std::int64_t unchanged =
      countOf(*db, "SELECT count(*) FROM 域名 WHERE 备注='old' AND 一次成本=10 AND 实际成本=15");
  // Every domain has all the new values or all the old ones.
  EXPECT_EQ(changed + unchanged, kModifyRows);
  EXPECT_EQ(changed % kModifyChunk, 0) << changed;
  EXPECT_LT(changed, kModifyRows);
  if (GetParam().afterStart > 0ms) {
    EXPECT_GT(changed, 0);
  }
  // The changed ones are the first in the run's order: the highest ids.
  if (changed > 0) {
    EXPECT_EQ(countOf(*db, "SELECT count(*) FROM 域名 WHERE 备注='new' AND id <= " +
                               std::to_string(kModifyRows - changed)),
              0);
  }
  expectGroupCountsMatchRows(*db);
}

INSTANTIATE_TEST_SUITE_P(KillPoints, CrashSafetyTest, ::testing::ValuesIn(kKillPoints),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmora::testing

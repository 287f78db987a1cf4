// Opening, locking, upgrading and writing domain.mdb when things go wrong:
// files that cannot be written, locks held by other programs, full disks,
// planted symlinks, damaged pages. A failure must never look like success.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <stdexcept>

#include "cli_runner.h"
#include "store/classification_lists.h"
#include "store/filter_criteria.h"
#include "store/listing.h"
#include "store/settings_store.h"
#include "test_db.h"
#include "test_paths.h"

namespace pelmora::testing {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class DatabaseFailureTest : public DatabaseTest {};

TEST_F(DatabaseFailureTest, ATransactionThatFailsOrThrowsLeavesNothingOpen) {
  EXPECT_FALSE(db().transaction([](SqliteConnection& c) {
    c.exec("INSERT INTO 域名(域名) VALUES('kept-out.com')");
    return false;
  }));
  EXPECT_THROW(db().transaction([](SqliteConnection& c) -> bool {
    c.exec("INSERT INTO 域名(域名) VALUES('thrown.com')");
    throw std::runtime_error("boom");
  }),
               std::runtime_error);
  EXPECT_EQ(countDomains(db(), {}), 0);
  // The connection is usable and outside any transaction again.
  EXPECT_TRUE(db().transaction(
      [](SqliteConnection& c) { return c.exec("INSERT INTO 域名(域名) VALUES('after.com')"); }));
  EXPECT_EQ(countDomains(db(), {}), 1);
}

TEST_F(DatabaseFailureTest, WorkInsideATransactionStaysInIt) {
  EXPECT_TRUE(db().transaction([&](SqliteConnection&) {
    db().withConnection(
        [](SqliteConnection& c) { c.exec("INSERT INTO 域名(域名) VALUES('inner.com')"); });
    return db().run("INSERT INTO 域名(域名) VALUES('outer.com')");
  }));
  EXPECT_EQ(countDomains(db(), {}), 2);
  EXPECT_FALSE(db().transaction([&](SqliteConnection&) {
    db().withConnection(
        [](SqliteConnection& c) { c.exec("INSERT INTO 域名(域名) VALUES('dropped.com')"); });
    return false;
  }));
  EXPECT_EQ(countDomains(db(), {}), 2);
}

TEST_F(DatabaseFailureTest, ASettingWithoutItsRowIsNotWritten) {
  SettingsStore settings(db());
  ASSERT_TRUE(db().run("DELETE FROM 设置 WHERE 属性=?", {std::string(kSettingCustomTitle)}));
  const auto written = settings.write(kSettingCustomTitle, "标题");
  EXPECT_FALSE(written);
  EXPECT_FALSE(written.error().empty());
  EXPECT_TRUE(settings.write(kSettingPageSize, "50"));
  EXPECT_FALSE(settings.write("没有这个属性", "1"));
}

TEST_F(DatabaseFailureTest, AFullDiskFailsEveryWriteItTouches) {
  add({makeDomain("before.com")});
  const auto pages = db().count("PRAGMA page_count", {}, nullptr);
  ASSERT_TRUE(pages);
  ASSERT_TRUE(db().run("PRAGMA max_page_count=" + std::to_string(*pages)));
  std::vector<DomainRecord> many;
  for (int i = 0; i < 400; ++i) {
    many.push_back(makeDomain("full" + std::to_string(i) + ".com",
                              {{DomainField::Note, std::string(200, 'x')}}));
  }
  // The full disk is the run's reason, not a fault of the rows it hit.
  std::size_t reported = 0;
  const InsertSummary summary =
      insertDomains(db(), many, [&](std::size_t, const std::string&) { ++reported; });
  EXPECT_NE(summary.error.find("full"), std::string::npos) << summary.error;
  EXPECT_EQ(summary.added, 0u);
  EXPECT_EQ(summary.failed, many.size());
  EXPECT_EQ(reported, 0u);
  EXPECT_EQ(countDomains(db(), {}), 1);
  const auto written = SettingsStore(db()).write(kSettingCustomTitle, std::string(100000, 'y'));
  EXPECT_FALSE(written);
  EXPECT_FALSE(written.error().empty());
}

TEST_F(DatabaseFailureTest, ALockHeldByAnotherProgramFailsTheWriteWithItsReason) {
  add({makeDomain("a.com")});
  RawConnection other(dbPath());
  ASSERT_TRUE(other.exec("BEGIN IMMEDIATE"));
  db().setBusyTimeout(50);
  const StatementResult result = db().execute("UPDATE 域名 SET 备注='x' WHERE 域名='a.com'");
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("locked"), std::string::npos) << result.error;
  EXPECT_EQ(insertDomains(db(), {makeDomain("b.com")}).failed, 1u);
  other.exec("ROLLBACK");
  EXPECT_TRUE(db().execute("UPDATE 域名 SET 备注='x' WHERE 域名='a.com'").ok);
}

// An old file: BINARY group columns, no 排序, no settings rows, version 0.
void writeOldFile(const std::filesystem::path& path) {
  RawConnection raw(path);
  ASSERT_TRUE(raw.exec(
      "CREATE TABLE 域名 (id INTEGER PRIMARY KEY AUTOINCREMENT, 域名 TEXT NOT NULL UNIQUE COLLATE"
      " NOCASE, 后缀 TEXT, 长度 INTEGER, 注册商 TEXT, 域名类型 TEXT, 自定义分类 TEXT,"
      " 注册时间 TEXT, 到期时间 TEXT, 一次成本 REAL, 续费成本 REAL, 实际成本 REAL, 预售底价 REAL,"
      " 标价 REAL, 最终售价 REAL, 利润 REAL, 出售 INTEGER, 备注 TEXT);"
      "CREATE TABLE 设置 (属性 TEXT, 值 TEXT);"
      "CREATE TABLE 注册商 (注册商 TEXT); CREATE TABLE 域名类型 (域名类型 TEXT);"
      "CREATE TABLE 自定义分类 (自定义分类 TEXT);"
      "INSERT INTO 注册商 VALUES('NameCheap');"
      "INSERT INTO 域名(域名,后缀,注册商,出售,备注) VALUES"
      " ('a.com','com','Namecheap',0,'甲'),('b.com','COM','NAMECHEAP',0,'乙'),"
      " ('c.net','net','西数',0,'丙'),('gone.org','org','西数',0,'');"
      "DELETE FROM 域名 WHERE 域名='gone.org';"));
}

TEST(DatabaseUpgrade, GroupsCompareWithoutCaseAfterTheUpgradeKeepingIdsAndText) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  writeOldFile(path);
  auto db = openCurrentDatabase(path);
  ASSERT_TRUE(db);
  EXPECT_EQ(storedSchemaVersion(*db), kSchemaVersion);
  // Stored texts keep the case they were typed in.
  EXPECT_EQ(db->scalar("SELECT 后缀 FROM 域名 WHERE id=2"), SqlValue(std::string("COM")));
  EXPECT_EQ(db->scalar("SELECT 备注 FROM 域名 WHERE id=3"), SqlValue(std::string("丙")));

  ClassificationLists lists;
  ASSERT_TRUE(lists.rebuild(*db));
  ASSERT_EQ(lists.suffixes().size(), 2u);
  EXPECT_EQ(lists.suffixes()[0].count, 2);
  ASSERT_EQ(lists.list(CategoryKind::Registrar).size(), 1u);
  EXPECT_EQ(lists.list(CategoryKind::Registrar)[0].count, 2);

  FilterCriteria criteria;
  criteria.suffix = "com(2)";
  criteria.registrar = "namecheap(2)";
  EXPECT_EQ(countDomains(*db, buildWhere(criteria, Date{})), 2);

  // An id is never handed out twice, also across the rebuild.
  ASSERT_TRUE(db->run("INSERT INTO 域名(域名,后缀) VALUES('d.com','Com')"));
  EXPECT_EQ(db->scalar("SELECT id FROM 域名 WHERE 域名='d.com'"), SqlValue(std::int64_t{5}));
  EXPECT_EQ(db->scalar("SELECT 数量 FROM 分组计数 WHERE 列='后缀' AND 名称='com'"),
            SqlValue(std::int64_t{3}));
  // A change of case alone moves nothing between groups.
  ASSERT_TRUE(db->run("UPDATE 域名 SET 后缀='cOm' WHERE 域名='a.com'"));
  EXPECT_EQ(db->scalar("SELECT 数量 FROM 分组计数 WHERE 列='后缀' AND 名称='COM'"),
            SqlValue(std::int64_t{3}));
}

TEST(DatabaseUpgrade, AnUpgradeThatCannotFinishChangesNothing) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  writeOldFile(path);
  {
    // Rows the current table refuses (a money text) make the rebuild fail.
    RawConnection raw(path);
    ASSERT_TRUE(raw.exec("UPDATE 域名 SET 一次成本='abc' WHERE id=1"));
  }
  const std::string before = readFile(path);
  std::string why;
  EXPECT_FALSE(openCurrentDatabase(path, &why));
  EXPECT_NE(why.find("upgrade"), std::string::npos) << why;
  RawConnection raw(path);
  EXPECT_TRUE(readFile(path) == before);
}

TEST(DatabaseUpgrade, AFileLockedByAnotherProgramIsRefusedUntouched) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  writeOldFile(path);
  RawConnection other(path);
  ASSERT_TRUE(other.exec("BEGIN EXCLUSIVE"));
  const std::string before = readFile(path);
  std::string why;
  EXPECT_FALSE(openCurrentDatabase(path, &why));
  EXPECT_NE(why.find("locked"), std::string::npos) << why;
  other.exec("ROLLBACK");
  EXPECT_TRUE(readFile(path) == before);
  EXPECT_TRUE(openCurrentDatabase(path));
}

TEST(DatabaseOpenModes, OpeningACurrentFileWritesNothing) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  {
    auto db = openCurrentDatabase(path);
    ASSERT_TRUE(db);
    ASSERT_EQ(insertDomains(*db, {testDomain("a.com")}).added, 1u);
  }
  const std::string before = readFile(path);
  for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
    auto db = openCurrentDatabase(path, nullptr, mode);
    ASSERT_TRUE(db);
    EXPECT_EQ(countDomains(*db, {}), 1);
    db.reset();
    EXPECT_TRUE(readFile(path) == before)
        << (mode == OpenMode::ReadOnly ? "read-only" : "read-write");
  }
  auto reader = openCurrentDatabase(path, nullptr, OpenMode::ReadOnly);
  ASSERT_TRUE(reader);
  EXPECT_FALSE(reader->run("DELETE FROM 域名"));
}

TEST(DatabaseOpenModes, AReaderNeverCreatesTheFile) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  std::string why;
  EXPECT_FALSE(openCurrentDatabase(path, &why, OpenMode::ReadOnly));
  EXPECT_NE(why.find("does not exist"), std::string::npos) << why;
  EXPECT_FALSE(std::filesystem::exists(path));
  auto [code, output] = runCli("--db " + path.string() + " list");
  EXPECT_EQ(code, 2);
  EXPECT_NE(output.find(openFailureHeadline(OpenProblem::Missing, path)), std::string::npos)
      << output;
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(path.string() + ".lock"));
  // Nor does a reader leave its lock beside a file it cannot use.
  { std::ofstream(path) << "not a database"; }
  std::tie(code, output) = runCli("--db " + path.string() + " list");
  EXPECT_NE(output.find(openFailureHeadline(OpenProblem::NotADatabase, path)), std::string::npos)
      << output;
  EXPECT_FALSE(std::filesystem::exists(path.string() + ".lock"));
}

TEST(DatabaseOpenModes, AReaderUpgradesAnOldFileOnceThenReads) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  writeOldFile(path);
  auto [code, output] = runCli("--db " + path.string() + " list");
  EXPECT_EQ(code, 0) << output;
  EXPECT_NE(output.find("总数[3]"), std::string::npos) << output;
  const std::string upgraded = readFile(path);
  std::tie(code, output) = runCli("--db " + path.string() + " list");
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(readFile(path) == upgraded);
}

// SQLite opens a file it may not write read-only without saying so.
TEST(DatabaseOpenModes, AFileThatCanOnlyBeReadIsRefusedForWriting) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  {
    auto db = openCurrentDatabase(path);
    ASSERT_TRUE(db);
    ASSERT_EQ(insertDomains(*db, {testDomain("a.com")}).added, 1u);
  }
  std::string asOther;
  // A copy the other user may run, wherever the build folder is.
  const auto cli = folder.file("pelmora-cli");
  std::filesystem::copy_file(PELMORA_CLI_PATH, cli);
  ::chmod(cli.c_str(), 0755);
  if (::geteuid() == 0) {
    // Root writes every file: the program runs as nobody, in a folder it may
    // write (for the lock file), on a file it may only read.
    ::chmod(folder.path().c_str(), 0777);
    ::chmod((path.string() + ".lock").c_str(), 0666);
    ::chmod(path.c_str(), 0644);
    asOther = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  } else {
    ::chmod(path.c_str(), 0444);
  }
  const std::string before = readFile(path);
  auto [code, output] =
      runProgramAs(asOther, cli.string(), "--db " + path.string() + " update-dates a.com");
  EXPECT_EQ(code, 2) << output;
  EXPECT_NE(output.find("数据库连接失败"), std::string::npos) << output;
  EXPECT_NE(output.find("can only be read"), std::string::npos) << output;
  EXPECT_TRUE(readFile(path) == before);
  // Reading it is fine.
  std::tie(code, output) = runProgramAs(asOther, cli.string(), "--db " + path.string() + " list");
  EXPECT_EQ(code, 0) << output;
  EXPECT_NE(output.find("a.com"), std::string::npos) << output;
}

TEST(DatabaseLock, APlantedSymlinkIsNeverFollowed) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  const auto victim = folder.file("victim.txt");
  { std::ofstream(victim) << "keep me"; }
  std::filesystem::create_symlink(victim, folder.file("domain.mdb.lock"));
  const auto absent = folder.file("absent.txt");
  std::filesystem::create_symlink(absent, folder.file("other.mdb.lock"));
  std::string why;
  EXPECT_FALSE(openCurrentDatabase(path, &why));
  EXPECT_NE(why.find("lock"), std::string::npos) << why;
  EXPECT_FALSE(openCurrentDatabase(folder.file("other.mdb")));
  EXPECT_EQ(readFile(victim), "keep me");
  EXPECT_FALSE(std::filesystem::exists(absent));
}

TEST(DatabaseLock, ALinkToAFileOpenInAWindowIsASecondWindow) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  const auto openWindow = [](const std::filesystem::path& file, std::string* why = nullptr) {
    return openCurrentDatabase(file, why, OpenMode::ReadWrite, {}, nullptr, Opener::Window);
  };
  auto first = openWindow(path);
  ASSERT_TRUE(first);
  std::filesystem::create_directories(folder.file("elsewhere"));
  const auto link = folder.file("elsewhere/link.mdb");
  std::filesystem::create_symlink(path, link);
  std::string why;
  EXPECT_FALSE(openWindow(link, &why));
  EXPECT_NE(why.find("open in another window"), std::string::npos) << why;
  EXPECT_FALSE(openWindow(folder.path() / "elsewhere" / ".." / "domain.mdb"));
  first.reset();
  EXPECT_TRUE(openWindow(link));
}

struct TablePages {
  std::int64_t pageSize = 0;
  std::vector<std::int64_t> numbers;
};

// The leaf pages of one table, as SQLite's page statistics give them.
TablePages leafPagesOf(const std::filesystem::path& path, const std::string& table) {
  TablePages pages;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    const auto each = [&](const std::string& sql, const std::function<void(sqlite3_stmt*)>& row) {
      sqlite3_stmt* statement = nullptr;
      if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return;
      sqlite3_bind_text(statement, 1, table.c_str(), -1, SQLITE_TRANSIENT);
      while (sqlite3_step(statement) == SQLITE_ROW) row(statement);
      sqlite3_finalize(statement);
    };
    each("PRAGMA page_size", [&](sqlite3_stmt* s) { pages.pageSize = sqlite3_column_int64(s, 0); });
    each("SELECT pageno FROM dbstat WHERE name=?1 AND pagetype='leaf'",
         [&](sqlite3_stmt* s) { pages.numbers.push_back(sqlite3_column_int64(s, 0)); });
  }
  sqlite3_close(db);
  return pages;
}

TEST(DatabaseDamage, ADamagedFileIsAnErrorForTheCommandLine) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  {
    auto db = openCurrentDatabase(path);
    ASSERT_TRUE(db);
    std::vector<DomainRecord> records;
    for (int i = 0; i < 3000; ++i) {
      records.push_back(testDomain("d" + std::to_string(i) + ".com"));
    }
    ASSERT_EQ(insertDomains(*db, records).added, records.size());
  }
  // Every page holding rows is damaged: which index the count scans and which
  // rows a page reads is the planner's choice, but a listing always reads rows.
  const TablePages pages = leafPagesOf(path, "域名");
  ASSERT_GT(pages.numbers.size(), 10u);
  {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    const std::string junk(static_cast<std::size_t>(pages.pageSize), '\x5a');
    for (const std::int64_t number : pages.numbers) {
      file.seekp(static_cast<std::streamoff>((number - 1) * pages.pageSize));
      file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    ASSERT_TRUE(file.good());
  }
  auto [code, output] = runCli("--db " + path.string() + " list --sort 备注");
  EXPECT_EQ(code, 2) << output;
  EXPECT_EQ(output.find("翻页,总数"), std::string::npos) << output;
  EXPECT_NE(output.find("malformed"), std::string::npos) << output;
}

}  // namespace
}  // namespace pelmora::testing

// The copy kept before the upgrade changes an older file.

#include "store/upgrade_backup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "cli_process.h"
#include "test_db.h"
#include "test_paths.h"

namespace pelmora::testing {
namespace {

// A file written by an older version: version 2, the group columns still
// compare with case.
void writeOldFile(const std::filesystem::path& path, int version = 2) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const std::string sql =
      "CREATE TABLE IF NOT EXISTS 域名 (id INTEGER PRIMARY KEY AUTOINCREMENT, 域名 TEXT NOT NULL"
      " UNIQUE COLLATE NOCASE, 后缀 TEXT, 长度 INTEGER, 注册商 TEXT, 域名类型 TEXT, 自定义分类"
      " TEXT, 注册时间 TEXT, 到期时间 TEXT, 一次成本 REAL, 续费成本 REAL, 实际成本 REAL, 预售底价"
      " REAL, 标价 REAL, 最终售价 REAL, 利润 REAL, 出售 INTEGER, 备注 TEXT);"
      "CREATE TABLE IF NOT EXISTS 设置 (属性 TEXT, 值 TEXT);"
      "CREATE TABLE IF NOT EXISTS 注册商 (注册商 TEXT);"
      "CREATE TABLE IF NOT EXISTS 域名类型 (域名类型 TEXT);"
      "CREATE TABLE IF NOT EXISTS 自定义分类 (自定义分类 TEXT);"
      "INSERT INTO 域名(域名,后缀,注册商,一次成本,备注) VALUES"
      " ('a.com','com','Namecheap',12.5,'甲'),('b.net','NET','西数',0,'it''s');"
      "PRAGMA user_version=" +
      std::to_string(version);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

void runSql(const std::filesystem::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

// The version and every row of the tables an old file has.
std::string contentOf(const std::filesystem::path& path) {
  sqlite3* db = nullptr;
  std::string content;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return "";
  const auto collect = [](void* text, int columns, char** values, char**) {
    auto& out = *static_cast<std::string*>(text);
    for (int i = 0; i < columns; ++i) out += std::string(values[i] ? values[i] : "NULL") + '|';
    out += '\n';
    return 0;
  };
  for (const char* sql :
       {"PRAGMA user_version", "SELECT * FROM 域名 ORDER BY id", "SELECT * FROM 设置",
        "SELECT * FROM 注册商", "SELECT sql FROM sqlite_master ORDER BY name"}) {
    if (sqlite3_exec(db, sql, collect, &content, nullptr) != SQLITE_OK) content += "failed\n";
  }
  sqlite3_close(db);
  return content;
}

std::string today() { return formatDate(Clock::system().today()); }

class UpgradeBackupTest : public ::testing::Test {
 protected:
  std::filesystem::path dbPath() const { return folder_.file("domain.mdb"); }
  std::vector<std::string> backupNames() const {
    std::vector<std::string> names;
    for (const auto& path : upgradeBackups(dbPath())) names.push_back(path.filename().string());
    return names;
  }
  TempFolder folder_;
};

TEST_F(UpgradeBackupTest, AnOlderFileGetsOneCopyAsItWas) {
  writeOldFile(dbPath());
  const std::string before = contentOf(dbPath());
  ASSERT_TRUE(openCurrentDatabase(dbPath()));
  const auto backup = folder_.file("domain.mdb.bak-" + today());
  EXPECT_EQ(backupNames(), std::vector<std::string>{backup.filename().string()});
  EXPECT_EQ(contentOf(backup), before);
  EXPECT_NE(contentOf(dbPath()), before);
  EXPECT_EQ((std::filesystem::status(backup).permissions() & std::filesystem::perms::all),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(UpgradeBackupTest, OnlyTheThreeNewestCopiesAreKept) {
  // Copies of earlier days, and a file that only looks like one.
  for (const char* name :
       {"domain.mdb.bak-2001-02-03", "domain.mdb.bak-2001-02-03-2", "domain.mdb.bak-notes"}) {
    std::ofstream(folder_.file(name)) << "old";
  }
  for (int upgrade = 1; upgrade <= 4; ++upgrade) {
    writeOldFile(dbPath(), 1);
    const std::string before = contentOf(dbPath());
    ASSERT_TRUE(openCurrentDatabase(dbPath()));
    EXPECT_EQ(contentOf(upgradeBackups(dbPath()).back()), before) << upgrade;
    // The tables are made again as an old file for the next round.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "DROP TABLE 域名; DELETE FROM 设置;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  const std::string day = "domain.mdb.bak-" + today();
  EXPECT_EQ(backupNames(), (std::vector<std::string>{day + "-2", day + "-3", day + "-4"}));
  EXPECT_TRUE(std::filesystem::exists(folder_.file("domain.mdb.bak-notes")));
}

TEST_F(UpgradeBackupTest, ACurrentOrNewFileGetsNone) {
  ASSERT_TRUE(openCurrentDatabase(dbPath()));
  ASSERT_TRUE(openCurrentDatabase(dbPath()));
  ASSERT_TRUE(openCurrentDatabase(dbPath(), nullptr, OpenMode::ReadOnly));
  EXPECT_TRUE(backupNames().empty());
}

TEST_F(UpgradeBackupTest, TheCallerIsToldOnceBeforeAnUpgradeAndNeverForACurrentFile) {
  writeOldFile(dbPath());
  int notices = 0;
  bool backupExistedAtNotice = true;
  const UpgradeNotice count = [&] {
    ++notices;
    backupExistedAtNotice = !backupNames().empty();
  };
  ASSERT_TRUE(openCurrentDatabase(dbPath(), nullptr, OpenMode::ReadOnly, count));
  EXPECT_EQ(notices, 1);
  EXPECT_FALSE(backupExistedAtNotice);  // told before the slow part starts
  for (const OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
    ASSERT_TRUE(openCurrentDatabase(dbPath(), nullptr, mode, count));
  }
  ASSERT_TRUE(openCurrentDatabase(folder_.file("new.mdb"), nullptr, OpenMode::ReadWrite, count));
  EXPECT_EQ(notices, 1);
}

TEST_F(UpgradeBackupTest, TheCommandLineSaysItIsUpgradingOnlyWhenItIs) {
  writeOldFile(dbPath());
  for (const bool older : {true, false}) {
    CliProcess run({"--db", dbPath().string(), "list"}, folder_.file("out.txt"));
    EXPECT_EQ(run.wait(), 0) << run.output();
    EXPECT_EQ(run.output().find("upgrading " + dbPath().string()) != std::string::npos, older)
        << run.output();
    EXPECT_NE(run.output().find("a.com"), std::string::npos) << run.output();
  }
}

TEST_F(UpgradeBackupTest, ACopyKilledMidwayLeavesNoBackupAndTheNextRunWritesItWhole) {
  writeOldFile(dbPath());
  // Enough rows that the copy takes a while.
  runSql(dbPath(),
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<200000)"
         " INSERT INTO 域名(域名,后缀,注册商,备注) SELECT 'r'||i||'.com','com','西数','第'||i||'行'"
         " FROM n");
  const std::string before = contentOf(dbPath());
  const auto unfinished = folder_.file("domain.mdb.bak-unfinished");
  {
    CliProcess run({"--db", dbPath().string(), "list"}, folder_.file("out.txt"));
    for (int i = 0; i < 60000 && !std::filesystem::exists(unfinished) && run.running(); ++i) {
      ::usleep(1000);
    }
    ASSERT_TRUE(run.running()) << run.output();
    run.kill();
  }
  EXPECT_TRUE(backupNames().empty());
  CliProcess again({"--db", dbPath().string(), "list", "--page-size", "1"},
                   folder_.file("out.txt"));
  EXPECT_EQ(again.wait(), 0) << again.output();
  EXPECT_EQ(backupNames(), std::vector<std::string>{"domain.mdb.bak-" + today()});
  EXPECT_EQ(contentOf(upgradeBackups(dbPath()).front()), before);
  for (const char* left : {"", "-journal"}) {
    EXPECT_FALSE(std::filesystem::exists(unfinished.string() + left)) << left;
  }
}

// Another program's reader holds the file: the upgrade makes its copy, then
// cannot commit. Tried again, it keeps the copy of the same bytes; a copy
// changed since, or a file changed since, gets a new one.
TEST_F(UpgradeBackupTest, AnUpgradeTriedAgainKeepsTheCopyOfTheSameBytes) {
  writeOldFile(dbPath());
  const auto failUpgrade = [this] {
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath().c_str(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM 域名;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::string why;
    EXPECT_FALSE(openCurrentDatabase(dbPath(), &why));
    EXPECT_NE(why.find("locked"), std::string::npos) << why;
    sqlite3_close(reader);
  };
  const std::string day = "domain.mdb.bak-" + today();
  failUpgrade();
  failUpgrade();
  EXPECT_EQ(backupNames(), std::vector<std::string>{day});

  runSql(folder_.file(day), "INSERT INTO 注册商 VALUES ('changed')");
  failUpgrade();
  EXPECT_EQ(backupNames(), (std::vector<std::string>{day, day + "-2"}));

  runSql(dbPath(), "UPDATE 域名 SET 备注='乙' WHERE 域名='a.com'");
  const std::string before = contentOf(dbPath());
  failUpgrade();
  ASSERT_TRUE(openCurrentDatabase(dbPath()));
  EXPECT_EQ(backupNames(), (std::vector<std::string>{day, day + "-2", day + "-3"}));
  EXPECT_EQ(contentOf(folder_.file(day + "-3")), before);
}

// Root writes anywhere: then the program runs as nobody.
TEST_F(UpgradeBackupTest, AFolderThatCannotTakeTheCopyRefusesTheUpgrade) {
  writeOldFile(dbPath());
  { std::ofstream(dbPath().string() + ".lock"); }
  const std::string before = contentOf(dbPath());
  CliSetup setup;
  const auto tools = folder_.file("tools");
  std::filesystem::create_directories(tools);
  if (::geteuid() == 0) {
    setup.user = 65534;
    setup.program = (tools / "pelmora-cli").string();
    std::filesystem::copy_file(PELMORA_CLI_PATH, setup.program);
  }
  ::chmod(dbPath().c_str(), 0666);
  ::chmod((dbPath().string() + ".lock").c_str(), 0666);
  ::chmod(folder_.path().c_str(), 0555);
  CliProcess run({"--db", dbPath().string(), "list"}, tools / "out.txt", setup);
  const int code = run.wait();
  ::chmod(folder_.path().c_str(), 0755);
  EXPECT_EQ(code, 2) << run.output();
  EXPECT_NE(run.output().find("cannot write the backup"), std::string::npos) << run.output();
  EXPECT_TRUE(backupNames().empty());
  EXPECT_EQ(contentOf(dbPath()), before);
}

}  // namespace
}  // namespace pelmora::testing

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "store/settings_store.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Schema and data of a file, as sqlite3 itself sees them.
std::string dumpOf(DomainDatabase& db) {
  std::string dump;
  db.query("SELECT type, name, sql FROM sqlite_master ORDER BY name", {}, [&](const SqlRow& row) {
    dump += row.asText(0) + "|" + row.asText(1) + "|" + row.asText(2) + "\n";
  });
  db.query("SELECT 属性, 值 FROM 设置 ORDER BY 属性", {},
           [&](const SqlRow& row) { dump += row.asText(0) + "=" + row.asText(1) + "\n"; });
  db.query("SELECT " + domainColumnList() + " FROM 域名 ORDER BY id", {}, [&](const SqlRow& row) {
    for (const auto& f : readDomainRecord(row).fields) dump += f + ";";
    dump += "\n";
  });
  return dump;
}

TEST(DomainDatabaseOpen, CreatesAPrivateFileWithTheFiveTablesInColumnOrder) {
  TempFolder folder;
  auto db = openCurrentDatabase(folder.file("domain.mdb"));
  ASSERT_TRUE(db);
  struct stat info {};
  ASSERT_EQ(::stat(folder.file("domain.mdb").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  std::vector<std::string> columns;
  db->query("SELECT name FROM pragma_table_info('域名')", {},
            [&](const SqlRow& row) { columns.push_back(row.text(0)); });
  std::vector<std::string_view> expected(kDomainColumns.begin(), kDomainColumns.end());
  expected.insert(expected.end(), kLookupColumns.begin(), kLookupColumns.end());
  ASSERT_EQ(columns.size(), expected.size());
  for (std::size_t i = 0; i < columns.size(); ++i) EXPECT_EQ(columns[i], expected[i]);
  for (const char* table : {"设置", "注册商", "域名类型", "自定义分类"}) {
    EXPECT_TRUE(db->scalar(std::string("SELECT count(*) FROM ") + table)) << table;
  }
}

TEST(DomainDatabaseOpen, ASecondWindowIsRefusedWhileCommandsWorkBesideTheFirst) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  const auto openWindow = [&](std::string* why) {
    return openCurrentDatabase(path, why, OpenMode::ReadWrite, {}, nullptr, Opener::Window);
  };
  auto first = openWindow(nullptr);
  ASSERT_TRUE(first);
  std::string why;
  EXPECT_FALSE(openWindow(&why));
  EXPECT_NE(why.find("open in another window"), std::string::npos) << why;
  auto writer = openCurrentDatabase(path);
  ASSERT_TRUE(writer);
  ASSERT_TRUE(writer->run("INSERT INTO 域名(域名) VALUES('beside.com')"));
  EXPECT_EQ(first->count("SELECT count(*) FROM 域名", {}, nullptr), 1);
  EXPECT_TRUE(openCurrentDatabase(path, nullptr, OpenMode::ReadOnly));
  first.reset();
  EXPECT_TRUE(openWindow(nullptr));
}

TEST(DomainDatabaseOpen, RefusesFilesThatAreNotOursAndWritesNothingToThem) {
  TempFolder folder;
  const auto junk = folder.file("junk.mdb");
  { std::ofstream(junk) << "Standard Jet DB, not really"; }
  const std::string before = readFile(junk);
  std::string why;
  EXPECT_FALSE(openCurrentDatabase(junk, &why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(readFile(junk), before);

  // Another program's SQLite database.
  const auto foreign = folder.file("foreign.mdb");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(foreign.c_str(), &raw), SQLITE_OK);
  sqlite3_exec(raw, "CREATE TABLE notes(x)", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  const std::string foreignBefore = readFile(foreign);
  EXPECT_FALSE(openCurrentDatabase(foreign, &why));
  EXPECT_EQ(readFile(foreign), foreignBefore);

  // A folder that does not exist.
  EXPECT_FALSE(openCurrentDatabase(folder.file("missing/dir/domain.mdb"), &why));
}

TEST(DomainDatabaseOpen, UnreadableFileFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  { auto db = openCurrentDatabase(path); }
  ::chmod(path.c_str(), 0);
  EXPECT_FALSE(openCurrentDatabase(path));
}

class UpgradeTest : public DatabaseTest {};

TEST_F(UpgradeTest, RunningTwiceChangesNothing) {
  add({makeDomain("abc.com", {{DomainField::OneTimeCost, "25"}})});
  ASSERT_TRUE(SettingsStore(db()).write(kSettingCustomTitle, "我的"));
  const std::string before = dumpOf(db());
  ASSERT_TRUE(upgradeSchema(db()));
  ASSERT_TRUE(upgradeSchema(db()));
  EXPECT_EQ(dumpOf(db()), before);
}

TEST(UpgradeOldFile, AddsMissingColumnsRowsAndIndexesKeepingData) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  // The shape of an old file: no purchase/sale dates, no 排序, no settings rows.
  const char* old =
      "CREATE TABLE 域名 (id INTEGER PRIMARY KEY AUTOINCREMENT, 域名 TEXT, 后缀 TEXT, 长度 INTEGER,"
      " 注册商 TEXT, 域名类型 TEXT, 自定义分类 TEXT, 注册时间 TEXT, 到期时间 TEXT, 一次成本 REAL,"
      " 续费成本 REAL, 实际成本 REAL, 预售底价 REAL, 标价 REAL, 最终售价 REAL, 利润 REAL,"
      " 出售 INTEGER, 备注 TEXT);"
      "CREATE TABLE 设置 (属性 TEXT);"
      "CREATE TABLE 注册商 (注册商 TEXT); CREATE TABLE 域名类型 (域名类型 TEXT);"
      "CREATE TABLE 自定义分类 (自定义分类 TEXT);"
      "INSERT INTO 域名(域名,后缀,长度,出售) VALUES('old.com','com',3,0);"
      "INSERT INTO 注册商 VALUES('西数');";
  ASSERT_EQ(sqlite3_exec(raw, old, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);

  auto db = openCurrentDatabase(path);
  ASSERT_TRUE(db);
  SettingsStore settings(*db);
  EXPECT_EQ(settings.read(kSettingPageSize), "100");
  EXPECT_EQ(settings.read(kSettingExpiryCheck), "");
  EXPECT_EQ(settings.read(kSettingCloseToTray), "");
  EXPECT_EQ(settings.read(kSettingCustomTitle), "");
  EXPECT_TRUE(settings.write(kSettingExpiryCheck, "1|5|0"));
  EXPECT_EQ(settings.read(kSettingExpiryCheck), "1|5|0");

  std::vector<std::string> columns;
  db->query("SELECT name FROM pragma_table_info('域名')", {},
            [&](const SqlRow& row) { columns.push_back(row.text(0)); });
  ASSERT_EQ(columns.size(), 23u);
  EXPECT_EQ(columns[18], "购买时间");
  EXPECT_EQ(columns[19], "出售时间");
  EXPECT_TRUE(db->run("UPDATE 注册商 SET 排序=1"));
  // The existing domain is counted in its groups.
  EXPECT_EQ(db->scalar("SELECT 数量 FROM 分组计数 WHERE 列='后缀' AND 名称='com'"),
            SqlValue(std::int64_t{1}));
  EXPECT_EQ(db->scalar("SELECT 域名 FROM 域名"), SqlValue(std::string("old.com")));
  EXPECT_EQ(
      db->scalar("SELECT count(*) FROM sqlite_master WHERE type='index' AND name='域名_到期时间'"),
      SqlValue(std::int64_t{1}));
  const std::string once = dumpOf(*db);
  ASSERT_TRUE(upgradeSchema(*db));
  EXPECT_EQ(dumpOf(*db), once);
}

class SettingsTest : public DatabaseTest {};

TEST_F(SettingsTest, DefaultsAndRecreatedRows) {
  SettingsStore settings(db());
  EXPECT_EQ(settings.read(kSettingPageSize), "100");
  EXPECT_EQ(settings.pageSize(), 100);
  ASSERT_TRUE(db().run("DELETE FROM 设置"));
  EXPECT_EQ(settings.read(kSettingCustomTitle), "");
  ASSERT_TRUE(upgradeSchema(db()));
  EXPECT_EQ(db().scalar("SELECT count(*) FROM 设置"),
            SqlValue(static_cast<std::int64_t>(kSettingKeys.size())));
}

TEST_F(SettingsTest, ValuesWithApostrophesAreStoredLiterally) {
  SettingsStore settings(db());
  ASSERT_TRUE(settings.write(kSettingCustomTitle, "Tom's 域名'); DROP TABLE 域名;--"));
  EXPECT_EQ(settings.read(kSettingCustomTitle), "Tom's 域名'); DROP TABLE 域名;--");
  EXPECT_TRUE(db().scalar("SELECT count(*) FROM 域名"));
}

TEST(PageSizeFromText, NonPositiveOrNonNumericIsOneHundred) {
  const std::vector<std::pair<std::string, int>> cases{
      {"50", 50}, {"", 100}, {"0", 100}, {"-5", 100}, {"abc", 100}, {"20abc", 20}, {"12.7", 12}};
  for (const auto& [text, size] : cases) EXPECT_EQ(pageSizeFromText(text), size) << text;
}

class WriterTest : public DatabaseTest {};

TEST_F(WriterTest, RowsWithInvalidValuesFailAloneAndNothingIsStoredForThem) {
  std::vector<DomainRecord> records{
      makeDomain("good.com", {{DomainField::RegisteredOn, "2017/1/3"}}),
      makeDomain("baddate.com", {{DomainField::ExpiresOn, "2017-02-30"}}),
      makeDomain("badmoney.com", {{DomainField::OneTimeCost, "12abc"}}),
      makeDomain("Good.COM"),  // same name, other case: the name is unique
      makeDomain("obrien.com", {{DomainField::Note, "O'Brien"}}),
      makeDomain("it's.com"),  // not a domain name
  };
  records.push_back(DomainRecord{});  // empty name
  std::vector<std::size_t> failed;
  const InsertSummary summary =
      insertDomains(db(), records, [&](std::size_t i, const std::string&) { failed.push_back(i); });
  EXPECT_EQ(summary.added, 2u);
  EXPECT_EQ(failed, (std::vector<std::size_t>{1, 2, 3, 5, 6}));
  EXPECT_EQ(db().scalar("SELECT 注册时间 FROM 域名 WHERE 域名='good.com'"),
            SqlValue(std::string("2017-01-03")));
  EXPECT_EQ(db().scalar("SELECT 备注 FROM 域名 WHERE 域名=?", {std::string("obrien.com")}),
            SqlValue(std::string("O'Brien")));
}

TEST_F(WriterTest, TableRefusesJunkDatesAndMoneyEvenFromRawStatements) {
  add({makeDomain("a.com")});
  EXPECT_FALSE(db().run("UPDATE 域名 SET 到期时间='tomorrow'"));
  EXPECT_FALSE(db().run("UPDATE 域名 SET 一次成本='abc'"));
  EXPECT_TRUE(db().run("UPDATE 域名 SET 到期时间=NULL, 一次成本=3.5"));
}

TEST_F(WriterTest, RecordsReadBackInTheirTextForms) {
  add({makeDomain("青禾.com", {{DomainField::OneTimeCost, "25"},
                               {DomainField::RenewalCost, "0.5"},
                               {DomainField::FinalPrice, "100"},
                               {DomainField::ExpiresOn, "2030-5-6"}})});
  DomainRecord read;
  db().query("SELECT " + domainColumnList() + " FROM 域名", {},
             [&](const SqlRow& row) { read = readDomainRecord(row); });
  EXPECT_EQ(read[DomainField::Id], "1");
  EXPECT_EQ(read[DomainField::Length], "4");
  EXPECT_EQ(read[DomainField::OneTimeCost], "25");
  EXPECT_EQ(read[DomainField::ActualCost], "25.5");
  EXPECT_EQ(read[DomainField::Profit], "74.5");
  EXPECT_EQ(read[DomainField::Sold], "TRUE");
  EXPECT_EQ(read[DomainField::ExpiresOn], "2030-05-06");
  EXPECT_EQ(read[DomainField::RegisteredOn], "");
}

TEST_F(WriterTest, WorkersShareTheConnectionSafely) {
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([this, t] {
      for (int i = 0; i < 25; ++i) {
        insertDomains(db(),
                      {makeDomain("w" + std::to_string(t) + "-" + std::to_string(i) + ".com")});
        db().scalar("SELECT count(*) FROM 域名");
      }
    });
  }
  for (auto& w : workers) w.join();
  EXPECT_EQ(db().scalar("SELECT count(*) FROM 域名"), SqlValue(std::int64_t{100}));
}

}  // namespace
}  // namespace pelmora::testing

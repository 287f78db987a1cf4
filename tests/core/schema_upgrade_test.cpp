// A file written by an earlier version gains the indexes and the last lookup's
// columns of this one once; its rows and ids stay as they were, and a current
// file is never written by being opened.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <set>

#include "store/date_store.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The indexes version 3 did not have.
const std::set<std::string> kNewIndexes{
    "域名_长度", "域名_一次成本", "域名_续费成本", "域名_实际成本",        "域名_预售底价",
    "域名_标价", "域名_最终售价", "域名_利润",     "域名_注册商_到期时间", "域名_备注"};

std::set<std::string> indexesOf(DomainDatabase& db) {
  std::set<std::string> names;
  db.query("SELECT name FROM sqlite_master WHERE type='index' AND tbl_name='域名'", {},
           [&](const SqlRow& row) { names.insert(row.text(0)); });
  return names;
}

std::vector<std::string> rowsOf(DomainDatabase& db) {
  std::vector<std::string> rows;
  db.query("SELECT " + domainColumnList() + " FROM 域名 ORDER BY id", {}, [&](const SqlRow& row) {
    std::string line;
    for (const auto& field : readDomainRecord(row).fields) line += field + ";";
    rows.push_back(line);
  });
  return rows;
}

// Version 3 had the same tables, triggers and group counts, and only the
// indexes of the grouping and date columns; version 4 added no column.
void turnIntoVersion3(const std::filesystem::path& path) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  std::string sql;
  for (const std::string& index : kNewIndexes) sql += "DROP INDEX " + index + ";";
  for (std::string_view column : kLookupColumns) {
    sql += "ALTER TABLE 域名 DROP COLUMN " + std::string(column) + ";";
  }
  sql += "DROP TABLE 已提醒; PRAGMA user_version=3;";
  EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(raw);
  sqlite3_close(raw);
}

TEST(UpgradeFromVersion3, AddsEveryNewIndexOnceKeepingRowsAndIds) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  std::vector<std::string> before;
  {
    auto db = openCurrentDatabase(path);
    ASSERT_TRUE(db);
    std::vector<DomainRecord> records;
    for (int i = 0; i < 300; ++i) {
      records.push_back(
          testDomain("d" + std::to_string(i) + ".com",
                     {{DomainField::Registrar, i % 3 == 0 ? "西数" : "爱名"},
                      {DomainField::ExpiresOn, "2030-01-0" + std::to_string(i % 9 + 1)},
                      {DomainField::AskingPrice, std::to_string(i % 17)},
                      {DomainField::Note, i % 5 == 0 ? "议价" : ""}}));
    }
    ASSERT_EQ(insertDomains(*db, records).added, records.size());
    // Gaps in the ids must survive.
    ASSERT_TRUE(db->run("DELETE FROM 域名 WHERE id % 7 = 0"));
    before = rowsOf(*db);
  }
  turnIntoVersion3(path);

  {
    auto db = openCurrentDatabase(path);
    ASSERT_TRUE(db);
    EXPECT_EQ(storedSchemaVersion(*db), kSchemaVersion);
    const std::set<std::string> indexes = indexesOf(*db);
    for (const std::string& index : kNewIndexes) EXPECT_EQ(indexes.count(index), 1u) << index;
    EXPECT_EQ(rowsOf(*db), before);
    EXPECT_EQ(db->scalar("PRAGMA integrity_check"), SqlValue(std::string("ok")));
    EXPECT_EQ(db->scalar("SELECT group_concat(name) FROM pragma_table_info('域名') WHERE cid>19"),
              SqlValue(std::string("最后查询,查询来源,域名状态")));
    EXPECT_EQ(db->count("SELECT count(*) FROM 已提醒", {}, nullptr), 0);
    // The added time column keeps its shape like the one a new file has.
    const Date expires = *parseDate("2031-01-01");
    EXPECT_TRUE(
        storeDomainDates(*db, "d1.com", std::nullopt, expires, {"2026-12-11 08:00:00", "", ""}).ok);
    EXPECT_FALSE(storeDomainDates(*db, "d2.com", std::nullopt, expires, {"2026-12-11", "", ""}).ok);
    before = rowsOf(*db);
  }

  // Opening the current file again, for reading or writing, leaves it as it is.
  const std::string upgraded = readFile(path);
  for (const OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
    {
      auto db = openCurrentDatabase(path, nullptr, mode);
      ASSERT_TRUE(db);
      EXPECT_EQ(rowsOf(*db), before);
    }
    EXPECT_EQ(readFile(path), upgraded);
  }
}

}  // namespace
}  // namespace pelmora::testing

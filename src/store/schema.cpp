#include "store/schema.h"

#include <array>
#include <string_view>

#include "store/settings_store.h"

namespace pelmora {
namespace {

// 1: listing indexes; 2: group counts kept by triggers.
constexpr int kSchemaVersion = 2;

// Dates are stored as yyyy-MM-dd text or NULL; the checks keep junk out even
// if a caller forgets to validate.
#define PELMORA_DATE_CHECK(column)                                 \
  "CHECK(" column " IS NULL OR (length(" column ")=10 AND " column \
  " GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]'))"
#define PELMORA_MONEY_CHECK(column) "CHECK(typeof(" column ") IN ('real','integer','null'))"

constexpr std::string_view kCreateTables = R"sql(
CREATE TABLE 域名 (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  域名 TEXT NOT NULL UNIQUE COLLATE NOCASE CHECK(域名<>''),
  后缀 TEXT,
  长度 INTEGER,
  注册商 TEXT,
  域名类型 TEXT,
  自定义分类 TEXT,
  注册时间 TEXT )sql" PELMORA_DATE_CHECK("注册时间") R"sql(,
  到期时间 TEXT )sql" PELMORA_DATE_CHECK("到期时间") R"sql(,
  一次成本 REAL )sql" PELMORA_MONEY_CHECK("一次成本") R"sql(,
  续费成本 REAL )sql" PELMORA_MONEY_CHECK("续费成本") R"sql(,
  实际成本 REAL )sql" PELMORA_MONEY_CHECK("实际成本") R"sql(,
  预售底价 REAL )sql" PELMORA_MONEY_CHECK("预售底价") R"sql(,
  标价 REAL )sql" PELMORA_MONEY_CHECK("标价") R"sql(,
  最终售价 REAL )sql" PELMORA_MONEY_CHECK("最终售价") R"sql(,
  利润 REAL )sql" PELMORA_MONEY_CHECK("利润") R"sql(,
  出售 INTEGER CHECK(出售 IN (0,1)),
  备注 TEXT
);
CREATE TABLE 设置 (属性 TEXT, 值 TEXT);
CREATE TABLE 注册商 (注册商 TEXT);
CREATE TABLE 域名类型 (域名类型 TEXT);
CREATE TABLE 自定义分类 (自定义分类 TEXT);
)sql";

struct ColumnStep {
  std::string_view table;
  std::string_view column;
  std::string_view definition;
};

constexpr std::array<ColumnStep, 7> kColumnSteps{{
    {"设置", "属性", "属性 TEXT"},
    {"设置", "值", "值 TEXT"},
    {"注册商", "排序", "排序 INTEGER"},
    {"域名类型", "排序", "排序 INTEGER"},
    {"自定义分类", "排序", "排序 INTEGER"},
    {"域名", "购买时间", "购买时间 TEXT " PELMORA_DATE_CHECK("购买时间")},
    {"域名", "出售时间", "出售时间 TEXT " PELMORA_DATE_CHECK("出售时间")},
}};

// The columns the listing sorts and filters on most.
constexpr std::array<std::string_view, 9> kIndexedColumns{"到期时间", "注册时间",   "注册商",
                                                          "域名类型", "自定义分类", "后缀",
                                                          "出售",     "购买时间",   "出售时间"};

// The classification lists show a domain count per group. Counting a million
// rows per group at every rebuild is slow, so triggers keep the counts in
// 分组计数 as domains are added, changed and deleted, in the same transaction.
constexpr std::array<std::string_view, 4> kCountedColumns{"注册商", "域名类型", "自定义分类",
                                                          "后缀"};

std::string countTriggers(std::string_view column) {
  const std::string c(column);
  const std::string increment = "INSERT INTO 分组计数(列,名称,数量) SELECT '" + c + "', NEW." + c +
                                ", 1 WHERE NEW." + c +
                                " IS NOT NULL ON CONFLICT(列,名称) DO UPDATE SET 数量=数量+1;";
  const std::string decrement = "UPDATE 分组计数 SET 数量=数量-1 WHERE 列='" + c +
                                "' AND 名称=OLD." + c + "; DELETE FROM 分组计数 WHERE 列='" + c +
                                "' AND 名称=OLD." + c + " AND 数量<=0;";
  return "CREATE TRIGGER IF NOT EXISTS 分组计数_增_" + c + " AFTER INSERT ON 域名 BEGIN " +
         increment + " END;" + "CREATE TRIGGER IF NOT EXISTS 分组计数_删_" + c +
         " AFTER DELETE ON 域名 BEGIN " + decrement + " END;" +
         "CREATE TRIGGER IF NOT EXISTS 分组计数_改_" + c + " AFTER UPDATE OF " + c +
         " ON 域名 WHEN OLD." + c + " IS NOT NEW." + c + " BEGIN " + decrement + increment +
         " END;";
}

bool tableExists(DomainDatabase& db, std::string_view table) {
  return db.scalar("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?",
                   {std::string(table)}) == SqlValue(std::int64_t{1});
}

std::int64_t schemaVersion(DomainDatabase& db) {
  const auto value = db.scalar("PRAGMA user_version");
  const auto* version = value ? std::get_if<std::int64_t>(&*value) : nullptr;
  return version != nullptr ? *version : 0;
}

void ensureGroupCounts(DomainDatabase& db) {
  const bool fresh = !tableExists(db, "分组计数") || schemaVersion(db) < 2;
  db.transaction([&](SqliteConnection& connection) {
    connection.exec(
        "CREATE TABLE IF NOT EXISTS 分组计数 (列 TEXT NOT NULL, 名称 TEXT NOT NULL,"
        " 数量 INTEGER NOT NULL, PRIMARY KEY(列, 名称)) WITHOUT ROWID");
    for (std::string_view column : kCountedColumns) connection.exec(countTriggers(column));
    if (fresh) {
      connection.exec("DELETE FROM 分组计数");
      for (std::string_view column : kCountedColumns) {
        const std::string c(column);
        connection.exec("INSERT INTO 分组计数(列,名称,数量) SELECT '" + c + "', " + c +
                        ", count(*) FROM 域名 WHERE " + c + " IS NOT NULL GROUP BY " + c);
      }
    }
    return true;
  });
}

bool hasColumn(DomainDatabase& db, std::string_view table, std::string_view column) {
  bool found = false;
  // Table names come from the fixed list above, never from input.
  db.query("SELECT name FROM pragma_table_info(?)", {std::string(table)},
           [&](const SqlRow& row) { found = found || row.text(0) == column; });
  return found;
}

}  // namespace

bool createTables(SqliteConnection& connection) {
  if (!connection.exec("BEGIN")) return false;
  if (connection.exec(kCreateTables) && connection.exec("COMMIT")) return true;
  connection.exec("ROLLBACK");
  return false;
}

void upgradeSchema(DomainDatabase& db) {
  for (const ColumnStep& step : kColumnSteps) {
    if (!hasColumn(db, step.table, step.column)) {
      db.run("ALTER TABLE " + std::string(step.table) + " ADD COLUMN " +
             std::string(step.definition));
    }
  }
  db.run("CREATE UNIQUE INDEX IF NOT EXISTS 设置_属性 ON 设置(属性)");
  for (std::string_view key : kSettingKeys) {
    db.run("INSERT INTO 设置(属性) SELECT ?1 WHERE NOT EXISTS (SELECT 1 FROM 设置 WHERE 属性=?1)",
           {std::string(key)});
  }
  for (std::string_view column : kIndexedColumns) {
    const std::string name(column);
    db.run("CREATE INDEX IF NOT EXISTS 域名_" + name + " ON 域名(" + name + ")");
  }
  ensureGroupCounts(db);
  db.run("PRAGMA user_version=" + std::to_string(kSchemaVersion));
}

std::unique_ptr<DomainDatabase> openCurrentDatabase(const std::filesystem::path& path,
                                                    std::string* error) {
  auto db = DomainDatabase::open(path, error);
  if (db) upgradeSchema(*db);
  return db;
}

}  // namespace pelmora

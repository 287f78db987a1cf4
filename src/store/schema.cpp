#include "store/schema.h"

#include <array>
#include <string_view>

#include "store/domain_record.h"
#include "store/settings_store.h"
#include "store/upgrade_backup.h"

namespace pelmora {
namespace {

// Versions: 1 listing indexes; 2 group counts kept by triggers; 3 registrar,
// type, category and suffix compare without case; 4 an index for every sort
// key and one for registrar with expiry date; 5 the last lookup's answer
// (最后查询, 查询来源, 域名状态).

// Dates are stored as yyyy-MM-dd text or NULL; the checks keep junk out even
// if a caller forgets to validate.
#define PELMORA_DATE_CHECK(column)                                 \
  "CHECK(" column " IS NULL OR (length(" column ")=10 AND " column \
  " GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]'))"
// The time of the last lookup: UTC, yyyy-MM-dd HH:mm:ss.
#define PELMORA_TIME_CHECK(column)                                 \
  "CHECK(" column " IS NULL OR (length(" column ")=19 AND " column \
  " GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'))"
#define PELMORA_MONEY_CHECK(column) "CHECK(typeof(" column ") IN ('real','integer','null'))"

// The domain table after its name; shared by creation and the rebuild that
// changes the group columns' collation.
constexpr std::string_view kDomainTableBody = R"sql( (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  域名 TEXT NOT NULL UNIQUE COLLATE NOCASE CHECK(域名<>''),
  后缀 TEXT COLLATE NOCASE,
  长度 INTEGER,
  注册商 TEXT COLLATE NOCASE,
  域名类型 TEXT COLLATE NOCASE,
  自定义分类 TEXT COLLATE NOCASE,
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
  备注 TEXT,
  购买时间 TEXT )sql" PELMORA_DATE_CHECK("购买时间") R"sql(,
  出售时间 TEXT )sql" PELMORA_DATE_CHECK("出售时间") R"sql(,
  最后查询 TEXT )sql" PELMORA_TIME_CHECK("最后查询") R"sql(,
  查询来源 TEXT,
  域名状态 TEXT
))sql";

constexpr std::string_view kOtherTables = R"sql(
CREATE TABLE 设置 (属性 TEXT, 值 TEXT);
CREATE TABLE 注册商 (注册商 TEXT, 排序 INTEGER);
CREATE TABLE 域名类型 (域名类型 TEXT, 排序 INTEGER);
CREATE TABLE 自定义分类 (自定义分类 TEXT, 排序 INTEGER);
)sql";

// The expiry reminders already given, per domain, reminder (已到期, 3日内到期,
// ...) and source ('cli' for `expiring --new`), with the expiry date each was
// given for: a domain renewed since then is reminded again.
constexpr std::string_view kReminderTableBody = R"sql( 已提醒 (
  域名 TEXT NOT NULL COLLATE NOCASE,
  提醒 TEXT NOT NULL,
  来源 TEXT NOT NULL,
  到期时间 TEXT )sql" PELMORA_DATE_CHECK("到期时间") R"sql(,
  时间 TEXT )sql" PELMORA_TIME_CHECK("时间") R"sql(,
  PRIMARY KEY(域名, 提醒, 来源)
) WITHOUT ROWID)sql";

// A new inventory starts with the lists the examples of the batch-add and advanced-modify windows
// use, so that pasting them works before anything has been set up.
constexpr std::string_view kStarterLists = R"sql(
INSERT INTO 注册商 VALUES ('西数', 1), ('爱名', 2), ('易名', 3);
INSERT INTO 域名类型 VALUES ('3数字', 1), ('4数字', 2), ('双拼', 3), ('三拼', 4);
INSERT INTO 自定义分类 VALUES ('已挂一口价', 1), ('自用', 2), ('三拼', 3);
)sql";

struct ColumnStep {
  std::string_view table;
  std::string_view column;
  std::string_view definition;
};

// Columns older files may lack.
constexpr std::array<ColumnStep, 10> kColumnSteps{{
    {"设置", "属性", "属性 TEXT"},
    {"设置", "值", "值 TEXT"},
    {"注册商", "排序", "排序 INTEGER"},
    {"域名类型", "排序", "排序 INTEGER"},
    {"自定义分类", "排序", "排序 INTEGER"},
    {"域名", "购买时间", "购买时间 TEXT " PELMORA_DATE_CHECK("购买时间")},
    {"域名", "出售时间", "出售时间 TEXT " PELMORA_DATE_CHECK("出售时间")},
    {"域名", "最后查询", "最后查询 TEXT " PELMORA_TIME_CHECK("最后查询")},
    {"域名", "查询来源", "查询来源 TEXT"},
    {"域名", "域名状态", "域名状态 TEXT"},
}};

// Every column the listing sorts by has an index, so a page anywhere in the
// listing is cut from the narrow (key, id) index instead of a sort of the
// table; the index on 备注 also serves note searches, which scan it instead of
// the table. 域名 has its unique index, id the table itself.
constexpr std::array<std::string_view, 18> kIndexedColumns{
    "到期时间", "注册时间", "注册商",   "域名类型", "自定义分类", "后缀",
    "出售",     "购买时间", "出售时间", "长度",     "一次成本",   "续费成本",
    "实际成本", "预售底价", "标价",     "最终售价", "利润",       "备注"};

// The filter's most common pair: one registrar holds a large share of the
// rows, so a date range alone or the registrar alone leaves many rows to test.
constexpr std::string_view kRegistrarExpiryIndex =
    "CREATE INDEX IF NOT EXISTS 域名_注册商_到期时间 ON 域名(注册商, 到期时间)";

// The classification lists show a domain count per group. Counting a million
// rows per group at every rebuild is slow, so triggers keep the counts in
// 分组计数 as domains are added, changed and deleted, in the same transaction.
// Like the columns, the group names compare without case.
constexpr std::array<std::string_view, 4> kCountedColumns{"注册商", "域名类型", "自定义分类",
                                                          "后缀"};

constexpr std::string_view kCountTable =
    "CREATE TABLE 分组计数 (列 TEXT NOT NULL, 名称 TEXT NOT NULL COLLATE NOCASE,"
    " 数量 INTEGER NOT NULL, PRIMARY KEY(列, 名称)) WITHOUT ROWID";

// Column names below come from the fixed lists above, never from input.
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

// Runs the statements in order; stops at the first that fails.
class Steps {
 public:
  explicit Steps(SqliteConnection& connection) : connection_(connection) {}
  Steps& run(const std::string& sql) {
    if (ok_ && !connection_.exec(sql)) noteFailure(sql);
    return *this;
  }
  Steps& run(const std::string& sql, const SqlParams& params) {
    if (!ok_) return *this;
    SqliteStatement statement = connection_.prepare(sql);
    if (statement.valid() && statement.bind(params)) {
      while (statement.step()) {
      }
    }
    if (!statement.valid() || statement.failed()) noteFailure(sql);
    return *this;
  }
  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }

 private:
  void noteFailure(const std::string& sql) {
    ok_ = false;
    error_ = connection_.lastError() + " (" + sql.substr(0, 80) + ")";
  }

  SqliteConnection& connection_;
  bool ok_ = true;
  std::string error_;
};

bool hasColumn(SqliteConnection& connection, std::string_view table, std::string_view column) {
  return !connection.columnCollation(std::string(table), std::string(column)).empty();
}

bool comparesWithoutCase(SqliteConnection& connection, std::string_view table,
                         std::string_view column) {
  return connection.columnCollation(std::string(table), std::string(column)) == "NOCASE";
}

void createIndexes(Steps& steps) {
  for (std::string_view column : kIndexedColumns) {
    const std::string name(column);
    steps.run("CREATE INDEX IF NOT EXISTS 域名_" + name + " ON 域名(" + name + ")");
  }
  steps.run(std::string(kRegistrarExpiryIndex));
}

// SQLite cannot change a column's collation in place: the table is copied
// into one of the current shape. Ids and the AUTOINCREMENT high-water mark
// are kept, so no id is ever handed out twice.
void rebuildDomainTable(Steps& steps) {
  const std::string columns = domainColumnListWithLookup();
  steps.run("CREATE TEMP TABLE 旧序号 AS SELECT seq FROM sqlite_sequence WHERE name='域名'")
      .run("CREATE TABLE 域名_新" + std::string(kDomainTableBody))
      .run("INSERT INTO 域名_新(" + columns + ") SELECT " + columns + " FROM 域名")
      .run("DROP TABLE 域名")
      .run("ALTER TABLE 域名_新 RENAME TO 域名")
      .run(
          "UPDATE sqlite_sequence SET seq=max(seq, (SELECT ifnull(max(seq),0) FROM temp.旧序号))"
          " WHERE name='域名'")
      .run(
          "INSERT INTO sqlite_sequence(name, seq) SELECT '域名', seq FROM temp.旧序号"
          " WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name='域名')")
      .run("DROP TABLE temp.旧序号");
}

void rebuildGroupCounts(Steps& steps) {
  steps.run("DROP TABLE IF EXISTS 分组计数").run(std::string(kCountTable));
  for (std::string_view column : kCountedColumns) {
    const std::string c(column);
    steps.run("INSERT INTO 分组计数(列,名称,数量) SELECT '" + c + "', min(" + c +
              "), count(*) FROM 域名 WHERE " + c + " IS NOT NULL GROUP BY " + c);
  }
}

void upgradeSteps(SqliteConnection& connection, Steps& steps) {
  for (const ColumnStep& step : kColumnSteps) {
    if (!hasColumn(connection, step.table, step.column)) {
      steps.run("ALTER TABLE " + std::string(step.table) + " ADD COLUMN " +
                std::string(step.definition));
    }
  }
  // The settings keys become unique; of duplicate rows left by old files the
  // first one is the one that was always read.
  steps
      .run(
          "DELETE FROM 设置 WHERE 属性 IS NOT NULL AND rowid NOT IN"
          " (SELECT min(rowid) FROM 设置 GROUP BY 属性)")
      .run("CREATE UNIQUE INDEX IF NOT EXISTS 设置_属性 ON 设置(属性)");
  for (std::string_view key : kSettingKeys) {
    steps.run(
        "INSERT INTO 设置(属性) SELECT ?1 WHERE NOT EXISTS (SELECT 1 FROM 设置 WHERE 属性=?1)",
        {std::string(key)});
  }
  bool groupsWithoutCase = true;
  for (std::string_view column : kCountedColumns) {
    groupsWithoutCase = groupsWithoutCase && comparesWithoutCase(connection, "域名", column);
  }
  if (steps.ok() && !groupsWithoutCase) rebuildDomainTable(steps);
  createIndexes(steps);
  if (steps.ok() && !comparesWithoutCase(connection, "分组计数", "名称")) rebuildGroupCounts(steps);
  for (std::string_view column : kCountedColumns) steps.run(countTriggers(column));
  steps.run("CREATE TABLE IF NOT EXISTS" + std::string(kReminderTableBody));
  steps.run("PRAGMA user_version=" + std::to_string(kSchemaVersion));
}

}  // namespace

Result<void> createCurrentSchema(SqliteConnection& connection) {
  Steps steps(connection);
  steps.run("BEGIN IMMEDIATE");
  if (!steps.ok()) return Failure{steps.error()};
  steps.run("CREATE TABLE 域名" + std::string(kDomainTableBody))
      .run(std::string(kOtherTables))
      .run("CREATE TABLE" + std::string(kReminderTableBody))
      .run(std::string(kStarterLists));
  upgradeSteps(connection, steps);
  if (steps.ok()) steps.run("COMMIT");
  if (!steps.ok()) {
    if (connection.inTransaction()) connection.exec("ROLLBACK");
    return Failure{steps.error()};
  }
  return {};
}

Result<int> storedSchemaVersion(DomainDatabase& db) {
  std::string error;
  const auto version = db.count("PRAGMA user_version", {}, &error);
  if (!version) return Failure{error};
  return static_cast<int>(*version);
}

namespace {

// An older file is copied as it is before the first step changes it, under
// the write lock the upgrade has just taken.
bool backUpOlderFile(SqliteConnection& connection, DomainDatabase& db, std::string* error) {
  SqliteStatement version = connection.prepare("PRAGMA user_version");
  if (!version.step()) {
    *error = "cannot read the version: " + connection.lastError();
    return false;
  }
  if (version.row().integer(0) >= kSchemaVersion) return true;
  const auto backup = writeUpgradeBackup(db, Clock::system().today());
  *error = backup.error();
  return backup.ok();
}

}  // namespace

Result<void> upgradeSchema(DomainDatabase& db) {
  std::string reason;
  std::string backupFailure;
  // The backup is known by the bytes it was made from: the log's committed
  // pages go into the file first, so that after an upgrade that failed the
  // file shows the same bytes again. Where a reader holds the log, it stays.
  db.withConnection(
      [](SqliteConnection& connection) { connection.exec("PRAGMA wal_checkpoint(TRUNCATE)"); });
  const bool ok = db.transaction(
      [&](SqliteConnection& connection) {
        if (!backUpOlderFile(connection, db, &backupFailure)) return false;
        Steps steps(connection);
        upgradeSteps(connection, steps);
        reason = steps.error();
        return steps.ok();
      },
      &reason);
  if (!ok) {
    return Failure{"cannot upgrade the database: " +
                   (backupFailure.empty() ? reason : backupFailure)};
  }
  return {};
}

std::unique_ptr<DomainDatabase> openCurrentDatabase(const std::filesystem::path& path,
                                                    std::string* error, OpenMode mode,
                                                    const UpgradeNotice& notice,
                                                    OpenProblem* problem, Opener opener) {
  if (problem != nullptr) *problem = OpenProblem::Other;
  auto db = DomainDatabase::open(path, error, mode, problem, opener);
  if (!db) return nullptr;
  const auto version = storedSchemaVersion(*db);
  if (!version) {
    if (error != nullptr) *error = version.error();
    return nullptr;
  }
  if (*version >= kSchemaVersion) {
    if (mode == OpenMode::ReadWrite) db->useWriteAheadLog();
    return db;
  }
  if (mode == OpenMode::ReadOnly) {
    db.reset();
    if (!openCurrentDatabase(path, error, OpenMode::ReadWrite, notice, problem)) return nullptr;
    return DomainDatabase::open(path, error, OpenMode::ReadOnly, problem);
  }
  // The upgrade takes the write lock once, waiting only briefly for another
  // program that holds the file.
  db->setBusyTimeout(kOpenBusyTimeoutMs);
  if (notice) notice();
  if (const auto upgraded = upgradeSchema(*db); !upgraded) {
    if (error != nullptr) *error = upgraded.error();
    return nullptr;
  }
  db->setBusyTimeout(kBusyTimeoutMs);
  db->useWriteAheadLog();
  return db;
}

}  // namespace pelmora

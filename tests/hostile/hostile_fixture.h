#pragma once

// A small inventory every hostile case starts from, and the checks every case
// ends with: the schema as it was, every row the entry point was not asked to
// change byte for byte as it was, and the value either stored exactly or
// refused with a reason.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "../core/test_db.h"
#include "hostile_corpus.h"
#include "store/classification_lists.h"
#include "store/domain_record.h"
#include "support/dates.h"
#include "support/numbers.h"

namespace pelmora::testing {

inline constexpr const char* kTargetDomain = "target.com";

// Everything in the file that can be compared: the schema, each domain row
// (every column, with its type) and the rows of the other tables.
struct DatabaseState {
  std::string schema;
  std::map<std::int64_t, std::string> domains;     // id -> every column
  std::map<std::string, std::string> otherTables;  // table -> its rows
};

inline std::string fingerprintSql(const std::vector<std::string>& columns) {
  std::string sql;
  for (const std::string& column : columns) {
    if (!sql.empty()) sql += "||'|'||";
    sql += "typeof(" + column + ")||':'||hex(" + column + ")";
  }
  return sql;
}

inline DatabaseState readState(DomainDatabase& db) {
  DatabaseState state;
  std::string error;
  EXPECT_TRUE(db.query(
      "SELECT type, name, tbl_name, coalesce(sql,'') FROM sqlite_master ORDER BY type, name", {},
      [&](const SqlRow& row) {
        for (int k = 0; k < 4; ++k) state.schema += row.text(k) + "\n";
      },
      &error))
      << error;
  std::vector<std::string> columns(kDomainColumns.begin(), kDomainColumns.end());
  EXPECT_TRUE(db.query(
      "SELECT id, " + fingerprintSql(columns) + " FROM 域名", {},
      [&](const SqlRow& row) { state.domains[row.integer(0)] = row.text(1); }, &error))
      << error;
  for (const char* table : {"注册商", "域名类型", "自定义分类", "设置"}) {
    std::vector<std::string> names;
    EXPECT_TRUE(db.query(
        std::string("SELECT name FROM pragma_table_info('") + table + "')", {},
        [&](const SqlRow& row) { names.push_back(row.text(0)); }, &error))
        << error;
    std::string rows;
    EXPECT_TRUE(db.query(
        "SELECT " + fingerprintSql(names) + " AS f FROM " + table + " ORDER BY f", {},
        [&](const SqlRow& row) { rows += row.text(0) + "\n"; }, &error))
        << error;
    state.otherTables[table] = rows;
  }
  return state;
}

// What may differ between two states after one case.
struct AllowedChange {
  std::set<std::int64_t> domainRows;  // ids of rows the entry point was asked to change
  bool newDomainRow = false;          // one row may have been added
  std::string table;                  // one other table that may change
};

inline void expectOnlyAllowedChanges(const DatabaseState& before, const DatabaseState& after,
                                     const AllowedChange& allowed) {
  EXPECT_EQ(after.schema, before.schema) << "the schema changed";
  for (const auto& [id, row] : before.domains) {
    const auto found = after.domains.find(id);
    ASSERT_NE(found, after.domains.end()) << "row " << id << " is gone";
    if (!allowed.domainRows.contains(id)) {
      EXPECT_EQ(found->second, row) << "row " << id << " changed";
    }
  }
  std::size_t added = 0;
  for (const auto& [id, row] : after.domains) added += before.domains.contains(id) ? 0 : 1;
  EXPECT_LE(added, allowed.newDomainRow ? 1u : 0u) << "unexpected new rows";
  for (const auto& [table, rows] : before.otherTables) {
    if (table != allowed.table) {
      EXPECT_EQ(after.otherTables.at(table), rows) << table << " changed";
    }
  }
}

// How a stored value must read back.
enum class ValueKind { Text, Number, Date };

inline ValueKind kindOf(DomainField field) {
  if (isMoneyField(field) || field == DomainField::Length || field == DomainField::Sold) {
    return ValueKind::Number;
  }
  if (isDateField(field)) return ValueKind::Date;
  return ValueKind::Text;
}

// A text column holds exactly `expected`; a number column a finite number; a
// date yyyy-MM-dd or nothing.
inline void expectStoredAs(ValueKind kind, const SqlValue& stored, const std::string& expected) {
  switch (kind) {
    case ValueKind::Text: {
      const auto* text = std::get_if<std::string>(&stored);
      ASSERT_NE(text, nullptr) << "not stored as text";
      EXPECT_EQ(*text, expected) << "stored differently from what was typed";
      break;
    }
    case ValueKind::Number:
      EXPECT_TRUE(std::holds_alternative<double>(stored) ||
                  std::holds_alternative<std::int64_t>(stored))
          << "an amount stored as something else";
      if (const auto* real = std::get_if<double>(&stored)) {
        EXPECT_TRUE(std::isfinite(*real));
      }
      break;
    case ValueKind::Date:
      if (std::holds_alternative<std::monostate>(stored)) break;
      {
        const auto* text = std::get_if<std::string>(&stored);
        ASSERT_NE(text, nullptr) << "a date stored as something else";
        const auto date = parseDate(*text);
        ASSERT_TRUE(date.has_value()) << "not a date: " << *text;
        EXPECT_EQ(formatDate(*date), *text);
      }
      break;
  }
}

class HostileTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    // Nothing here needs to survive a power cut; waiting for the disk would
    // only slow the hundreds of cases down.
    ASSERT_TRUE(db().run("PRAGMA synchronous=OFF"));
    addEntry("注册商", "西数", 1);
    addEntry("注册商", "阿里", 2);
    addEntry("域名类型", "双拼", 1);
    addEntry("自定义分类", "精品", 1);
    add({makeDomain("a.com", {{DomainField::Registrar, "西数"},
                              {DomainField::DomainType, "双拼"},
                              {DomainField::RegisteredOn, "2020-01-02"},
                              {DomainField::ExpiresOn, "2030-01-02"},
                              {DomainField::OneTimeCost, "55.5"},
                              {DomainField::Note, "备注 a"},
                              {DomainField::PurchasedOn, "2020-01-02"}}),
         makeDomain(kTargetDomain, {{DomainField::Registrar, "西数"},
                                    {DomainField::Category, "精品"},
                                    {DomainField::OneTimeCost, "50"},
                                    {DomainField::FinalPrice, "300"},
                                    {DomainField::Note, "target"},
                                    {DomainField::SoldOn, "2021-03-04"}}),
         makeDomain("b.net", {{DomainField::Note, "'quoted' %_"}})});
    ASSERT_TRUE(lists_.rebuild(db()));
    targetId_ = idOf(kTargetDomain);
    before_ = readState(db());
  }

  std::int64_t idOf(const std::string& domain) {
    std::int64_t id = -1;
    db().query("SELECT id FROM 域名 WHERE 域名=?", {domain},
               [&](const SqlRow& row) { id = row.integer(0); });
    return id;
  }

  // The stored value of one column of the row `id`.
  SqlValue storedValue(std::int64_t id, DomainField field) {
    SqlValue value;
    EXPECT_TRUE(db().query("SELECT " + std::string(columnName(field)) + " FROM 域名 WHERE id=?",
                           {id}, [&](const SqlRow& row) { value = row.value(0); }));
    return value;
  }

  // The row added by the case, if any.
  std::optional<std::int64_t> addedRow() {
    for (const auto& [id, row] : readState(db()).domains) {
      if (!before_.domains.contains(id)) return id;
    }
    return std::nullopt;
  }

  DomainRecord targetRecord() {
    DomainRecord record;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE id=?", {targetId_},
               [&](const SqlRow& row) { record = readDomainRecord(row); });
    return record;
  }

  void expectOnly(const AllowedChange& allowed) {
    expectOnlyAllowedChanges(before_, readState(db()), allowed);
  }
  // The state the next case is compared with.
  void rebase() { before_ = readState(db()); }
  void expectTargetUnchanged() {
    const DatabaseState now = readState(db());
    EXPECT_EQ(now.domains.at(targetId_), before_.domains.at(targetId_));
  }

  ClassificationLists lists_;
  std::int64_t targetId_ = -1;
  DatabaseState before_;
};

// "label" for SCOPED_TRACE and test names.
inline std::string caseName(const HostileText& text) { return text.label; }

}  // namespace pelmora::testing

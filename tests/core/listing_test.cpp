#include "store/listing.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <random>

#include "test_db.h"

namespace pelmora::testing {
namespace {

TEST(PageArithmetic, PageCountAndCaption) {
  const std::vector<std::tuple<std::int64_t, int, std::int64_t>> cases{
      {0, 100, 1},   {100, 100, 1}, {101, 100, 2}, {250, 100, 3},
      {300, 100, 3}, {1, 1, 1},     {7, 2, 4}};
  for (const auto& [total, size, pages] : cases) {
    EXPECT_EQ(pageCountFor(total, size), pages) << total << "/" << size;
  }
  EXPECT_EQ(pageCaption(250, 3), "翻页,总数[250]个,共[3]页");
  EXPECT_EQ(pageCaption(0, 1), "翻页,总数[0]个,共[1]页");
}

TEST(GridColumns, TitlesWidthsTypesAndReadOnlyCells) {
  const auto& columns = gridColumns();
  EXPECT_EQ(columns[0].title, "选");
  EXPECT_EQ(columns[0].width, 23);
  EXPECT_EQ(columns[0].type, CellType::CheckBox);
  EXPECT_EQ(columns[13].title, "对外标价");
  EXPECT_EQ(columns[17].width, 110);
  EXPECT_EQ(columns[4].type, CellType::DropDown);
  EXPECT_EQ(columns[19].type, CellType::Date);
  std::vector<int> readOnly;
  for (int k = 0; k < kDomainFieldCount; ++k) {
    if (isReadOnlyColumn(k)) readOnly.push_back(k);
  }
  EXPECT_EQ(readOnly, (std::vector<int>{1, 2, 3, 11, 15, 16}));
}

TEST(SortKeys, HeaderTitlesMapToColumns) {
  EXPECT_EQ(sortKeyForHeader("对外标价"), "标价");
  EXPECT_EQ(sortKeyForHeader("到期时间"), "到期时间");
  EXPECT_EQ(sortKeyForHeader("选"), std::nullopt);
  EXPECT_TRUE(isSortKey("id"));
  EXPECT_TRUE(isSortKey("备注"));
  EXPECT_FALSE(isSortKey("对外标价"));
  EXPECT_FALSE(isSortKey("id; DROP TABLE 域名"));
}

TEST(DisplayTexts, CellsShowWhatTheGridShows) {
  DomainRecord r;
  r[DomainField::Name] = "abc.com";
  r[DomainField::Registrar] = "-";
  r[DomainField::DomainType] = "双拼";
  r[DomainField::OneTimeCost] = "12.345";
  r[DomainField::RenewalCost] = "25";
  r[DomainField::ActualCost] = "";
  r[DomainField::ExpiresOn] = "2030-05-06";
  r[DomainField::RegisteredOn] = "";
  r[DomainField::Sold] = "TRUE";
  r[DomainField::Note] = "n";
  const auto texts = displayTexts(r);
  EXPECT_EQ(texts[0], "");
  EXPECT_EQ(texts[1], "abc.com");
  EXPECT_EQ(texts[4], "");
  EXPECT_EQ(texts[5], "双拼");
  EXPECT_EQ(texts[9], "12.35");
  EXPECT_EQ(texts[10], "25");
  EXPECT_EQ(texts[11], "0");
  EXPECT_EQ(texts[7], "");
  EXPECT_EQ(texts[8], "2030-05-06");
  EXPECT_EQ(texts[16], "1");
  r[DomainField::Sold] = "something";
  EXPECT_EQ(displayTexts(r)[16], "0");
}

// Pages are compared with a listing sorted in memory: key descending, NULL
// keys last, ties by id descending, cut into pages.
class PagingTest : public DatabaseTest {
 protected:
  void fill(int count) {
    std::mt19937 random(7);
    std::vector<DomainRecord> records;
    for (int i = 0; i < count; ++i) {
      const bool noDate = random() % 5 == 0;
      records.push_back(makeDomain(
          "d" + std::to_string(i) + ".com",
          {{DomainField::ExpiresOn, noDate ? "" : "2020-01-" + std::to_string(1 + random() % 9)},
           {DomainField::Note, std::string(1, static_cast<char>('a' + random() % 4))},
           {DomainField::OneTimeCost, std::to_string(random() % 7)}}));
    }
    add(records);
    all_.clear();
    db().query("SELECT " + domainColumnList() + " FROM 域名", {},
               [&](const SqlRow& row) { all_.push_back(readDomainRecord(row)); });
  }

  std::vector<std::string> expectedPage(DomainField key, int size, int page) {
    auto rows = all_;
    const auto idOf = [](const DomainRecord& r) { return std::stoll(r[DomainField::Id]); };
    std::stable_sort(rows.begin(), rows.end(), [&](const DomainRecord& a, const DomainRecord& b) {
      const std::string& ka = a[key];
      const std::string& kb = b[key];
      if (ka.empty() != kb.empty()) return kb.empty();  // NULL keys last
      if (ka != kb) {
        if (key == DomainField::OneTimeCost || key == DomainField::Id) {
          return std::stod(ka) > std::stod(kb);
        }
        return ka > kb;
      }
      return idOf(a) > idOf(b);
    });
    std::vector<std::string> names;
    for (std::size_t i = static_cast<std::size_t>((page - 1) * size);
         i < rows.size() && i < static_cast<std::size_t>(page * size); ++i) {
      names.push_back(rows[i][DomainField::Name]);
    }
    return names;
  }

  std::vector<std::string> loadedPage(DomainField key, int size, int page) {
    const ListingPage listing = loadListing(db(), {}, {size, page, std::string(columnName(key))});
    std::vector<std::string> names;
    for (const auto& r : listing.rows) names.push_back(r[DomainField::Name]);
    return names;
  }

  std::vector<DomainRecord> all_;
};

TEST_F(PagingTest, EveryPageOfEveryKeyMatchesTheSortedListing) {
  fill(250);
  for (DomainField key :
       {DomainField::Id, DomainField::ExpiresOn, DomainField::Note, DomainField::OneTimeCost}) {
    for (int size : {100, 7}) {
      const int pages = static_cast<int>(pageCountFor(250, size));
      for (int page = 1; page <= pages; ++page) {
        ASSERT_EQ(loadedPage(key, size, page), expectedPage(key, size, page))
            << columnName(key) << " size " << size << " page " << page;
      }
    }
  }
}

TEST_F(PagingTest, PageSizesAroundTheTotal) {
  fill(101);
  EXPECT_EQ(loadListing(db(), {}, {101, 1, "id"}).rows.size(), 101u);
  const ListingPage second = loadListing(db(), {}, {100, 2, "id"});
  EXPECT_EQ(second.pageCount, 2);
  ASSERT_EQ(second.rows.size(), 1u);
  EXPECT_EQ(second.rows[0][DomainField::Id], "1");
  // A page past the end shows the last page.
  EXPECT_EQ(loadListing(db(), {}, {100, 9, "id"}).page, 2);
}

TEST_F(PagingTest, ThreePagesOfTwoHundredFifty) {
  fill(250);
  const ListingPage third = loadListing(db(), {}, {100, 3, "id"});
  EXPECT_EQ(third.total, 250);
  EXPECT_EQ(third.pageCount, 3);
  EXPECT_EQ(third.rows.size(), 50u);
  EXPECT_EQ(third.rows.front()[DomainField::Id], "50");
  EXPECT_EQ(third.rows.back()[DomainField::Id], "1");
}

TEST_F(PagingTest, RowsHandedOnAsTheyAreReadComeInOrderAndStopWhenAsked) {
  fill(250);
  ListingPage head;
  std::vector<std::string> ids;
  const std::string error = forEachListingRow(
      db(), {}, {100, 3, "id"}, [&](const ListingPage& counted) { head = counted; },
      [&](const DomainRecord& record) {
        ids.push_back(record[DomainField::Id]);
        return ids.size() < 3;
      });
  EXPECT_EQ(error, "");
  EXPECT_EQ(head.total, 250);
  EXPECT_EQ(head.page, 3);
  EXPECT_EQ(ids, (std::vector<std::string>{"50", "49", "48"}));
}

TEST_F(PagingTest, EmptyListingAndUnsafeSortKey) {
  const ListingPage empty = loadListing(db(), {}, {100, 1, "id"});
  EXPECT_TRUE(empty.ok());
  EXPECT_EQ(empty.total, 0);
  EXPECT_EQ(empty.pageCount, 1);
  EXPECT_TRUE(empty.rows.empty());
  fill(3);
  const ListingPage unsafe = loadListing(db(), {}, {100, 1, "id desc; DELETE FROM 域名"});
  EXPECT_FALSE(unsafe.ok());
  EXPECT_TRUE(unsafe.rows.empty());
  EXPECT_FALSE(loadPageRows(db(), {}, {100, 1, "id desc; DELETE FROM 域名"}, 3).ok());
  EXPECT_EQ(countDomains(db(), {}), 3);
}

TEST_F(PagingTest, FailingConditionIsAnErrorNotAnEmptyListing) {
  fill(3);
  const SqlCondition broken{"no_such_column = ?", {std::int64_t{1}}};
  const auto count = countDomains(db(), broken);
  EXPECT_FALSE(count);
  EXPECT_NE(count.error().find("no_such_column"), std::string::npos) << count.error();
  EXPECT_FALSE(countListing(db(), broken));
  const ListingPage listing = loadListing(db(), broken, {100, 1, "id"});
  EXPECT_FALSE(listing.ok());
  EXPECT_TRUE(listing.rows.empty());
  const PageRows rows = loadPageRows(db(), broken, {100, 1, "id"}, 3);
  EXPECT_FALSE(rows.ok());
  EXPECT_FALSE(listDomainNames(db(), broken));
}

// Rows move in or out of the filter between the count and a page read from
// the far end: the page must still be exactly the page of the current rows.
TEST_F(PagingTest, AFarPageIsRightAfterTheTotalWentStale) {
  fill(250);
  const auto counted = countListing(db(), {});
  ASSERT_TRUE(counted);
  ASSERT_EQ(counted->rows, 250);
  struct Change {
    const char* what;
    const char* sql;
  };
  const std::vector<Change> changes{
      {"rows removed", "DELETE FROM 域名 WHERE id > 240"},
      {"rows added", "INSERT INTO 域名(域名) VALUES('new1.com'),('new2.com'),('new3.com')"},
  };
  for (const Change& change : changes) {
    ASSERT_TRUE(db().run(change.sql)) << change.what;
    all_.clear();
    db().query("SELECT " + domainColumnList() + " FROM 域名", {},
               [&](const SqlRow& row) { all_.push_back(readDomainRecord(row)); });
    for (const ListingTotal& total : {*counted, ListingTotal(counted->rows)}) {
      for (int page : {2, 3}) {
        const PageRows rows = loadPageRows(db(), {}, {100, page, "id"}, total);
        ASSERT_TRUE(rows.ok()) << rows.error;
        std::vector<std::string> names;
        for (const auto& r : rows.rows) names.push_back(r[DomainField::Name]);
        EXPECT_EQ(names, expectedPage(DomainField::Id, 100, page))
            << change.what << ", page " << page;
        // Only a page read from the far end needs, and so takes, a fresh total.
        if (page == 3) {
          EXPECT_EQ(rows.total, static_cast<std::int64_t>(all_.size())) << change.what;
        }
      }
    }
  }
}

// Every sort key, compared with the stored values sorted in memory the way
// SQLite orders them: NULL keys last, numbers before texts (descending: texts
// first), texts by the column's collation, ties by id descending.
class EverySortKeyTest : public DatabaseTest {
 protected:
  void fillVaried(int count) {
    std::mt19937 random(11);
    const std::vector<std::string> texts{"",          "abc", "ABC",  "Abd",  "议价",
                                         "急售 议价", "a_b", "100%", "c\\d", "zz"};
    const std::vector<std::string> dates{"2020-01-01", "2020-01-02", "2031-12-31"};
    const auto pick = [&](const std::vector<std::string>& pool) -> SqlValue {
      const auto n = random() % (pool.size() + 1);
      if (n == pool.size()) return SqlValue();
      return pool[n];
    };
    const auto money = [&]() -> SqlValue {
      const auto n = random() % 5;
      if (n == 0) return SqlValue();
      return static_cast<double>(n) * 1.5 - 3.0;
    };
    for (int i = 0; i < count; ++i) {
      const std::string name = (i % 3 == 0 ? "Name" : "name") + std::to_string(i % 40) +
                               (i % 2 == 0 ? "x.com" : "y.COM");
      const SqlValue length = random() % 4 == 0 ? SqlValue() : SqlValue(std::int64_t(random() % 4));
      const SqlValue sold = random() % 5 == 0 ? SqlValue() : SqlValue(std::int64_t(random() % 2));
      ASSERT_TRUE(db().run(
          "INSERT INTO 域名(域名,后缀,长度,注册商,域名类型,自定义分类,注册时间,到期时间,一次成本,"
          "续费成本,实际成本,预售底价,标价,最终售价,利润,出售,备注,购买时间,出售时间) "
          "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
          {name + std::to_string(i), pick(texts), length, pick(texts), pick(texts), pick(texts),
           pick(dates), pick(dates), money(), money(), money(), money(), money(), money(), money(),
           sold, pick(texts), pick(dates), pick(dates)}));
    }
  }

  // The names of the rows `condition` selects, in listing order by `key`.
  std::vector<std::string> sortedInMemory(const std::string& key, const SqlCondition& condition) {
    struct Row {
      std::int64_t id;
      SqlValue key;
      std::string name;
    };
    std::vector<Row> rows;
    db().query("SELECT id, " + key + ", 域名 FROM 域名" + condition.whereClause(), condition.params,
               [&](const SqlRow& row) {
                 rows.push_back({std::get<std::int64_t>(row.value(0)), row.value(1), row.text(2)});
               });
    bool noCase = false;
    db().withConnection(
        [&](SqliteConnection& c) { noCase = c.columnCollation("域名", key) == "NOCASE"; });
    const auto fold = [&](std::string text) {
      if (noCase) {
        for (char& ch : text) {
          if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        }
      }
      return text;
    };
    // -1, 0, 1 as a is below, equal to or above b in ascending order.
    const auto compare = [&](const SqlValue& a, const SqlValue& b) -> int {
      const auto rank = [](const SqlValue& v) {
        return v.index() == 0 ? 0 : v.index() == 3 ? 2 : 1;
      };
      if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
      if (rank(a) == 0) return 0;
      if (rank(a) == 1) {
        const auto number = [](const SqlValue& v) {
          return v.index() == 1 ? static_cast<double>(std::get<std::int64_t>(v))
                                : std::get<double>(v);
        };
        return number(a) < number(b) ? -1 : number(a) > number(b) ? 1 : 0;
      }
      const std::string x = fold(std::get<std::string>(a));
      const std::string y = fold(std::get<std::string>(b));
      return x < y ? -1 : x > y ? 1 : 0;
    };
    std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
      const int order = compare(a.key, b.key);
      if (order != 0) return order > 0;
      return a.id > b.id;
    });
    std::vector<std::string> names;
    for (const Row& row : rows) names.push_back(row.name);
    return names;
  }
};

std::vector<std::pair<std::string_view, bool>> everyKeyBothWays() {
  std::vector<std::pair<std::string_view, bool>> keys;
  for (std::string_view column : kDomainColumns) {
    for (bool ascending : {false, true}) keys.emplace_back(column, ascending);
  }
  return keys;
}

TEST_F(EverySortKeyTest, EveryPageOfEveryKeyMatchesTheSortedRows) {
  fillVaried(130);
  const std::vector<std::pair<const char*, SqlCondition>> conditions{
      {"all rows", {}},
      {"unsold", {"出售=0", {}}},
      {"a note search", {"备注 LIKE ? ESCAPE '\\'", {std::string("%议价%")}}},
      {"a note search by instr", {"instr(备注, ?) > 0", {std::string("议价")}}},
      {"a name search by instr", {"instr(域名, ?) > 0", {std::string("1")}}},
  };
  ASSERT_EQ(kDomainColumns.size(), 20u);
  for (const auto& [what, condition] : conditions) {
    for (const auto& [column, ascending] : everyKeyBothWays()) {
      const std::string key(column);
      // Ascending is descending read backwards: NULL keys first, then ids up.
      std::vector<std::string> expected = sortedInMemory(key, condition);
      if (ascending) std::reverse(expected.begin(), expected.end());
      ASSERT_FALSE(expected.empty()) << what;
      for (int size : {1, 7, 50}) {
        const auto pages = pageCountFor(static_cast<std::int64_t>(expected.size()), size);
        for (std::int64_t page = 1; page <= pages; ++page) {
          const ListingPage listing = loadListing(db(), condition, {size, page, key, ascending});
          ASSERT_TRUE(listing.ok()) << listing.error;
          std::vector<std::string> names;
          for (const auto& r : listing.rows) names.push_back(r[DomainField::Name]);
          const auto from = static_cast<std::size_t>((page - 1) * size);
          const auto to = std::min(expected.size(), from + static_cast<std::size_t>(size));
          ASSERT_EQ(names, std::vector<std::string>(expected.begin() + from, expected.begin() + to))
              << what << ", key " << key << (ascending ? " asc" : "") << ", size " << size
              << ", page " << page;
        }
      }
    }
  }
}

// A count is kept until the data changes, whoever changes it; a count taken
// inside a transaction that is then rolled back is not kept.
TEST_F(PagingTest, CountsFollowEveryWrite) {
  fill(20);
  const SqlCondition noteA{"备注 = ?", {std::string("a")}};
  const auto countOf = [&](const SqlCondition& condition) {
    const auto counted = countDomains(db(), condition);
    EXPECT_TRUE(counted);
    return counted.value_or(-1);
  };
  const auto stored = [&](const SqlCondition& condition) {
    return db().count("SELECT count(*) FROM 域名" + condition.whereClause(), condition.params,
                      nullptr);
  };
  struct Write {
    const char* what;
    std::function<void()> run;
  };
  const std::vector<Write> writes{
      {"a row added",
       [&] {
         add({makeDomain("new.com", {{DomainField::Note, "a"}})});
       }},
      {"a row changed",
       [&] {
         ASSERT_TRUE(
             db().run("UPDATE 域名 SET 备注='b' WHERE 备注='a' AND id=(SELECT min(id) FROM 域名 "
                      "WHERE 备注='a')"));
       }},
      {"a row deleted",
       [&] {
         ASSERT_TRUE(
             db().run("DELETE FROM 域名 WHERE id=(SELECT max(id) FROM 域名 WHERE 备注='a')"));
       }},
      {"another connection",
       [&] {
         sqlite3* other = nullptr;
         ASSERT_EQ(sqlite3_open(dbPath().c_str(), &other), SQLITE_OK);
         EXPECT_EQ(sqlite3_exec(other, "UPDATE 域名 SET 备注='a' WHERE 备注<>'a'", nullptr, nullptr,
                                nullptr),
                   SQLITE_OK);
         sqlite3_close(other);
       }},
      {"a rolled-back transaction",
       [&] {
         db().transaction([&](SqliteConnection& c) {
           EXPECT_TRUE(c.exec("DELETE FROM 域名"));
           EXPECT_EQ(countDomains(db(), noteA), 0);
           EXPECT_EQ(countDomains(db(), {}), 0);
           return false;
         });
       }},
  };
  for (const Write& write : writes) {
    EXPECT_EQ(countOf(noteA), stored(noteA)) << "before " << write.what;
    EXPECT_EQ(countOf({}), stored({})) << "before " << write.what;
    const auto before = countOf(noteA);
    write.run();
    EXPECT_EQ(countOf(noteA), stored(noteA)) << write.what;
    EXPECT_EQ(countOf({}), stored({})) << write.what;
    if (std::string(write.what) != "a rolled-back transaction") {
      EXPECT_NE(countOf(noteA), before) << write.what << " changes the count";
    }
  }
}

}  // namespace
}  // namespace pelmora::testing

#include "store/listing.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  std::string error;
  EXPECT_FALSE(countDomains(db(), broken, &error));
  EXPECT_NE(error.find("no_such_column"), std::string::npos) << error;
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

}  // namespace
}  // namespace pelmora::testing

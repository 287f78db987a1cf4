// Name and note searches: the rows found, whichever index serves the search,
// are exactly those a plain substring test finds, with LIKE's own rules (the
// user's wildcards are literal, ASCII letters compare without case, nothing
// else does).

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "store/filter_criteria.h"
#include "store/listing.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

const Date kToday{std::chrono::year{2024}, std::chrono::month{6}, std::chrono::day{1}};

std::string foldAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool contains(const std::string& text, const std::string& part) {
  return foldAscii(text).find(foldAscii(part)) != std::string::npos;
}

struct Row {
  std::string name;
  std::optional<std::string> note;
};

const std::vector<Row> kRows{
    {"abc.com", "急售 议价"},   {"ABC.net", "议价"},     {"xAbCy.com", "议"},
    {"a_b.com", "价格可议"},    {"a%b.com", "ABC"},      {"axb.com", "abc"},
    {"c\\d.com", "aBcD"},       {"中文域名.cn", "100%"}, {"议价.com", "100x"},
    {"ab.cn", "a_b"},           {"b.a.com", "axb"},      {"abcabc.org", "c\\d"},
    {"zz.com", "c\\\\d"},       {"q1.com", ""},          {"q2.com", std::nullopt},
    {"中abc文.com", "中Abc文"}, {"ÄBC.com", "äbc Äbc"},  {"x.abc.com", "ab"},
};

// "" finds every row that has a note, the empty ones too.
const std::vector<std::string> kTerms{
    "",       "a",         "A",
    "ab",     "AB",        "abc",
    "aBc",    "ABCD",      "议",
    "议价",   "急售 议价", "%",
    "_",      "\\",        "c\\d",
    "c\\\\d", "100%",      "a_b",
    "a%b",    "中Abc",     "中abc文",
    "äbc",    "ÄBC",       ".com",
    "b.a",    "x.",        "急售 议价，这段文字比任何备注都长得多"};

class TextSearchTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    int day = 0;
    for (const Row& row : kRows) {
      const SqlValue note = row.note ? SqlValue(*row.note) : SqlValue();
      // Ties in the date, so that ids decide part of the order.
      const int date = ++day % 3 == 0 ? 5 : day;
      const std::string expires =
          "2030-01-" + std::string(date < 10 ? "0" : "") + std::to_string(date);
      ASSERT_TRUE(db().run("INSERT INTO 域名(域名, 备注, 到期时间) VALUES(?, ?, ?)",
                           {row.name, note, expires}));
    }
  }

  // The names the condition selects, page by page, in listing order, read with
  // the given estimate of the table's size (which decides the index used).
  std::vector<std::string> pagedNames(const SqlCondition& condition, const std::string& key,
                                      std::int64_t total, std::int64_t tableRows) {
    std::vector<std::string> names;
    const int size = 3;
    for (std::int64_t page = 1; page <= pageCountFor(total, size); ++page) {
      const PageStatement statement = pageStatement(condition, {size, page, key}, total, tableRows);
      std::vector<std::string> rows;
      EXPECT_TRUE(db().query(statement.sql, statement.params, [&](const SqlRow& row) {
        rows.push_back(row.text(1));
      })) << statement.sql;
      if (statement.reversed) std::reverse(rows.begin(), rows.end());
      names.insert(names.end(), rows.begin(), rows.end());
    }
    return names;
  }

  void expectFound(const SqlCondition& condition, const std::set<std::string>& expected,
                   const std::string& what) {
    const auto total = countDomains(db(), condition);
    ASSERT_TRUE(total) << what;
    EXPECT_EQ(*total, static_cast<std::int64_t>(expected.size())) << what;
    for (const std::string key : {"id", "备注", "到期时间", "域名"}) {
      const auto byKey = pagedNames(condition, key, *total, 0);
      EXPECT_EQ(std::set<std::string>(byKey.begin(), byKey.end()), expected) << what << ", " << key;
      EXPECT_EQ(byKey.size(), expected.size()) << what << ", " << key;
      // A table far larger than the matches: the text column's index is used.
      EXPECT_EQ(pagedNames(condition, key, *total, 1'000'000'000), byKey) << what << ", " << key;
    }
  }
};

TEST_F(TextSearchTest, NoteSearchFindsWhatASubstringTestFinds) {
  for (const std::string& term : kTerms) {
    FilterCriteria criteria;
    criteria.noteOn = true;
    criteria.noteText = term;
    std::set<std::string> expected;
    for (const Row& row : kRows) {
      if (row.note && contains(*row.note, term)) expected.insert(row.name);
    }
    expectFound(buildWhere(criteria, kToday), expected, "note " + term);
  }
}

TEST_F(TextSearchTest, NameSearchFindsWhatASubstringTestFindsInEveryMode) {
  for (const std::string& term : kTerms) {
    for (std::string_view mode : kNameMatchChoices) {
      FilterCriteria criteria;
      criteria.nameOn = true;
      criteria.nameMode = std::string(mode);
      criteria.nameText = term;
      std::set<std::string> expected;
      for (const Row& row : kRows) {
        const bool found = mode == kMatchStart ? foldAscii(row.name).rfind(foldAscii(term), 0) == 0
                           : mode == kMatchEnd ? contains(row.name, term + ".")
                                               : contains(row.name, term);
        if (found) expected.insert(row.name);
      }
      expectFound(buildWhere(criteria, kToday), expected, "name " + std::string(mode) + " " + term);
    }
  }
}

TEST_F(TextSearchTest, ARareTermIsReadThroughTheTextIndex) {
  FilterCriteria criteria;
  criteria.noteOn = true;
  criteria.noteText = "急售";
  const SqlCondition condition = buildWhere(criteria, kToday);
  const PageStatement rare = pageStatement(condition, {100, 1, "到期时间"}, 1, 1'000'000);
  EXPECT_NE(rare.sql.find("INDEXED BY 域名_备注"), std::string::npos) << rare.sql;
  // Most rows match: the sort key's index finds the first page at once.
  const PageStatement common = pageStatement(condition, {100, 1, "到期时间"}, 900'000, 1'000'000);
  EXPECT_EQ(common.sql.find("INDEXED BY"), std::string::npos) << common.sql;
  // Any other condition is left to the planner.
  const SqlCondition both{condition.sql + " and 出售=0", condition.params};
  EXPECT_EQ(pageStatement(both, {100, 1, "到期时间"}, 1, 1'000'000).sql.find("INDEXED BY"),
            std::string::npos);
}

}  // namespace
}  // namespace pelmora::testing

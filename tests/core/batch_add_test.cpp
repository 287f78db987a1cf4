#include "editing/batch_add.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>

#include "support/list_lines.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

const std::string kFullLine =
    "例子.com|西数|3数字|已挂一口价|2016-12-09|2026-12-09|25|400|200000|400000|0|已建站,自用|"
    "2017-1-3|2017-3-15";

// 14 fields: the domain, then `fields` at their 1-based positions.
std::string lineWith(const std::string& domain, std::map<int, std::string> fields) {
  std::string line = domain;
  for (int i = 2; i <= 14; ++i) line += "|" + fields[i];
  return line;
}

class BatchAddTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    addEntry("注册商", "西数", 1);
    addEntry("注册商", "Name", 2);
    addEntry("域名类型", "3数字", 1);
    addEntry("自定义分类", "已挂一口价", 1);
    ASSERT_TRUE(lists_.rebuild(db()));
  }

  BatchAddResult run(const std::vector<std::string>& lines) {
    return runBatchAdd(db(), lines, lists_);
  }

  std::vector<DomainRecord> stored() {
    std::vector<DomainRecord> records;
    EXPECT_TRUE(db().query("SELECT " + domainColumnList() + " FROM 域名 ORDER BY id", {},
                           [&](const SqlRow& row) { records.push_back(readDomainRecord(row)); }));
    return records;
  }

  std::optional<DomainRecord> storedNamed(const std::string& name) {
    for (DomainRecord& record : stored()) {
      if (record[DomainField::Name] == name) return record;
    }
    return std::nullopt;
  }

  ClassificationLists lists_;
};

// ---- field counts ---------------------------------------------------------

struct CountCase {
  std::string line;
  std::string name;  // reported name
  bool ok;
};

void PrintTo(const CountCase& c, std::ostream* out) { *out << c.line; }

class BatchAddFieldCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(BatchAddFieldCountTest, OnlyFourteenFieldsOrABareDomainMakeARow) {
  const BatchAddRow row = buildBatchAddRow(GetParam().line, ClassificationLists{});
  EXPECT_EQ(row.name, GetParam().name);
  EXPECT_EQ(row.record.has_value(), GetParam().ok);
  EXPECT_EQ(row.tag, GetParam().ok ? "" : kTagBadFormat);
}

std::string withSeparators(int count) { return "a.com" + std::string(count, '|'); }

INSTANTIATE_TEST_SUITE_P(Cases, BatchAddFieldCountTest,
                         ::testing::Values(CountCase{"a.com", "a.com", true},
                                           CountCase{withSeparators(1), "a.com", false},
                                           CountCase{"a.com|b|c", "a.com", false},
                                           CountCase{withSeparators(12), "a.com", false},
                                           CountCase{withSeparators(13), "a.com", true},
                                           CountCase{withSeparators(14), "a.com", false},
                                           CountCase{withSeparators(30), "a.com", false},
                                           CountCase{"|x.com", "", false}, CountCase{"", "", true},
                                           CountCase{"x.com||||||5|||||||", "x.com", true}));

// ---- classification checks -------------------------------------------------

struct TagCase {
  std::string registrar, type, category;
  std::string_view tag;
};

void PrintTo(const TagCase& c, std::ostream* out) {
  *out << c.registrar << "|" << c.type << "|" << c.category;
}

class BatchAddTagTest : public BatchAddTest, public ::testing::WithParamInterface<TagCase> {};

TEST_P(BatchAddTagTest, TheLastFailedCheckIsReported) {
  const TagCase& c = GetParam();
  const BatchAddRow row =
      buildBatchAddRow(lineWith("t.com", {{2, c.registrar}, {3, c.type}, {4, c.category}}), lists_);
  EXPECT_EQ(row.tag, c.tag);
  EXPECT_EQ(row.record.has_value(), c.tag.empty());
  EXPECT_EQ(row.name, "t.com");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchAddTagTest,
    ::testing::Values(
        TagCase{"", "", "", ""}, TagCase{"西数", "3数字", "已挂一口价", ""},
        TagCase{"爱名", "", "", kTagBadRegistrar}, TagCase{"", "双拼", "", kTagBadDomainType},
        TagCase{"", "", "精品", kTagBadCategory}, TagCase{"爱名", "", "精品", kTagBadCategory},
        TagCase{"爱名", "双拼", "", kTagBadDomainType},
        TagCase{"爱名", "双拼", "已挂一口价", kTagBadDomainType},
        TagCase{"爱名", "双拼", "精品", kTagBadCategory},
        // byte for byte: no case folding, no trimming, not the item text
        TagCase{"name", "", "", kTagBadRegistrar}, TagCase{"西数 ", "", "", kTagBadRegistrar},
        TagCase{"西数(0)", "", "", kTagBadRegistrar}, TagCase{"Name", "", "", ""}));

// ---- amounts, sold flag and derived fields ---------------------------------

struct AmountCase {
  std::map<int, std::string> fields;
  std::map<DomainField, std::string> expected;
};

void PrintTo(const AmountCase& c, std::ostream* out) {
  for (const auto& [field, text] : c.fields) *out << field << "=" << text << " ";
}

class BatchAddAmountTest : public BatchAddTest, public ::testing::WithParamInterface<AmountCase> {};

TEST_P(BatchAddAmountTest, StoresRoundedAmountsAndDerivedColumns) {
  const BatchAddResult result = run({lineWith("m.com", GetParam().fields)});
  ASSERT_EQ(result.added, 1u) << result.failures;
  const auto record = storedNamed("m.com");
  ASSERT_TRUE(record);
  for (const auto& [field, text] : GetParam().expected) {
    EXPECT_EQ((*record)[field], text) << columnName(field);
  }
}

using F = DomainField;
INSTANTIATE_TEST_SUITE_P(
    Cases, BatchAddAmountTest,
    ::testing::Values(
        AmountCase{{{7, "12.345"}}, {{F::OneTimeCost, "12.35"}, {F::ActualCost, "12.35"}}},
        AmountCase{{{8, "2.675"}}, {{F::RenewalCost, "2.68"}}},
        AmountCase{{{9, "1.005"}, {10, "-1.005"}},
                   {{F::ReservePrice, "1.01"}, {F::AskingPrice, "-1.01"}}},
        // actual cost and profit come from the rounded amounts
        AmountCase{{{7, "1.005"}, {8, "2.675"}, {11, "12.345"}, {14, "2017-3-15"}},
                   {{F::ActualCost, "3.69"},
                    {F::FinalPrice, "12.35"},
                    {F::Profit, "8.66"},
                    {F::Sold, "TRUE"},
                    {F::SoldOn, "2017-03-15"}}},
        AmountCase{{{7, "-1.005"}, {11, "1"}}, {{F::ActualCost, "-1.01"}, {F::Profit, "2.01"}}},
        // blanks around a number are no part of it
        AmountCase{{{9, " 7"}}, {{F::ReservePrice, "7"}}},
        AmountCase{{{7, "-0.001"}}, {{F::OneTimeCost, "0"}}},
        // unsold: final price 0, empty, or rounded to 0
        AmountCase{{{7, "5"}, {11, "0"}, {14, "2017-3-15"}},
                   {{F::Sold, "FALSE"}, {F::Profit, "0"}, {F::SoldOn, ""}}},
        AmountCase{{{7, "5"}, {11, ""}, {14, "2017-3-15"}},
                   {{F::Sold, "FALSE"}, {F::Profit, "0"}, {F::SoldOn, ""}}},
        AmountCase{{{11, "0.004"}, {14, "2017-3-15"}},
                   {{F::Sold, "FALSE"}, {F::Profit, "0"}, {F::SoldOn, ""}}},
        // an unsold domain drops even a sale date that is not a date
        AmountCase{{{11, "0"}, {14, "abc"}}, {{F::Sold, "FALSE"}, {F::SoldOn, ""}}},
        // sold with an empty 14th field (line ends with "|"): no sale date
        AmountCase{{{7, "10"}, {11, "30"}},
                   {{F::Sold, "TRUE"}, {F::Profit, "20"}, {F::SoldOn, ""}}},
        AmountCase{{{11, "-5"}}, {{F::Sold, "FALSE"}, {F::Profit, "0"}, {F::FinalPrice, "-5"}}}));

TEST_F(BatchAddTest, ABareDomainGetsTheDefaults) {
  ASSERT_EQ(run({"例子.com.cn"}).added, 1u);
  const auto record = storedNamed("例子.com.cn");
  ASSERT_TRUE(record);
  const DomainRecord& r = *record;
  EXPECT_EQ(r[F::Suffix], "com.cn");
  EXPECT_EQ(r[F::Length], "4");
  for (F f : {F::Registrar, F::DomainType, F::Category}) EXPECT_EQ(r[f], "-");
  for (F f : {F::RegisteredOn, F::ExpiresOn, F::PurchasedOn, F::SoldOn}) EXPECT_EQ(r[f], "");
  for (F f : {F::OneTimeCost, F::RenewalCost, F::ActualCost, F::ReservePrice, F::AskingPrice,
              F::FinalPrice, F::Profit}) {
    EXPECT_EQ(r[f], "0");
  }
  EXPECT_EQ(r[F::Sold], "FALSE");
  EXPECT_EQ(r[F::Note], "");
}

TEST_F(BatchAddTest, TheFullExampleLineIsStoredFieldByField) {
  const BatchAddResult result = run({kFullLine});
  ASSERT_EQ(result.added, 1u) << result.failures;
  const DomainRecord r = stored().at(0);
  const std::vector<std::pair<F, std::string>> expected{{F::Name, "例子.com"},
                                                        {F::Suffix, "com"},
                                                        {F::Length, "4"},
                                                        {F::Registrar, "西数"},
                                                        {F::DomainType, "3数字"},
                                                        {F::Category, "已挂一口价"},
                                                        {F::RegisteredOn, "2016-12-09"},
                                                        {F::ExpiresOn, "2026-12-09"},
                                                        {F::OneTimeCost, "25"},
                                                        {F::RenewalCost, "400"},
                                                        {F::ActualCost, "425"},
                                                        {F::ReservePrice, "200000"},
                                                        {F::AskingPrice, "400000"},
                                                        {F::FinalPrice, "0"},
                                                        {F::Profit, "0"},
                                                        {F::Sold, "FALSE"},
                                                        {F::Note, "已建站,自用"},
                                                        {F::PurchasedOn, "2017-01-03"},
                                                        {F::SoldOn, ""}};
  for (const auto& [field, text] : expected) EXPECT_EQ(r[field], text) << columnName(field);
}

// ---- the run ----------------------------------------------------------------

TEST_F(BatchAddTest, EveryLineEndsAsOneSuccessOrOneFailureInLineOrder) {
  add({makeDomain("old.com")});
  const std::string text =
      "a.com\r\n"
      "\r\n"  // a blank line is a row with an empty domain
      "b.com|x\r\n"
      "OLD.com\r\n"
      "c.com|爱名||精品||||||||||\r\n"
      "a.com\r\n"
      "d.com|西数||||||||||||\r\n";
  const BatchAddResult result = run(splitListLines(text));
  EXPECT_EQ(result.total, 7u);
  EXPECT_EQ(result.added, 2u);
  EXPECT_EQ(result.failed, 5u);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.failures,
            "[格式错误,或域名已存在]\r\n"
            "b.com[格式错误]\r\n"
            "OLD.com[格式错误,或域名已存在]\r\n"
            "c.com[自定义分类字段不正确]\r\n"
            "a.com[格式错误,或域名已存在]\r\n");
  ASSERT_EQ(result.failedLines.size(), 5u);
  EXPECT_EQ(result.failedLines[3].name, "c.com");
  EXPECT_EQ(result.failedLines[3].tag, kTagBadCategory);
  EXPECT_EQ(batchAddResultText(result), "结果: 总计[ 7 ],成功[ 2 ],失败[ 5 ]");
  std::vector<std::string> names;
  for (const DomainRecord& r : stored()) names.push_back(r[F::Name]);
  EXPECT_EQ(names, (std::vector<std::string>{"old.com", "a.com", "d.com"}));
}

TEST_F(BatchAddTest, AFinalLineBreakAddsNoLine) {
  for (const std::string text : {"x1.com\r\nx2.com\r\n", "y1.com\ny2.com\n", "z1.com\r\nz2.com"}) {
    const BatchAddResult result = run(splitListLines(text));
    EXPECT_EQ(result.total, 2u) << text;
    EXPECT_EQ(result.added, 2u) << result.failures;
  }
}

struct BadInputCase {
  std::string line;
  std::string_view tag;  // empty: stored
  std::string storedName;
};

void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.line.substr(0, 40); }

class BatchAddBadInputTest : public BatchAddTest,
                             public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BatchAddBadInputTest, EachLineHasExactlyOneOutcomeAndNothingElseChanges) {
  add({makeDomain("keep.com", {{F::Note, "原样"}, {F::OneTimeCost, "3"}})});
  const DomainRecord before = stored().at(0);
  const BadInputCase& c = GetParam();
  const BatchAddResult result = run({c.line});
  EXPECT_EQ(result.total, 1u);
  EXPECT_EQ(result.added + result.failed, 1u);
  const auto records = stored();
  EXPECT_EQ(records.at(0).fields, before.fields);
  if (c.tag.empty()) {
    EXPECT_EQ(result.added, 1u) << result.failures;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][F::Name], c.storedName);
  } else {
    ASSERT_EQ(result.failedLines.size(), 1u);
    EXPECT_EQ(result.failedLines[0].tag, c.tag);
    EXPECT_EQ(records.size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchAddBadInputTest,
    ::testing::Values(
        // Only what a domain name can hold is stored as one.
        BadInputCase{"o'neil.com", kTagBadFormat, ""},
        BadInputCase{lineWith("q\"uote\".com", {{12, "it's \"x\""}}), kTagBadFormat, ""},
        BadInputCase{"x.com'); DROP TABLE 域名;--", kTagBadFormat, ""},
        BadInputCase{"--y.com|||||||||||a;b -- c||", "", "--y.com"},
        BadInputCase{"tab\t.com|||||||||||\tnote\t||", kTagBadFormat, ""},
        BadInputCase{"blank.com   ", kTagBadFormat, ""},
        BadInputCase{" lead.com", kTagBadFormat, ""},
        BadInputCase{std::string("n\0ul.com", 8), kTagBadFormat, ""},
        BadInputCase{"q1.com,q2.com", kTagBadFormat, ""},
        BadInputCase{lineWith("ok.com", {{12, "it's \"x\"\tnote"}}), "", "ok.com"},
        BadInputCase{std::string(10000, 'l') + ".com", "", std::string(10000, 'l') + ".com"},
        BadInputCase{lineWith("long.com", {{12, std::string(10000, 'n')}}), "", "long.com"},
        BadInputCase{lineWith("neg.com", {{7, "-500"}, {11, "-1"}}), "", "neg.com"},
        BadInputCase{lineWith("big.com", {{7, "1e300"}}), "", "big.com"},
        BadInputCase{"KEEP.com", kTagNotStored, ""}, BadInputCase{"keep.com", kTagNotStored, ""},
        BadInputCase{"bad\xff.com", kTagBadFormat, ""},
        BadInputCase{lineWith("u.com", {{12, "\xe4\xb8"}}), kTagBadFormat, ""},
        BadInputCase{std::string(13, '|'), kTagNotStored, ""},
        BadInputCase{std::string(5, '|'), kTagBadFormat, ""},
        BadInputCase{lineWith("d1.com", {{5, "2017-02-30"}}), kTagNotStored, ""},
        BadInputCase{lineWith("d2.com", {{6, "2017-13-01"}}), kTagNotStored, ""},
        BadInputCase{lineWith("d3.com", {{13, "abc"}}), kTagNotStored, ""},
        BadInputCase{lineWith("d4.com", {{11, "5"}, {14, "abc"}}), kTagNotStored, ""},
        BadInputCase{lineWith("huge.com", {{7, "1e400"}}), kTagBadOneTimeCost, ""},
        BadInputCase{lineWith("nan.com", {{8, "nan"}}), kTagBadRenewalCost, ""},
        BadInputCase{lineWith("sep.com", {{7, "1,000"}}), kTagBadOneTimeCost, ""},
        BadInputCase{lineWith("unit.com", {{11, "12元"}}), kTagBadFinalPrice, ""},
        BadInputCase{lineWith("reg.com", {{2, "x'"}}), kTagBadRegistrar, ""}));

TEST_F(BatchAddTest, DatesAreStoredInTheUsualForm) {
  ASSERT_EQ(run({lineWith("dt.com", {{5, "2017/1/3"}, {6, "2018.2.4"}, {13, "2017-1-3 10:20:30"}})})
                .added,
            1u);
  const DomainRecord r = stored().at(0);
  EXPECT_EQ(r[F::RegisteredOn], "2017-01-03");
  EXPECT_EQ(r[F::ExpiresOn], "2018-02-04");
  EXPECT_EQ(r[F::PurchasedOn], "2017-01-03");
}

TEST_F(BatchAddTest, ProgressComesInChunksAndEndsAtTheTotal) {
  std::vector<std::string> lines;
  for (int i = 0; i < 1000; ++i) lines.push_back("p" + std::to_string(i) + ".com");
  lines[10] = "bad|";
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  const BatchAddResult result =
      runBatchAdd(db(), lines, lists_,
                  [&](std::size_t done, std::size_t total) { calls.emplace_back(done, total); });
  EXPECT_EQ(result.added, 999u);
  ASSERT_FALSE(calls.empty());
  EXPECT_LT(calls.size(), 20u);
  EXPECT_EQ(calls.back(), std::make_pair(std::size_t{1000}, std::size_t{1000}));
  for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_LE(calls[i - 1].first, calls[i].first);
}

TEST_F(BatchAddTest, ProgressEndsAtTheTotalWhenNoLineReachesTheInsert) {
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  runBatchAdd(db(), {"a|b", "c|d"}, lists_,
              [&](std::size_t done, std::size_t total) { calls.emplace_back(done, total); });
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), std::make_pair(std::size_t{2}, std::size_t{2}));
}

TEST_F(BatchAddTest, AStopRequestRollsTheWholeRunBack) {
  add({makeDomain("keep.com")});
  std::vector<std::string> lines;
  for (int i = 0; i < 2000; ++i) lines.push_back("s" + std::to_string(i) + ".com");
  lines[1] = "bad|";
  std::stop_source stop;
  const BatchAddResult result = runBatchAdd(
      db(), lines, lists_, [&](std::size_t, std::size_t) { stop.request_stop(); },
      stop.get_token());
  EXPECT_TRUE(result.cancelled);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.added, 0u);
  EXPECT_EQ(result.failed, 2000u);
  // Only the line that failed on its own is listed: the rest are not at fault.
  ASSERT_EQ(result.failedLines.size(), 1u);
  EXPECT_EQ(result.failedLines[0].tag, kTagBadFormat);
  ASSERT_EQ(stored().size(), 1u);
  // the connection is usable afterwards
  EXPECT_EQ(run({"after.com"}).added, 1u);
}

// The database refusing the run is the run's error with its own reason; no
// line is blamed for it, and nothing is stored.
struct RefusalCase {
  const char* name;
  const char* reason;    // in SQLite's message
  const char* failures;  // the lines that failed on their own before
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class BatchAddRefusalTest : public BatchAddTest,
                            public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(BatchAddRefusalTest, TheDatabasesReasonFailsTheRunNotTheLines) {
  add({makeDomain("dup.com")});
  std::vector<std::string> lines{"l1.com", "l2.com|x", "DUP.com"};
  for (int i = 0; i < 300; ++i) {
    lines.push_back(lineWith("n" + std::to_string(i) + ".com", {{12, std::string(500, 'n')}}));
  }
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(dbPath().c_str(), &other), SQLITE_OK);
  if (std::string(GetParam().name) == "Locked") {
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    db().setBusyTimeout(50);
  } else {
    // Room for a few rows only: the disk fills in the middle of the run.
    const auto pages = db().count("PRAGMA page_count", {}, nullptr);
    ASSERT_TRUE(pages);
    ASSERT_TRUE(db().run("PRAGMA max_page_count=" + std::to_string(*pages + 8)));
  }
  const BatchAddResult result = run(lines);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_NE(result.error.find(GetParam().reason), std::string::npos) << result.error;
  EXPECT_EQ(result.added, 0u);
  EXPECT_EQ(result.failed, lines.size());
  EXPECT_EQ(result.failures, GetParam().failures);
  EXPECT_EQ(stored().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchAddRefusalTest,
                         ::testing::Values(RefusalCase{"Locked", "locked", ""},
                                           RefusalCase{"Full", "full",
                                                       "l2.com[格式错误]\r\n"
                                                       "DUP.com[格式错误,或域名已存在]\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchAddTest, LinesAreTakenAsTheyComeAndASourceThatFailsStoresNothing) {
  int calls = 0;
  const auto source = [&](std::string& line, std::string& error) {
    if (++calls > 3) {
      error = "line 4 is longer than 8 bytes";
      return false;
    }
    line = "s" + std::to_string(calls) + (calls == 2 ? ".com|x" : ".com");
    return true;
  };
  const BatchAddResult result = runBatchAddStream(db(), source, lists_);
  EXPECT_EQ(result.error, "line 4 is longer than 8 bytes");
  EXPECT_EQ(result.total, 3u);
  EXPECT_EQ(result.failed, 3u);
  EXPECT_EQ(result.failures, "s2.com[格式错误]\r\n");
  EXPECT_TRUE(stored().empty());
}

TEST_F(BatchAddTest, AnErrorThatEndsTheTransactionStoresNothingLaterEither) {
  // RAISE(ROLLBACK) ends the whole transaction, as a full disk or an I/O
  // error may: the lines after it must not be stored one by one.
  ASSERT_TRUE(
      db().run("CREATE TRIGGER 炸 BEFORE INSERT ON 域名 WHEN NEW.域名='boom.com' "
               "BEGIN SELECT RAISE(ROLLBACK, 'boom'); END"));
  const BatchAddResult result = run({"a.com", "boom.com", "c.com"});
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(result.added, 0u);
  EXPECT_EQ(result.failed, 3u);
  EXPECT_TRUE(stored().empty());
}

TEST(BatchAddTexts, ProgressAndResult) {
  EXPECT_EQ(batchAddProgressText(3, 100000), "进度: [ 3 / 100000]");
  BatchAddResult result;
  result.total = 10;
  result.added = 7;
  result.failed = 3;
  EXPECT_EQ(batchAddResultText(result), "结果: 总计[ 10 ],成功[ 7 ],失败[ 3 ]");
}

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

// A new inventory file, as the program creates it, takes the window's three
// example lines as they stand: its starter lists hold the names they use.
TEST(BatchAddNewInventory, TheExampleLinesGoInAsTheyStand) {
  TempFolder folder;
  const auto db = openCurrentDatabase(folder.file("domain.mdb"));
  ASSERT_TRUE(db);
  ClassificationLists lists;
  ASSERT_TRUE(lists.rebuild(*db));
  const BatchAddResult result =
      runBatchAdd(*db, {kFullLine, "例子.net||||||500|||||||", "例子.cn"}, lists);
  EXPECT_EQ(result.failures, "");
  EXPECT_EQ(result.added, 3u);
}

}  // namespace
}  // namespace pelmora::testing

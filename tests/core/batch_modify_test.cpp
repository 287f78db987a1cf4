#include "editing/batch_modify.h"

#include <gtest/gtest.h>

#include <map>

#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

const Date kSaleDay{year{2021}, month{5}, day{6}};
const Date kPurchaseDay{year{2019}, month{12}, day{31}};

using Expected = std::map<DomainField, std::string>;

class BatchModifyTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("sold.com", {{DomainField::OneTimeCost, "50"},
                                 {DomainField::RenewalCost, "30"},
                                 {DomainField::FinalPrice, "1000.333"},
                                 {DomainField::SoldOn, "2020-01-02"},
                                 {DomainField::Note, "old"}}),
         makeDomain("unsold.com",
                    {{DomainField::OneTimeCost, "50"}, {DomainField::RenewalCost, "30"}})});
    // An unsold row left with a sale date by an older version of the program.
    ASSERT_TRUE(db().run("UPDATE 域名 SET 出售时间='2019-09-09' WHERE 域名='unsold.com'"));
  }

  DomainRecord stored(const std::string& name) {
    DomainRecord record;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {name},
               [&](const SqlRow& row) { record = readDomainRecord(row); });
    return record;
  }

  BatchModifyResult run(const std::vector<std::string>& domains, const BatchModifyChoices& choices,
                        std::stop_token stop = {}) {
    items_.clear();
    return runBatchModify(
        db(), domains, choices, [this](const BatchModifyItem& item) { items_.push_back(item); }, {},
        stop);
  }

  std::vector<BatchModifyItem> items_;
};

struct ModifyCase {
  std::string label;
  std::string domain;
  BatchModifyChoices choices;
  Expected expected;
};

void PrintTo(const ModifyCase& c, std::ostream* out) { *out << c.label; }

BatchModifyChoices choose(void (*set)(BatchModifyChoices&)) {
  BatchModifyChoices choices;
  set(choices);
  return choices;
}

class BatchModifyRules : public BatchModifyTest,
                         public ::testing::WithParamInterface<ModifyCase> {};

TEST_P(BatchModifyRules, StoreTheChosenAndDerivedColumns) {
  const ModifyCase& c = GetParam();
  const DomainRecord before = stored(c.domain);
  const BatchModifyResult result = run({c.domain}, c.choices);
  ASSERT_EQ(result.succeeded, 1u) << (items_.empty() ? "" : items_[0].why);
  ASSERT_EQ(items_.size(), 1u);
  const DomainRecord after = stored(c.domain);
  EXPECT_EQ(items_[0].stored.fields, after.fields);
  for (int i = 0; i < kDomainFieldCount; ++i) {
    const auto field = static_cast<DomainField>(i);
    const auto hit = c.expected.find(field);
    EXPECT_EQ(after[field], hit == c.expected.end() ? before[field] : hit->second)
        << kDomainColumns[i];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, BatchModifyRules,
    ::testing::Values(
        ModifyCase{"OneTimeCostOfASoldDomainRecomputesTheProfitRounded",
                   "sold.com",
                   choose([](BatchModifyChoices& c) { c.oneTimeCost = "100"; }),
                   {{DomainField::OneTimeCost, "100"},
                    {DomainField::ActualCost, "130"},
                    {DomainField::Profit, "870.33"}}},
        ModifyCase{"OneTimeCostOfAnUnsoldDomainLeavesTheProfit",
                   "unsold.com",
                   choose([](BatchModifyChoices& c) { c.oneTimeCost = "100"; }),
                   {{DomainField::OneTimeCost, "100"}, {DomainField::ActualCost, "130"}}},
        ModifyCase{"CostsAreRoundedToTwoDecimals",
                   "unsold.com",
                   choose([](BatchModifyChoices& c) {
                     c.oneTimeCost = "12.345";
                     c.renewalCost = "-1.005";
                   }),
                   {{DomainField::OneTimeCost, "12.35"},
                    {DomainField::RenewalCost, "-1.01"},
                    {DomainField::ActualCost, "11.34"}}},
        ModifyCase{"AnEmptyCostIsZero",
                   "unsold.com",
                   choose([](BatchModifyChoices& c) { c.renewalCost = ""; }),
                   {{DomainField::RenewalCost, "0"}, {DomainField::ActualCost, "50"}}},
        ModifyCase{"FinalPriceZeroMakesUnsoldWhateverTheSaleDateSays",
                   "sold.com",
                   choose([](BatchModifyChoices& c) {
                     c.finalPrice = "0";
                     c.soldOn = kSaleDay;
                   }),
                   {{DomainField::FinalPrice, "0"},
                    {DomainField::Profit, "0"},
                    {DomainField::Sold, "FALSE"},
                    {DomainField::SoldOn, ""}}},
        ModifyCase{"AnEmptyFinalPriceIsZero",
                   "sold.com",
                   choose([](BatchModifyChoices& c) { c.finalPrice = ""; }),
                   {{DomainField::FinalPrice, "0"},
                    {DomainField::Profit, "0"},
                    {DomainField::Sold, "FALSE"},
                    {DomainField::SoldOn, ""}}},
        ModifyCase{"FinalPriceZeroWithDecimalsIsUnsoldToo",
                   "sold.com",
                   choose([](BatchModifyChoices& c) { c.finalPrice = "0.00"; }),
                   {{DomainField::FinalPrice, "0"},
                    {DomainField::Profit, "0"},
                    {DomainField::Sold, "FALSE"},
                    {DomainField::SoldOn, ""}}},
        ModifyCase{"FinalPriceWithACostTakesTheProfitFromTheNewActualCost",
                   "unsold.com",
                   choose([](BatchModifyChoices& c) {
                     c.finalPrice = "5000";
                     c.oneTimeCost = "100";
                   }),
                   {{DomainField::OneTimeCost, "100"},
                    {DomainField::ActualCost, "130"},
                    {DomainField::FinalPrice, "5000"},
                    {DomainField::Profit, "4870"},
                    {DomainField::Sold, "TRUE"}}},
        ModifyCase{"FinalPriceAndSaleDateSellTheDomainOnThatDay",
                   "unsold.com",
                   choose([](BatchModifyChoices& c) {
                     c.finalPrice = "200";
                     c.soldOn = kSaleDay;
                   }),
                   {{DomainField::FinalPrice, "200"},
                    {DomainField::Profit, "120"},
                    {DomainField::Sold, "TRUE"},
                    {DomainField::SoldOn, "2021-05-06"}}},
        ModifyCase{"OnlyTheSaleDateSetsItForASoldDomain",
                   "sold.com",
                   choose([](BatchModifyChoices& c) { c.soldOn = kSaleDay; }),
                   {{DomainField::SoldOn, "2021-05-06"}}},
        ModifyCase{"OnlyTheSaleDateClearsItForAnUnsoldDomain",
                   "unsold.com",
                   choose([](BatchModifyChoices& c) { c.soldOn = kSaleDay; }),
                   {{DomainField::SoldOn, ""}}},
        ModifyCase{"PricesAreStoredAsNumbers",
                   "unsold.com",
                   choose([](BatchModifyChoices& c) {
                     c.reservePrice = " 1e3 ";
                     c.askingPrice = "";
                   }),
                   {{DomainField::ReservePrice, "1000"}, {DomainField::AskingPrice, "0"}}},
        ModifyCase{"TextsAreStoredAsTyped",
                   "sold.com",
                   choose([](BatchModifyChoices& c) {
                     c.registrar = "O'Brien";
                     c.domainType = "-";
                     c.category = "精品'; --";
                     c.note = "Tom's \"best\"; --";
                     c.purchasedOn = kPurchaseDay;
                   }),
                   {{DomainField::Registrar, "O'Brien"},
                    {DomainField::DomainType, "-"},
                    {DomainField::Category, "精品'; --"},
                    {DomainField::Note, "Tom's \"best\"; --"},
                    {DomainField::PurchasedOn, "2019-12-31"}}},
        ModifyCase{"AnEmptyNoteIsOneBlank",
                   "sold.com",
                   choose([](BatchModifyChoices& c) { c.note = ""; }),
                   {{DomainField::Note, " "}}}),
    [](const ::testing::TestParamInfo<ModifyCase>& info) { return info.param.label; });

struct RefusedPrice {
  std::string label;
  BatchModifyChoices choices;
};

void PrintTo(const RefusedPrice& c, std::ostream* out) { *out << c.label; }

class PricesThatAreNotNumbers : public BatchModifyTest,
                                public ::testing::WithParamInterface<RefusedPrice> {};

TEST_P(PricesThatAreNotNumbers, FailEveryDomainAndStoreNothing) {
  const DomainRecord sold = stored("sold.com");
  const DomainRecord unsold = stored("unsold.com");
  const BatchModifyResult result = run({"sold.com", "unsold.com"}, GetParam().choices);
  EXPECT_EQ(result.succeeded, 0u);
  EXPECT_EQ(result.failed, 2u);
  ASSERT_EQ(items_.size(), 2u);
  EXPECT_FALSE(items_[0].why.empty());
  EXPECT_EQ(stored("sold.com").fields, sold.fields);
  EXPECT_EQ(stored("unsold.com").fields, unsold.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PricesThatAreNotNumbers,
    ::testing::Values(
        RefusedPrice{"Reserve", choose([](BatchModifyChoices& c) {
                       c.note = "x";
                       c.reservePrice = "abc";
                     })},
        RefusedPrice{"Asking", choose([](BatchModifyChoices& c) { c.askingPrice = "12abc"; })},
        RefusedPrice{"Final", choose([](BatchModifyChoices& c) {
                       c.oneTimeCost = "1";
                       c.finalPrice = "1,000";
                     })},
        RefusedPrice{"CostNaN", choose([](BatchModifyChoices& c) { c.oneTimeCost = "nan"; })},
        RefusedPrice{"CostOverflow",
                     choose([](BatchModifyChoices& c) { c.renewalCost = "1e999"; })}),
    [](const ::testing::TestParamInfo<RefusedPrice>& info) { return info.param.label; });

TEST_F(BatchModifyTest, MissingEmptyAndMalformedDomainsFailAloneAndNamesMatchWithoutCase) {
  // A name no domain has, as an older file may hold.
  add({makeDomain("oneil.com")});
  ASSERT_TRUE(db().run("UPDATE 域名 SET 域名='o''neil.com' WHERE 域名='oneil.com'"));
  BatchModifyChoices choices;
  choices.note = "new";
  const BatchModifyResult result =
      run({"missing.com", "SOLD.com", "", "o'neil.com", "unsold.com"}, choices);
  EXPECT_EQ(result.total, 5u);
  EXPECT_EQ(result.succeeded, 2u);
  EXPECT_EQ(result.failed, 3u);
  ASSERT_EQ(items_.size(), 5u);
  std::vector<bool> ok;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    EXPECT_EQ(items_[i].index, i);
    ok.push_back(items_[i].ok);
  }
  EXPECT_EQ(ok, (std::vector<bool>{false, true, false, false, true}));
  EXPECT_EQ(items_[3].why, kReasonBadFormat);
  EXPECT_EQ(items_[1].domain, "SOLD.com");
  EXPECT_EQ(items_[1].stored[DomainField::Name], "sold.com");
  EXPECT_EQ(stored("sold.com")[DomainField::Note], "new");
  EXPECT_EQ(stored("o'neil.com")[DomainField::Note], "");
  std::string rows;
  db().query("SELECT count(*) FROM 域名", {}, [&](const SqlRow& row) { rows = row.asText(0); });
  EXPECT_EQ(rows, "3");
}

TEST_F(BatchModifyTest, NothingChosenRunsNothing) {
  const DomainRecord before = stored("sold.com");
  const BatchModifyResult result = run({"sold.com"}, {});
  EXPECT_TRUE(result.nothingChosen);
  EXPECT_EQ(result.succeeded + result.failed, 0u);
  EXPECT_TRUE(items_.empty());
  EXPECT_EQ(stored("sold.com").fields, before.fields);
}

TEST_F(BatchModifyTest, AFailingStatementFailsOnlyItsDomain) {
  ASSERT_TRUE(
      db().run("CREATE TRIGGER refuse BEFORE UPDATE ON 域名 WHEN OLD.域名='sold.com'"
               " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  BatchModifyChoices choices;
  choices.note = "new";
  const BatchModifyResult result = run({"unsold.com", "sold.com"}, choices);
  EXPECT_EQ(result.succeeded, 1u);
  EXPECT_EQ(result.failed, 1u);
  EXPECT_TRUE(result.error.empty());
  ASSERT_EQ(items_.size(), 2u);
  EXPECT_NE(items_[1].why.find("refused"), std::string::npos);
  EXPECT_EQ(stored("unsold.com")[DomainField::Note], "new");
  EXPECT_EQ(stored("sold.com")[DomainField::Note], "old");
}

TEST_F(BatchModifyTest, AChunkThatCannotCommitFailsWholeAndEndsTheRun) {
  ASSERT_TRUE(
      db().run("CREATE TRIGGER undo BEFORE UPDATE ON 域名 WHEN OLD.域名='sold.com'"
               " BEGIN SELECT RAISE(ROLLBACK, 'gone'); END"));
  BatchModifyChoices choices;
  choices.note = "new";
  const BatchModifyResult result = run({"unsold.com", "sold.com"}, choices);
  EXPECT_EQ(result.succeeded, 0u);
  EXPECT_EQ(result.failed, 2u);
  EXPECT_FALSE(result.error.empty());
  ASSERT_EQ(items_.size(), 2u);
  EXPECT_FALSE(items_[0].ok);
  EXPECT_EQ(stored("unsold.com")[DomainField::Note], "");
}

class BatchModifyChunks : public BatchModifyTest {
 protected:
  std::vector<std::string> manyDomains(int count) {
    std::vector<DomainRecord> records;
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
      names.push_back("n" + std::to_string(i) + ".com");
      records.push_back(makeDomain(names.back()));
    }
    add(records);
    return names;
  }
};

TEST_F(BatchModifyChunks, ItemsAreReportedInOrderAfterTheirChunkIsCommitted) {
  const auto names = manyDomains(1200);
  BatchModifyChoices choices;
  choices.askingPrice = "88";
  std::size_t reported = 0;
  std::vector<std::size_t> progress;
  const BatchModifyResult result = runBatchModify(
      db(), names, choices,
      [&](const BatchModifyItem& item) {
        EXPECT_EQ(item.index, reported++);
        EXPECT_TRUE(item.ok);
        db().withConnection([](SqliteConnection& c) { EXPECT_FALSE(c.inTransaction()); });
      },
      [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 1200u);
        progress.push_back(done);
      });
  EXPECT_EQ(result.succeeded, 1200u);
  EXPECT_EQ(reported, 1200u);
  // Progress follows the committed chunks.
  EXPECT_EQ(progress, (std::vector<std::size_t>{500, 1000, 1200}));
  EXPECT_EQ(stored("n1199.com")[DomainField::AskingPrice], "88");
}

TEST_F(BatchModifyChunks, AStopEndsTheRunBetweenChunksKeepingWhatWasReported) {
  const auto names = manyDomains(1200);
  BatchModifyChoices choices;
  choices.askingPrice = "88";
  std::stop_source stop;
  std::size_t reported = 0;
  const BatchModifyResult result = runBatchModify(
      db(), names, choices,
      [&](const BatchModifyItem&) {
        ++reported;
        stop.request_stop();
      },
      {}, stop.get_token());
  EXPECT_TRUE(result.cancelled);
  EXPECT_GT(reported, 0u);
  EXPECT_LT(reported, 1200u);
  EXPECT_EQ(result.succeeded, reported);
  EXPECT_EQ(stored(names[reported - 1])[DomainField::AskingPrice], "88");
  EXPECT_EQ(stored(names[reported])[DomainField::AskingPrice], "0");
}

TEST(BatchModifyTexts, ProgressAndResult) {
  EXPECT_EQ(batchModifyProgressText(3, 10), "进度: [ 3 / 10 ]");
  BatchModifyResult result;
  result.total = 5;
  result.succeeded = 3;
  result.failed = 2;
  EXPECT_EQ(batchModifyResultText(result), "修改完毕: 总数[ 5 ], 成功[ 3 ], 失败[ 2 ]");
  result.total = 9;
  result.cancelled = true;
  EXPECT_EQ(batchModifyResultText(result), "已取消: 总数[ 9 ], 成功[ 3 ], 失败[ 2 ], 未修改[ 4 ]");
  result.cancelled = false;
  result.error = "database is locked";
  EXPECT_EQ(batchModifyResultText(result),
            "修改中断: 总数[ 9 ], 成功[ 3 ], 失败[ 2 ], 未修改[ 4 ]");
}

}  // namespace
}  // namespace pelmora::testing

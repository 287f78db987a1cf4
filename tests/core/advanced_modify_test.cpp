#include "editing/advanced_modify.h"

#include <gtest/gtest.h>

#include <map>

#include "test_db.h"

namespace pelmora::testing {
namespace {

using Expected = std::map<DomainField, std::string>;

class AdvancedModifyTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    addEntry("注册商", "西数", 1);
    addEntry("注册商", "爱名", 2);
    addEntry("注册商", "O'Brien", 3);
    addEntry("域名类型", "三拼", 1);
    addEntry("自定义分类", "自用", 1);
    add({makeDomain("qinghe.com",
                    {{DomainField::Note, "old"}, {DomainField::RegisteredOn, "2010-01-01"}}),
         makeDomain("sold.com", {{DomainField::OneTimeCost, "50"},
                                 {DomainField::RenewalCost, "30"},
                                 {DomainField::FinalPrice, "1000"},
                                 {DomainField::SoldOn, "2020-01-02"}})});
    ASSERT_TRUE(lists_.rebuild(db()));
  }

  DomainRecord stored(const std::string& name) {
    DomainRecord record;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {name},
               [&](const SqlRow& row) { record = readDomainRecord(row); });
    return record;
  }

  AdvancedModifyResult run(const std::vector<std::string>& lines,
                           const AdvancedModifyProgress& progress = {}, std::stop_token stop = {}) {
    return runAdvancedModify(db(), lines, lists_, progress, std::move(stop));
  }

  ClassificationLists lists_;
};

struct LineCase {
  std::string label;
  std::string line;
  std::string reason;  // empty: the line is applied
  std::string domain;  // the stored row to look at
  Expected expected;   // the columns it has afterwards (a failed line: unchanged)
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.label << ": " << c.line; }

class AdvancedModifyLines : public AdvancedModifyTest,
                            public ::testing::WithParamInterface<LineCase> {};

TEST_P(AdvancedModifyLines, ApplyTheLineOrFailItWithItsReason) {
  const LineCase& c = GetParam();
  const DomainRecord before = stored(c.domain);
  const AdvancedModifyResult result = run({c.line});
  EXPECT_EQ(result.total, 1u);
  EXPECT_TRUE(result.error.empty()) << result.error;
  const DomainRecord after = stored(c.domain);
  if (c.reason.empty()) {
    EXPECT_EQ(result.succeeded, 1u);
    EXPECT_TRUE(result.failures.empty()) << result.failures.front().reason;
  } else {
    EXPECT_EQ(result.failed, 1u);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].reason, c.reason);
    EXPECT_EQ(result.failures[0].domain, c.line.substr(0, c.line.find(',')));
    EXPECT_EQ(after.fields, before.fields) << "a failed line changes nothing";
  }
  for (int i = 0; i < kDomainFieldCount; ++i) {
    const auto field = static_cast<DomainField>(i);
    const auto wanted = c.expected.find(field);
    const std::string& expected = wanted == c.expected.end() ? before[field] : wanted->second;
    EXPECT_EQ(after[field], expected) << columnName(field);
  }
}

const std::string kNoDomain(kReasonNoSuchDomain);
const std::string kBadFormat(kReasonBadFormat);

INSTANTIATE_TEST_SUITE_P(
    Grammar, AdvancedModifyLines,
    ::testing::Values(
        LineCase{"Example1",
                 "qinghe.com,注册商=西数,备注=已做站",
                 "",
                 "qinghe.com",
                 {{DomainField::Registrar, "西数"}, {DomainField::Note, "已做站"}}},
        LineCase{"Example2",
                 "qinghe.com,注册商=爱名,注册时间=2013-06-10",
                 "",
                 "qinghe.com",
                 {{DomainField::Registrar, "爱名"}, {DomainField::RegisteredOn, "2013-06-10"}}},
        LineCase{"DatesInTheFormsUsersType",
                 "qinghe.com,到期时间=2023/6/10,购买时间=2013.6.1,注册时间=2013-6-9 10:00",
                 "",
                 "qinghe.com",
                 {{DomainField::ExpiresOn, "2023-06-10"},
                  {DomainField::PurchasedOn, "2013-06-01"},
                  {DomainField::RegisteredOn, "2013-06-09"}}},
        LineCase{"DomainCaseFollowsTheTable",
                 "QINGHE.COM,备注=大写",
                 "",
                 "qinghe.com",
                 {{DomainField::Note, "大写"}}},
        LineCase{"UnknownKeysAreSkipped",
                 "qinghe.com,标价=100,价格=1,备注=新",
                 "",
                 "qinghe.com",
                 {{DomainField::Note, "新"}}},
        LineCase{"ALaterPairOfTheSameKeyWins",
                 "qinghe.com,备注=a,备注=b",
                 "",
                 "qinghe.com",
                 {{DomainField::Note, "b"}}},
        LineCase{"AnEmptyNote", "qinghe.com,备注=", "", "qinghe.com", {{DomainField::Note, ""}}},
        LineCase{"ApostrophesAreStoredAsTyped",
                 "qinghe.com,注册商=O'Brien,备注=it's 'ok'",
                 "",
                 "qinghe.com",
                 {{DomainField::Registrar, "O'Brien"}, {DomainField::Note, "it's 'ok'"}}},
        LineCase{"ASoldDomainKeepsItsSaleDateAndAmounts",
                 "sold.com,出售时间=2021-5-6",
                 "",
                 "sold.com",
                 {{DomainField::SoldOn, "2021-05-06"},
                  {DomainField::ActualCost, "80"},
                  {DomainField::Profit, "920"},
                  {DomainField::Sold, "TRUE"}}},
        LineCase{"AnUnsoldDomainGetsNoSaleDateAndNothingElse",
                 "qinghe.com,出售时间=2021-5-6,备注=x",
                 std::string(kReasonUnsoldSaleDate),
                 "qinghe.com",
                 {{DomainField::SoldOn, ""}, {DomainField::Note, "old"}}},
        LineCase{"MissingDomain", "missing.com,注册商=西数", kNoDomain, "qinghe.com", {}},
        LineCase{"DomainIsTakenAsWritten", " qinghe.com,备注=x", kNoDomain, "qinghe.com", {}},
        LineCase{"ExistenceIsCheckedFirst", "missing.com,备注=a=b", kNoDomain, "qinghe.com", {}},
        LineCase{"EqualsInsideAValue", "qinghe.com,备注=a=b", kBadFormat, "qinghe.com", {}},
        LineCase{"PairWithoutEquals", "qinghe.com,备注", kBadFormat, "qinghe.com", {}},
        LineCase{"EmptyField", "qinghe.com,,备注=x", kBadFormat, "qinghe.com", {}},
        LineCase{"RegistrarWithTrailingBlank",
                 "qinghe.com,注册商=西数 ",
                 std::string(kReasonNoSuchRegistrar),
                 "qinghe.com",
                 {}},
        LineCase{"RegistrarCaseCounts",
                 "qinghe.com,注册商=o'brien",
                 std::string(kReasonNoSuchRegistrar),
                 "qinghe.com",
                 {}},
        LineCase{"DomainTypeNotListed",
                 "qinghe.com,域名类型=双拼",
                 std::string(kReasonNoSuchDomainType),
                 "qinghe.com",
                 {}},
        LineCase{"CategoryNotListed",
                 "qinghe.com,注册商=西数,自定义分类=三拼",
                 std::string(kReasonNoSuchCategory),
                 "qinghe.com",
                 {}},
        LineCase{"TheFirstFailingFieldGivesTheReason",
                 "qinghe.com,备注=a=b,注册商=无此",
                 kBadFormat,
                 "qinghe.com",
                 {}},
        // What the database would refuse is reported, not dropped.
        LineCase{"OnlyTheDomain", "qinghe.com", kBadFormat, "qinghe.com", {}},
        LineCase{
            "OnlyUnknownKeys", "qinghe.com,一次成本=abc,标价=12元", kBadFormat, "qinghe.com", {}},
        LineCase{"UnreadableDate",
                 "qinghe.com,备注=x,注册时间=2013-13-45",
                 kBadFormat,
                 "qinghe.com",
                 {}},
        LineCase{"EmptyDate", "qinghe.com,到期时间=", kBadFormat, "qinghe.com", {}}),
    [](const auto& info) { return info.param.label; });

TEST_F(AdvancedModifyTest, EveryLineEndsAsOneEntryInLineOrder) {
  const AdvancedModifyResult result =
      run(advancedModifyLines("missing.com,备注=x\r\nqinghe.com,备注=y\n\nsold.com\r\n\r\n\n"));
  EXPECT_EQ(result.total, 4u);
  EXPECT_EQ(result.succeeded, 1u);
  EXPECT_EQ(result.failed, 3u);
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(advancedModifyFailureText(result.failures),
            "missing.com[域名不存在]\r\n[域名不存在]\r\nsold.com[格式错误]\r\n");
  EXPECT_EQ(advancedModifyResultText(result), "修改完毕: 总数[ 4 ], 成功[ 1 ], 失败[ 3 ]");
  EXPECT_EQ(stored("qinghe.com")[DomainField::Note], "y");
}

TEST_F(AdvancedModifyTest, TrailingEmptyLinesAreNoLines) {
  EXPECT_EQ(advancedModifyLines(""), std::vector<std::string>{});
  EXPECT_EQ(advancedModifyLines("\r\n\n"), std::vector<std::string>{});
  EXPECT_EQ(advancedModifyLines("a,备注=1\r\n\r\n"), std::vector<std::string>{"a,备注=1"});
  EXPECT_EQ(advancedModifyLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
}

TEST_F(AdvancedModifyTest, ParsingKeepsThePairsInOrder) {
  const AdvancedModifyLine line =
      parseAdvancedModifyLine("x.com,备注=n,无此键=1,注册商=爱名,出售时间=abc", lists_);
  EXPECT_EQ(line.domain, "x.com");
  EXPECT_TRUE(line.reason.empty());
  ASSERT_EQ(line.pairs.size(), 3u);
  EXPECT_EQ(line.pairs[0].field, DomainField::Note);
  EXPECT_EQ(line.pairs[1].field, DomainField::Registrar);
  EXPECT_EQ(line.pairs[1].value, "爱名");
  EXPECT_EQ(line.pairs[2].field, DomainField::SoldOn);
  EXPECT_EQ(line.pairs[2].value, "abc");
}

TEST_F(AdvancedModifyTest, AStopEndsTheRunBetweenChunksAndKeepsWhatWasCommitted) {
  std::vector<DomainRecord> records;
  std::vector<std::string> lines;
  for (int i = 0; i < 1200; ++i) {
    const std::string name = "d" + std::to_string(i) + ".com";
    records.push_back(makeDomain(name));
    lines.push_back(name + ",备注=done");
  }
  add(records);
  std::stop_source stop;
  std::size_t reported = 0;
  const AdvancedModifyResult result = run(
      lines,
      [&](std::size_t done, std::size_t) {
        reported = done;
        if (done == 500) stop.request_stop();
      },
      stop.get_token());
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.total, 1200u);
  EXPECT_EQ(result.succeeded, 500u);  // the first chunk, committed before the stop
  EXPECT_EQ(reported, result.succeeded);
  EXPECT_EQ(
      std::get<std::int64_t>(db().scalar("SELECT count(*) FROM 域名 WHERE 备注='done'").value()),
      static_cast<std::int64_t>(result.succeeded));
}

TEST_F(AdvancedModifyTest, AnUpdateTheDatabaseRefusesFailsWithTheDatabasesReason) {
  db_.reset();
  auto readOnly = openCurrentDatabase(dbPath(), nullptr, OpenMode::ReadOnly);
  ASSERT_TRUE(readOnly);
  const AdvancedModifyResult result =
      runAdvancedModify(*readOnly, {"qinghe.com,备注=x", "missing.com,备注=y"}, lists_);
  EXPECT_EQ(result.succeeded, 0u);
  EXPECT_EQ(result.failed, 2u);
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].domain, "qinghe.com");
  EXPECT_NE(result.failures[0].reason.find("readonly"), std::string::npos)
      << result.failures[0].reason;
  EXPECT_EQ(result.failures[1].reason, kReasonNoSuchDomain);
}

}  // namespace
}  // namespace pelmora::testing

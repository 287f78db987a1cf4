#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_in_process.h"
#include "support/csv_reader.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

class CliExportTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    add({makeDomain("one.com", {{DomainField::Note, "a, b，c d"},
                                {DomainField::AskingPrice, "12.345"},
                                {DomainField::Registrar, "西数"},
                                {DomainField::ExpiresOn, "2017-3-16"}}),
         makeDomain("two.net",
                    {{DomainField::Category, "精品"}, {DomainField::ReservePrice, "7"}})});
  }
  RunResult run(const std::vector<std::string>& args) { return runInProcess(args, db()); }
};

struct ExportCase {
  std::vector<std::string> args;
  std::string expected;
};
void PrintTo(const ExportCase& c, std::ostream* out) {
  for (const std::string& arg : c.args) *out << arg << ' ';
}

class CliExportLines : public CliExportTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(CliExportLines, PrintsTheClipboardText) {
  std::vector<std::string> args{"export"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const RunResult r = run(args);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, CliExportLines,
    ::testing::Values(
        ExportCase{{"西数", "--hour", "1"}, "one.com,a；-b；c-d,12.35,0,8\r\ntwo.net,,0,0,8\r\n"},
        ExportCase{{"西数", "--desc", "1", "--price", "1", "--period", "16", "--hour", "15"},
                   "one.com,-,0,16,22\r\ntwo.net,精品,7,16,22\r\n"},
        ExportCase{{"西数", "--hour-from", "15", "--hour-to", "15"},
                   "one.com,a；-b；c-d,12.35,0,15\r\ntwo.net,,0,0,15\r\n"},
        ExportCase{{"西数", "--hour", "2", "--registrar", "西数"},
                   "one.com,a；-b；c-d,12.35,0,9\r\n"},
        ExportCase{{"爱名"}, "one.com,a；-b；c-d\r\ntwo.net,\r\n"},
        ExportCase{{"爱名", "--desc", "1", "--name", "two"}, "two.net,精品\r\n"},
        ExportCase{{"爱名", "--expiry", "今天"}, ""}));

TEST_F(CliExportTest, BadChoicesAreUsageErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"export"},
        {"export", "易名"},
        {"export", "西数", "--desc", "2"},
        {"export", "西数", "--period", "17"},
        {"export", "西数", "--hour", "16"},
        {"export", "西数", "--hour-from", "7"},
        {"export", "西数", "--hour-to", "23"},
        {"export", "西数", "--hour-from", "20", "--hour-to", "10"},
        {"export", "西数", "--price", "x"}}) {
    const RunResult r = run(args);
    EXPECT_EQ(r.code, 2) << args.back();
    EXPECT_EQ(r.out, "") << args.back();
    EXPECT_NE(r.err.find("pelmora-cli"), std::string::npos) << args.back();
  }
}

TEST_F(CliExportTest, AFailingQueryIsAnErrorNotAnEmptyList) {
  ASSERT_TRUE(db().run("ALTER TABLE 域名 RENAME COLUMN 备注 TO 旧备注"));
  const RunResult r = run({"export", "爱名"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("备注"), std::string::npos) << r.err;
}

TEST_F(CliExportTest, ListAsCsvHasTheHeaderRowAndNoCaption) {
  const RunResult r = run({"list", "--format", "csv"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")),
            "域名,后缀,长度,注册商,域名类型,自定义分类,注册时间,到期时间,一次成本,续费成本,"
            "实际成本,预售底价,标价,最终售价,利润,出售,备注,购买时间,出售时间,最后查询,查询来源,"
            "域名状态");
  const CsvTable table = readCsv(r.out);
  ASSERT_TRUE(table.ok()) << table.error;
  ASSERT_EQ(table.records.size(), 2u);
  EXPECT_EQ(table.records[1].fields[0], "one.com");
  EXPECT_EQ(table.records[1].fields[16], "a, b，c d");  // quoted, read back whole
  EXPECT_EQ(table.records[1].fields[12], "12.35");
  EXPECT_NE(r.out.find("\"a, b，c d\""), std::string::npos);
}

TEST_F(CliExportTest, ListAsJsonIsOnlyTheArray) {
  const RunResult r = run({"list", "--format", "json"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = nlohmann::json::parse(r.out);  // throws on anything else on stdout
  ASSERT_TRUE(rows.is_array());
  ASSERT_EQ(rows.size(), 2u);
  const auto& one = rows[1];
  EXPECT_EQ(one["域名"], "one.com");
  EXPECT_TRUE(one["标价"].is_number());
  EXPECT_DOUBLE_EQ(one["标价"].get<double>(), 12.35);
  EXPECT_TRUE(one["长度"].is_number_integer());
  EXPECT_EQ(one["长度"], 3);
  EXPECT_EQ(one["到期时间"], "2017-03-16");
  EXPECT_TRUE(one["注册时间"].is_null());
  EXPECT_EQ(one["出售"], 0);
  EXPECT_EQ(one["注册商"], "西数");
  EXPECT_EQ(rows[0]["自定义分类"], "精品");
  EXPECT_EQ(one.size(), 22u);
}

TEST_F(CliExportTest, ListFormatDefaultsToTsvAndRefusesOthers) {
  const RunResult tsv = run({"list", "--format", "tsv"});
  EXPECT_EQ(tsv.out, run({"list"}).out);
  EXPECT_EQ(tsv.out.rfind("翻页,总数[2]个,共[1]页\n", 0), 0u);
  const RunResult bad = run({"list", "--format", "xml"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.out, "");
}

}  // namespace
}  // namespace pelmora::testing

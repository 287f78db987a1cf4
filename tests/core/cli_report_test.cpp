// `pelmora-cli report`: the period lines and the 合计 line in the three
// formats, and its usage errors.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_in_process.h"
#include "cli_runner.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

class CliReportTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    // January: two purchases; February: only a sale (of a domain bought in
    // January); March: nothing.
    add({makeDomain("a.com", {{DomainField::PurchasedOn, "2017-01-05"},
                              {DomainField::OneTimeCost, "10.125"}}),
         makeDomain("b.com", {{DomainField::PurchasedOn, "2017-01-20"},
                              {DomainField::OneTimeCost, "20"},
                              {DomainField::FinalPrice, "100"},
                              {DomainField::SoldOn, "2017-02-10"}})});
  }
  RunResult report(std::vector<std::string> args) {
    args.insert(args.begin(), "report");
    return runInProcess(args, db());
  }
};

TEST_F(CliReportTest, PrintsHeaderPeriodLinesAndTotals) {
  const RunResult r = report({"--from", "2017-01-31", "--to", "2017-03-01", "--unit", "月"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "期间\t购买数量\t购买成本\t购买均价\t销售数量\t销售金额\t销售均价\t销售利润\n"
            "2017年/1月\t2\t30.13\t15.06\t0\t0\t0\t\n"
            "2017年/2月\t0\t0\t0\t1\t100\t100\t\n"
            "2017年/3月\t0\t0\t0\t0\t0\t0\t\n"
            "合计\t2\t30.13\t15.06\t1\t100\t100\t69.88\n");
}

TEST_F(CliReportTest, DaysYearsAndAReversedRange) {
  RunResult r = report({"--from", "2017-02-09", "--to", "2017-02-10", "--unit", "日"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "期间\t购买数量\t购买成本\t购买均价\t销售数量\t销售金额\t销售均价\t销售利润\n"
            "2017/02/09\t0\t0\t0\t0\t0\t0\t\n"
            "2017/02/10\t0\t0\t0\t1\t100\t100\t\n"
            "合计\t0\t0\t0\t1\t100\t100\t100\n");

  r = report({"--from", "2017-06-01", "--to", "2017-06-01", "--unit", "年"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "期间\t购买数量\t购买成本\t购买均价\t销售数量\t销售金额\t销售均价\t销售利润\n"
            "2017年\t2\t30.13\t15.06\t1\t100\t100\t\n"
            "合计\t2\t30.13\t15.06\t1\t100\t100\t69.88\n");

  r = report({"--from", "2017-02-10", "--to", "2017-02-09", "--unit", "日"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "期间\t购买数量\t购买成本\t购买均价\t销售数量\t销售金额\t销售均价\t销售利润\n"
            "2017/02/09\t0\t0\t0\t0\t0\t0\t\n"
            "2017/02/10\t0\t0\t0\t1\t100\t100\t\n"
            "合计\t0\t0\t0\t1\t100\t100\t100\n");
}

TEST_F(CliReportTest, CsvHasTheSameRows) {
  const RunResult r =
      report({"--from", "2017-01-01", "--to", "2017-02-28", "--unit", "月", "--format", "csv"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "期间,购买数量,购买成本,购买均价,销售数量,销售金额,销售均价,销售利润\r\n"
            "2017年/1月,2,30.13,15.06,0,0,0,\r\n"
            "2017年/2月,0,0,0,1,100,100,\r\n"
            "合计,2,30.13,15.06,1,100,100,69.88\r\n");
}

TEST_F(CliReportTest, JsonIsOneArrayWithTheTotalsLast) {
  const RunResult r =
      report({"--from", "2017-01-01", "--to", "2017-02-28", "--unit", "月", "--format", "json"});
  EXPECT_EQ(r.code, 0) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  ASSERT_TRUE(json.is_array());
  ASSERT_EQ(json.size(), 3u);
  EXPECT_EQ(json[0]["期间"], "2017年/1月");
  EXPECT_EQ(json[0]["购买数量"], 2);
  EXPECT_EQ(json[0]["购买成本"], 30.13);
  EXPECT_TRUE(json[0]["销售利润"].is_null());
  EXPECT_EQ(json[1]["销售金额"], 100);
  EXPECT_EQ(json[2]["期间"], "合计");
  EXPECT_EQ(json[2]["销售利润"], 69.88);
  EXPECT_EQ(json[2]["销售均价"], 100);
}

struct UsageCase {
  std::vector<std::string> args;
  std::string message;
};

void PrintTo(const UsageCase& c, std::ostream* out) {
  for (const std::string& arg : c.args) *out << arg << ' ';
}

class CliReportUsage : public CliReportTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliReportUsage, ExitsTwoWithAMessageAndPrintsNothing) {
  const RunResult r = report(GetParam().args);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    BadOptions, CliReportUsage,
    ::testing::Values(
        UsageCase{{"--from", "2017-01-01", "--to", "2017-01-31"},
                  "pelmora-cli report: give --from, --to and --unit\n"},
        UsageCase{{"--unit", "月"}, "pelmora-cli report: give --from, --to and --unit\n"},
        UsageCase{{"--from", "2017-01-01", "--to", "2017-02-30", "--unit", "月"},
                  "pelmora-cli report: --to 2017-02-30: not a date (use yyyy-MM-dd)\n"},
        UsageCase{{"--from", "x", "--to", "2017-02-01", "--unit", "月"},
                  "pelmora-cli report: --from x: not a date (use yyyy-MM-dd)\n"},
        UsageCase{{"--from", "2017-01-01", "--to", "2017-02-01", "--unit", "周"},
                  "pelmora-cli report: --unit 周: use 日, 月 or 年\n"},
        UsageCase{{"--from", "2017-01-01", "--to", "2017-02-01", "--unit", "日", "--format", "xml"},
                  "pelmora-cli report: --format xml: use tsv, csv or json\n"}));

TEST(CliReportProcess, AMissingDatabaseIsNeitherCreatedNorReported) {
  TempFolder folder;
  const auto path = folder.file("missing.mdb");
  const auto [code, output] =
      runCli("--db " + path.string() + " report --from 2017-01-01 --to 2017-01-31 --unit 月");
  EXPECT_EQ(code, 2) << output;
  EXPECT_NE(output.find("数据库连接失败"), std::string::npos) << output;
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CliReportProcess, HelpDescribesTheLines) {
  const auto [code, output] = runCli("report --help");
  EXPECT_EQ(code, 0);
  for (const char* part : {"--from yyyy-MM-dd", "--to yyyy-MM-dd", "--unit 日|月|年",
                           "--format FORMAT", "合计", "销售利润"}) {
    EXPECT_NE(output.find(part), std::string::npos) << part << "\n" << output;
  }
}

}  // namespace
}  // namespace pelmora::testing

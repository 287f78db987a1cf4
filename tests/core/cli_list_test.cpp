#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_in_process.h"
#include "cli_runner.h"
#include "editing/csv_import.h"
#include "store/date_store.h"
#include "store/settings_store.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

class CliListTest : public DatabaseTest {
 protected:
  RunResult list(std::vector<std::string> args) {
    args.insert(args.begin(), "list");
    return runInProcess(args, db());
  }
};

TEST_F(CliListTest, PrintsCaptionThenTabSeparatedRows) {
  add({makeDomain("abc.com", {{DomainField::Registrar, "西数"},
                              {DomainField::OneTimeCost, "12.345"},
                              {DomainField::FinalPrice, "100"},
                              {DomainField::ExpiresOn, "2017-3-16"}}),
       makeDomain("b.net")});
  const RunResult r = list({});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(
      r.out,
      "翻页,总数[2]个,共[1]页\n"
      "b.net\tnet\t1\t\t\t\t\t\t0\t0\t0\t0\t0\t0\t0\t0\t\t\t\n"
      "abc.com\tcom\t3\t西数\t\t\t\t2017-03-16\t12.35\t0\t12.35\t0\t0\t100\t87.66\t1\t\t\t\n");
}

// CSV and JSON end with the last lookup, which the CSV import leaves alone.
TEST_F(CliListTest, CsvAndJsonEndWithTheLastLookup) {
  add({makeDomain("a.com"), makeDomain("b.net")});
  ASSERT_TRUE(
      storeDomainDates(db(), "a.com", std::nullopt, *parseDate("2027-01-02"),
                       {"2026-12-11 08:00:00", "whois.verisign-grs.com", "auto renew period"})
          .ok);
  const std::string csv = list({"--format", "csv"}).out;
  EXPECT_NE(csv.find(",出售时间,最后查询,查询来源,域名状态\r\nb.net,"), std::string::npos) << csv;
  EXPECT_TRUE(csv.ends_with(",,2026-12-11 08:00:00,whois.verisign-grs.com,auto renew period\r\n"));
  auto rows = nlohmann::json::parse(list({"--format", "json"}).out);
  EXPECT_EQ(rows[1]["查询来源"], "whois.verisign-grs.com");
  EXPECT_TRUE(rows[0].contains("最后查询") && rows[0]["最后查询"].is_null());
  ClassificationLists lists;
  ASSERT_TRUE(lists.rebuild(db()));
  const CsvImport import = readCsvImport(csv, lists);
  EXPECT_EQ(import.rows.size(), 2u);
  EXPECT_EQ(unknownColumnsWarning(import.unknownColumns), "");
}

TEST_F(CliListTest, FilterPagingAndSortOptions) {
  std::vector<DomainRecord> records;
  for (int i = 0; i < 5; ++i) {
    records.push_back(makeDomain("n" + std::to_string(i) + ".com",
                                 {{DomainField::ReservePrice, std::to_string(i * 10)}}));
  }
  add(records);
  ASSERT_TRUE(SettingsStore(db()).write(kSettingPageSize, "2"));
  RunResult r = list({"--page", "3"});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "翻页,总数[5]个,共[3]页");
  EXPECT_NE(r.out.find("n0.com"), std::string::npos);
  // Past the last page: the caption alone, so a script paging on stops.
  r = list({"--page", "4"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "翻页,总数[5]个,共[3]页\n");
  EXPECT_EQ(list({"--page", "999", "--format", "json"}).out, "[]\n");

  r = list({"--range", "预售底价:15:35", "--sort", "预售底价", "--page-size", "10"});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "翻页,总数[2]个,共[1]页");
  EXPECT_LT(r.out.find("n3.com"), r.out.find("n2.com"));
  r = list({"--range", "预售底价:15:35", "--sort", "预售底价", "--order", "asc"});
  EXPECT_LT(r.out.find("n2.com"), r.out.find("n3.com"));

  r = list({"--name", "n4", "--name-match", "开头"});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "翻页,总数[1]个,共[1]页");
  r = list({"--expiry", "今天"});
  EXPECT_EQ(r.out, "翻页,总数[0]个,共[1]页\n");
}

TEST_F(CliListTest, BadOptionsExitTwoWithAMessage) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--page", "0"},
                                               {"--page-size", "abc"},
                                               {"--sort", "nope"},
                                               {"--order", "up"},
                                               {"--sold", "maybe"},
                                               {"--expiry", "7"},
                                               {"--range", "备注:1:2"},
                                               {"--date", "注册时间:2017-01-01:2017-02-30"},
                                               {"--length", "3"},
                                               {"--length", "1,000:5"},
                                               {"--length", "abc:"},
                                               {"--length", "0:0x10"},
                                               {"--range", "预售底价:12元:"},
                                               {"--range", "标价:0:0x10"},
                                               {"--range", "利润:1,000:2,000"},
                                               {"--range", "一次成本:inf:"},
                                               {"--page", "0x10"},
                                               {"--page", "1,000"},
                                               {"--page-size", "12元"},
                                               {"--bogus", "1"},
                                               {"--name"}}) {
    const RunResult r = list(args);
    EXPECT_EQ(r.code, 2) << args[0];
    EXPECT_FALSE(r.err.empty()) << args[0];
    EXPECT_TRUE(r.out.empty()) << args[0];
  }
}

TEST_F(CliListTest, RangeBoundsMustBeNumbersOrEmpty) {
  add({makeDomain("a.com", {{DomainField::ReservePrice, "5"}}),
       makeDomain("bbbb.com", {{DomainField::ReservePrice, "50"}})});
  RunResult r = list({"--length", "1,000:5"});
  EXPECT_EQ(r.err, "pelmora-cli list: --length 1,000:5: \"1,000\" is not a number\n");
  r = list({"--range", "预售底价:0x10:"});
  EXPECT_EQ(r.err, "pelmora-cli list: --range 预售底价:0x10:: \"0x10\" is not a number\n");

  r = list({"--length", "3:"});  // no upper bound: every length
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "翻页,总数[2]个,共[1]页");
  r = list({"--length", "3:9"});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "翻页,总数[1]个,共[1]页");
  r = list({"--range", "预售底价::10"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "翻页,总数[1]个,共[1]页");
  r = list({"--range", "预售底价:10.5:"});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "翻页,总数[1]个,共[1]页");
}

TEST_F(CliListTest, OneLinePerDomainWithControlsEscaped) {
  add({makeDomain("a.com", {{DomainField::Note, "x\ty\nz\\ \x1b[2J\a\u202Egnp.exe 好🙂"}})});
  const RunResult r = list({});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "翻页,总数[1]个,共[1]页\n"
            "a.com\tcom\t1\t\t\t\t\t\t0\t0\t0\t0\t0\t0\t0\t0\t"
            "x\\ty\\nz\\\\ \\x1B[2J\\x07\\u202Egnp.exe 好🙂\t\t\n");

  const RunResult bad = list({"--bogus\x1b]0;owned\a", "1"});
  EXPECT_EQ(bad.err, "pelmora-cli list: unknown option --bogus\\x1B]0;owned\\x07\n");
}

TEST(CliExecutable, DatabaseBeforeOrAfterTheCommand) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  {
    auto db = openCurrentDatabase(path);
    ASSERT_TRUE(db);
    ASSERT_EQ(insertDomains(*db, {testDomain("a.com")}).failed, 0u);
  }
  const std::string expected =
      "翻页,总数[1]个,共[1]页\n"
      "a.com\tcom\t1\t\t\t\t\t\t0\t0\t0\t0\t0\t0\t0\t0\t\t\t\n";
  for (const std::string& args :
       {"--db " + path.string() + " list --page 1", "list --db " + path.string() + " --page 1",
        "list --page 1 --db /nowhere/x.mdb --db " + path.string(),
        "--db /nowhere/x.mdb list --db " + path.string()}) {
    const auto [code, output] = runCli(args);
    EXPECT_EQ(code, 0) << args;
    EXPECT_EQ(output, expected) << args;
  }
  const auto [code, output] = runCli("list --db");
  EXPECT_EQ(code, 2);
  EXPECT_EQ(output, "pelmora-cli list: --db needs a value\n");
}

TEST(CliExecutable, OpenFailureMessageAndExitCode) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  {
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fputs("not a database", f);
    std::fclose(f);
  }
  auto [code, output] = runCli("--db " + path.string() + " list");
  EXPECT_EQ(code, 2);
  EXPECT_NE(output.find("数据库连接失败, " + path.string() + " 不是域名数据库."), std::string::npos)
      << output;

  // Open in a window: a command reads beside it.
  const auto busy = folder.file("busy.mdb");
  auto window =
      openCurrentDatabase(busy, nullptr, OpenMode::ReadWrite, {}, nullptr, Opener::Window);
  ASSERT_TRUE(window);
  std::tie(code, output) = runCli("--db " + busy.string() + " list");
  EXPECT_EQ(code, 0) << output;
  EXPECT_EQ(output, "翻页,总数[0]个,共[1]页\n");
  window.reset();

  std::tie(code, output) = runCli("--db " + busy.string() + " list");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(output, "翻页,总数[0]个,共[1]页\n");
  std::tie(code, output) = runCli("--db " + busy.string() + " frobnicate");
  EXPECT_EQ(code, 2);
}

}  // namespace
}  // namespace pelmora::testing

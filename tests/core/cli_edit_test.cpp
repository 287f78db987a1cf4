#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/command_line.h"
#include "cli_runner.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

struct RunResult {
  int code;
  std::string out;
  std::string err;
};

class CliEditTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    addEntry("注册商", "西数", 1);
    addEntry("注册商", "O'Brien", 2);
    addEntry("自定义分类", "精品", 1);
    add({makeDomain("a.com", {{DomainField::Registrar, "西数"},
                              {DomainField::OneTimeCost, "50"},
                              {DomainField::FinalPrice, "300"},
                              {DomainField::SoldOn, "2020-01-02"}}),
         makeDomain("b.com", {{DomainField::Registrar, "西数"}}), makeDomain("c.com")});
  }
  RunResult cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = cli::runCommandLine(args, Clock::system(), out, err, &db());
    return {code, out.str(), err.str()};
  }
  std::string field(const std::string& domain, DomainField f) {
    std::string text;
    db().query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {domain},
               [&](const SqlRow& row) { text = readDomainRecord(row)[f]; });
    return text;
  }
  std::vector<std::string> names() {
    std::vector<std::string> found;
    db().query("SELECT 域名 FROM 域名 ORDER BY id", {},
               [&](const SqlRow& row) { found.push_back(row.text(0)); });
    return found;
  }
};

TEST_F(CliEditTest, DeleteListsTheMissingThenPrintsTheStatus) {
  RunResult r = cli({"delete", "c.com", "missing.com", "A.COM"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "missing.com[不存在]\n 提示: 删除 [2]  个成功! 删除 [1] 个失败\n");
  EXPECT_EQ(names(), std::vector<std::string>{"b.com"});

  r = cli({"delete", "b.com"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, " 提示: 删除 [1]  个成功! 删除 [0] 个失败\n");
  EXPECT_TRUE(names().empty());

  EXPECT_EQ(cli({"delete"}).code, 2);
}

TEST_F(CliEditTest, DeleteIsAllOrNothing) {
  ASSERT_TRUE(
      db().run("CREATE TRIGGER 保留 BEFORE DELETE ON 域名 WHEN OLD.域名='c.com'"
               " BEGIN SELECT RAISE(ABORT, 'kept'); END"));
  const RunResult r = cli({"delete", "a.com", "c.com"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, " 提示: 删除 [0]  个成功! 删除 [2] 个失败\n");
  EXPECT_NE(r.err.find("kept"), std::string::npos);
  EXPECT_EQ(names().size(), 3u);
}

TEST_F(CliEditTest, ModifyBatchListedDomains) {
  const RunResult r =
      cli({"modify-batch", "a.com", "missing.com", "c.com", "--set", "一次成本=100", "--set",
           "备注=it's", "--set", "对外标价=88", "--set", "注册商=o'brien"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "missing.com[域名不存在]\n修改完毕: 总数[ 3 ], 成功[ 2 ], 失败[ 1 ]\n");
  EXPECT_EQ(field("a.com", DomainField::OneTimeCost), "100");
  EXPECT_EQ(field("a.com", DomainField::Profit), "200");
  EXPECT_EQ(field("a.com", DomainField::Note), "it's");
  EXPECT_EQ(field("c.com", DomainField::AskingPrice), "88");
  EXPECT_EQ(field("c.com", DomainField::Registrar), "O'Brien");  // the list's spelling
}

TEST_F(CliEditTest, ModifyBatchFilteredOrAllDomains) {
  RunResult r = cli(
      {"modify-batch", "--registrar", "西数", "--set", "最终售价=0", "--set", "自定义分类=精品"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "修改完毕: 总数[ 2 ], 成功[ 2 ], 失败[ 0 ]\n");
  EXPECT_EQ(field("a.com", DomainField::Sold), "FALSE");
  EXPECT_EQ(field("a.com", DomainField::SoldOn), "");
  EXPECT_EQ(field("b.com", DomainField::Category), "精品");
  EXPECT_EQ(field("c.com", DomainField::Category), "-");

  r = cli({"modify-batch", "--all", "--set", "自定义分类=未分组", "--set", "购买时间=2017/1/3"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "修改完毕: 总数[ 3 ], 成功[ 3 ], 失败[ 0 ]\n");
  EXPECT_EQ(field("b.com", DomainField::Category), "-");
  EXPECT_EQ(field("c.com", DomainField::PurchasedOn), "2017-01-03");
}

TEST_F(CliEditTest, ModifyBatchUsageErrorsChangeNothing) {
  const std::vector<std::vector<std::string>> bad{
      {"modify-batch", "a.com"},
      {"modify-batch", "a.com", "--set", "利润=5"},
      {"modify-batch", "a.com", "--set", "备注"},
      {"modify-batch", "a.com", "--set", "出售时间=2017-02-30"},
      {"modify-batch", "a.com", "--set", "标价=12abc"},
      {"modify-batch", "--set", "备注=x"},
      {"modify-batch", "a.com", "--registrar", "西数", "--set", "备注=x"},
      {"modify-batch", "--all", "a.com", "--set", "备注=x"},
      {"modify-batch", "a.com", "--set", "注册商=无此注册商"},
      {"modify-batch", "a.com", "--set", "自定义分类=西数"},
  };
  for (const auto& args : bad) {
    const RunResult r = cli(args);
    EXPECT_EQ(r.code, 2) << args.back();
    EXPECT_FALSE(r.err.empty()) << args.back();
    EXPECT_EQ(r.out, "") << args.back();
  }
  EXPECT_EQ(field("a.com", DomainField::Note), "");
  EXPECT_EQ(field("a.com", DomainField::Registrar), "西数");
}

TEST(CliEditExecutable, AnUnusableDatabaseExitsTwo) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  std::ofstream(path) << "not a database at all, just some text that is long enough";
  for (const char* command : {"delete a.com", "modify-batch a.com --set 备注=x"}) {
    const auto [code, output] = runCli("--db " + path.string() + " " + std::string(command));
    EXPECT_EQ(code, 2) << command;
    EXPECT_NE(output.find("数据库连接失败"), std::string::npos) << output;
  }
}

}  // namespace
}  // namespace pelmora::testing

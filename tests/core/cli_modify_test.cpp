#include <gtest/gtest.h>

#include <fstream>

#include "cli_runner.h"
#include "support/gbk.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

const std::vector<std::string> kLines{
    "a.com,注册商=西数,备注=it's", "missing.com,备注=x",       "a.com,备注=a=b",
    "b.com,注册时间=2013-13-45",   "b.com,注册商=无此,备注=y", "中文.net,备注=好"};
const std::string kExpectedOutput =
    "missing.com[域名不存在]\n"
    "a.com[格式错误]\n"
    "b.com[格式错误]\n"
    "b.com[注册商 的值不存在]\n"
    "修改完毕: 总数[ 6 ], 成功[ 2 ], 失败[ 4 ]\n";

std::string joined(const std::vector<std::string>& lines, const std::string& lineBreak) {
  std::string text;
  for (const std::string& line : lines) text += line + lineBreak;
  return text;
}

class CliModifyTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    addEntry("注册商", "西数", 1);
    add({makeDomain("a.com"), makeDomain("b.com"), makeDomain("中文.net")});
    db_.reset();  // the command opens the file itself
  }

  std::string write(const std::string& name, const std::string& bytes) {
    const auto path = folder_.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  std::pair<int, std::string> modify(const std::string& arguments) {
    return runCli("--db " + dbPath().string() + " modify " + arguments);
  }

  std::string storedField(const std::string& name, DomainField field) {
    auto db = openCurrentDatabase(dbPath(), nullptr, OpenMode::ReadOnly);
    std::string value;
    EXPECT_TRUE(db);
    if (db) {
      db->query("SELECT " + domainColumnList() + " FROM 域名 WHERE 域名=?", {name},
                [&](const SqlRow& row) { value = readDomainRecord(row)[field]; });
    }
    return value;
  }
};

struct InputCase {
  std::string name;
  std::string bytes;
  bool viaStdin;
};

void PrintTo(const InputCase& c, std::ostream* out) { *out << c.name; }

class CliModifyInputTest : public CliModifyTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(CliModifyInputTest, TheSameLinesGiveTheSameResultInAnyForm) {
  const std::string file = write("lines.txt", GetParam().bytes);
  const auto [code, output] = modify(GetParam().viaStdin ? "< " + file : "--file " + file);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(output, kExpectedOutput);
  EXPECT_EQ(storedField("a.com", DomainField::Registrar), "西数");
  EXPECT_EQ(storedField("a.com", DomainField::Note), "it's");
  EXPECT_EQ(storedField("中文.net", DomainField::Note), "好");
  EXPECT_EQ(storedField("b.com", DomainField::Note), "");
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CliModifyInputTest,
    ::testing::Values(InputCase{"Lf", joined(kLines, "\n"), false},
                      InputCase{"CrLfWithEmptyTrailingLines", joined(kLines, "\r\n") + "\r\n\r\n",
                                false},
                      InputCase{"Gbk", utf8ToGbk(joined(kLines, "\r\n")), false},
                      InputCase{"Utf8WithMark", "\xEF\xBB\xBF" + joined(kLines, "\n"), false},
                      InputCase{"StandardInput", joined(kLines, "\n"), true}),
    [](const auto& info) { return info.param.name; });

TEST_F(CliModifyTest, AllAppliedExitsZero) {
  const auto [code, output] = modify("--file " + write("ok.txt", "a.com,备注=1\nb.com,备注=2"));
  EXPECT_EQ(code, 0) << output;
  EXPECT_EQ(output, "修改完毕: 总数[ 2 ], 成功[ 2 ], 失败[ 0 ]\n");
  EXPECT_EQ(storedField("b.com", DomainField::Note), "2");
}

TEST_F(CliModifyTest, AnUnreadableFileExitsTwoAndChangesNothing) {
  for (const auto& [path, reason] :
       {std::pair{folder_.file("missing.txt").string(), "No such file or directory"},
        std::pair{folder_.path().string(), "Is a directory"}}) {
    const auto [code, output] = modify("--file " + path);
    EXPECT_EQ(code, 2) << path;
    EXPECT_NE(output.find("cannot read " + path + ": " + reason), std::string::npos) << output;
    EXPECT_EQ(output.find("修改完毕"), std::string::npos) << output;
  }
}

TEST_F(CliModifyTest, ADatabaseThatIsNotADatabaseExitsTwo) {
  const std::string path = write("junk.mdb", "not a database at all");
  const std::string lines = write("lines.txt", "a.com,备注=1\n");
  const auto [code, output] = runCli("--db " + path + " modify --file " + lines);
  EXPECT_EQ(code, 2) << output;
  EXPECT_EQ(output.find("修改完毕"), std::string::npos) << output;
}

}  // namespace
}  // namespace pelmora::testing

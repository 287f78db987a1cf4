#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/command_line.h"
#include "cli_runner.h"
#include "editing/batch_add.h"
#include "store/classification_lists.h"
#include "support/gbk.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

const std::vector<std::string> kLines{"a.com", "b.com|x", "c.com|某注册商|||||||||||| ", "A.com",
                                      "例子.net||||||5|||||||"};
const std::string kExpectedOutput =
    "b.com[格式错误]\n"
    "c.com[注册商字段不正确]\n"
    "A.com[格式错误,或域名已存在]\n"
    "结果: 总计[ 5 ],成功[ 2 ],失败[ 3 ]\n";

std::string joined(const std::vector<std::string>& lines, const std::string& lineBreak) {
  std::string text;
  for (const std::string& line : lines) text += line + lineBreak;
  return text;
}

class CliAddTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(openCurrentDatabase(dbPath_)); }

  std::string write(const std::string& name, const std::string& bytes) {
    const auto path = folder_.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  std::pair<int, std::string> add(const std::string& arguments) {
    return runCli("--db " + dbPath_.string() + " add " + arguments);
  }

  std::vector<std::string> storedNames() {
    auto db = openCurrentDatabase(dbPath_, nullptr, OpenMode::ReadOnly);
    std::vector<std::string> names;
    EXPECT_TRUE(db);
    if (db) {
      db->query("SELECT 域名 FROM 域名 ORDER BY id", {},
                [&](const SqlRow& row) { names.push_back(row.text(0)); });
    }
    return names;
  }

  TempFolder folder_;
  std::filesystem::path dbPath_ = folder_.file("domain.mdb");
};

struct InputCase {
  std::string name;
  std::string bytes;
  bool viaStdin;
};

void PrintTo(const InputCase& c, std::ostream* out) { *out << c.name; }

class CliAddInputTest : public CliAddTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(CliAddInputTest, TheSameLinesGiveTheSameResultInAnyForm) {
  const std::string file = write("lines.txt", GetParam().bytes);
  const auto [code, output] = add(GetParam().viaStdin ? "< " + file : "--file " + file);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(output, kExpectedOutput);
  EXPECT_EQ(storedNames(), (std::vector<std::string>{"a.com", "例子.net"}));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CliAddInputTest,
    ::testing::Values(InputCase{"Lf", joined(kLines, "\n"), false},
                      InputCase{"CrLf", joined(kLines, "\r\n"), false},
                      InputCase{"NoFinalBreak",
                                joined(kLines, "\r\n").substr(0, joined(kLines, "\r\n").size() - 2),
                                false},
                      InputCase{"Utf8Mark", "\xEF\xBB\xBF" + joined(kLines, "\r\n"), false},
                      InputCase{"Gbk", utf8ToGbk(joined(kLines, "\r\n")), false},
                      InputCase{"Stdin", joined(kLines, "\n"), true},
                      InputCase{"GbkStdin", utf8ToGbk(joined(kLines, "\n")), true}),
    [](const auto& info) { return info.param.name; });

TEST_F(CliAddTest, TheCommandPrintsWhatTheCoreRunGives) {
  // in-process, against the core run on a second database with the same lines
  TempFolder other;
  auto reference = openCurrentDatabase(other.file("domain.mdb"));
  ASSERT_TRUE(reference);
  ClassificationLists lists;
  ASSERT_TRUE(lists.rebuild(*reference));
  const BatchAddResult expected = runBatchAdd(*reference, kLines, lists);
  std::string expectedText = expected.failures;
  for (std::size_t at; (at = expectedText.find("\r\n")) != std::string::npos;) {
    expectedText.replace(at, 2, "\n");
  }
  expectedText += batchAddResultText(expected) + "\n";

  auto db = openCurrentDatabase(dbPath_);
  ASSERT_TRUE(db);
  const std::string file = write("lines.txt", joined(kLines, "\r\n"));
  std::ostringstream out;
  std::ostringstream err;
  const int code =
      cli::runCommandLine({"add", "--file", file}, Clock::system(), out, err, db.get());
  EXPECT_EQ(code, 1);
  EXPECT_EQ(out.str(), expectedText);
  EXPECT_EQ(out.str(), kExpectedOutput);
  EXPECT_EQ(err.str(), "");
}

TEST_F(CliAddTest, FailedNamesAreEscapedForTheTerminal) {
  const std::string file = write("lines.txt",
                                 "\xEF\xBB\xBF"
                                 "bad\xFF.com|x\r\ntab\t.com|y\r\n");
  const auto [code, output] = add("--file " + file);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(output,
            "bad\\xFF.com[格式错误]\n"
            "tab\\t.com[格式错误]\n"
            "结果: 总计[ 2 ],成功[ 0 ],失败[ 2 ]\n");
}

TEST_F(CliAddTest, CsvImportReportsUnknownColumnsAndBrokenLines) {
  const std::string file = write("list.csv",
                                 "\xEF\xBB\xBF"
                                 "domain;Note;颜色;cost\r\n"
                                 "\"semi.com\";\"it's \"\"x\"\"; y\";红;12.345\r\n"
                                 "b.com;\"two\r\nlines\";;\r\n"
                                 "c.com;short\r\n"
                                 "d.com;;;1\r\n");
  const auto [code, output] = add("--csv " + file);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(output,
            "pelmora-cli add: 未知的列已跳过: 颜色\n"
            "第 5 行[格式错误]\n"
            "结果: 总计[ 4 ],成功[ 3 ],失败[ 1 ]\n");
  EXPECT_EQ(storedNames(), (std::vector<std::string>{"semi.com", "b.com", "d.com"}));
}

// The program's own export comes back: the derived columns are computed
// again without a warning, and the rows are added in the file's order.
TEST_F(CliAddTest, ACsvExportOfTheListingComesBackWithoutAWarning) {
  const std::string lines = write("in.txt", "a.com\nb.net\n中文.cn\n");
  ASSERT_EQ(add("--file " + lines).first, 0);
  const auto exported = runCli("--db " + dbPath_.string() +
                               " list --all --order asc --format csv --bom --page-size 1");
  ASSERT_EQ(exported.first, 0) << exported.second;
  EXPECT_TRUE(exported.second.starts_with("\xEF\xBB\xBF域名,后缀,长度,")) << exported.second;
  const std::string file = write("export.csv", exported.second);
  dbPath_ = folder_.file("second.mdb");
  const auto [code, output] = add("--csv " + file);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(output, "结果: 总计[ 3 ],成功[ 3 ],失败[ 0 ]\n");
  EXPECT_EQ(storedNames(), (std::vector<std::string>{"a.com", "b.net", "中文.cn"}));
  const auto again =
      runCli("--db " + dbPath_.string() + " list --all --order asc --format csv --bom");
  EXPECT_EQ(again.second, exported.second);
}

struct ExitCase {
  std::string arguments;  // {F} stands for a file holding `content`
  std::string content;
  int code;
};

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.arguments; }

class CliAddExitCodeTest : public CliAddTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(CliAddExitCodeTest, ExitCodesTellWhatHappened) {
  std::string arguments = GetParam().arguments;
  const std::string file = write("input.csv", GetParam().content);
  for (std::size_t at; (at = arguments.find("{F}")) != std::string::npos;) {
    arguments.replace(at, 3, file);
  }
  const auto [code, output] = add(arguments);
  EXPECT_EQ(code, GetParam().code) << arguments << "\n" << output;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliAddExitCodeTest,
    ::testing::Values(ExitCase{"--file {F}", "ok1.com\nok2.com\n", 0},
                      ExitCase{"--file {F}", "", 0}, ExitCase{"--file {F}", "x|y\n", 1},
                      ExitCase{"--csv {F}", "域名,备注\nok.com,n\n", 0},
                      ExitCase{"--csv {F}", "域名,备注\nok.com\n", 1},
                      ExitCase{"--csv {F}", "note,cost\nx,1\n", 2}, ExitCase{"--csv {F}", "", 2},
                      ExitCase{"--file /nonexistent/lines.txt", "", 2}, ExitCase{"--file .", "", 2},
                      ExitCase{"--csv /nonexistent/list.csv", "", 2},
                      ExitCase{"--file {F} --csv {F}", "", 2}, ExitCase{"--file", "", 2},
                      ExitCase{"stray", "", 2}));

// Input past the limits (a line over 1 MiB, more than 256 MiB in all) is
// refused with the reason, and nothing of it is stored, wherever it comes from.
struct OversizeCase {
  std::string name;
  std::string command;  // {F} stands for a file holding `content`
  std::string content;
  std::uintmax_t sparseSize;  // when not 0, the file is made this large without data
  std::string message;
};

void PrintTo(const OversizeCase& c, std::ostream* out) { *out << c.name; }

class CliOversizeTest : public CliAddTest, public ::testing::WithParamInterface<OversizeCase> {
 protected:
  std::string rows() {
    auto db = openCurrentDatabase(dbPath_, nullptr, OpenMode::ReadOnly);
    std::string text;
    EXPECT_TRUE(db);
    if (db) {
      db->query("SELECT 域名, 备注 FROM 域名 ORDER BY id", {},
                [&](const SqlRow& row) { text += row.text(0) + "|" + row.text(1) + "\n"; });
    }
    return text;
  }
};

TEST_P(CliOversizeTest, IsRefusedAndNothingIsStored) {
  const OversizeCase& c = GetParam();
  ASSERT_EQ(add("--file " + write("seed.txt", "a.com|||||||||||原样||\n")).first, 0);
  const std::string before = rows();
  const std::string file = write("input.txt", c.content);
  if (c.sparseSize != 0) std::filesystem::resize_file(file, c.sparseSize);
  const auto withFile = [&](std::string text) {
    for (std::size_t at; (at = text.find("{F}")) != std::string::npos;) text.replace(at, 3, file);
    return text;
  };
  const auto [code, output] = runCli("--db " + dbPath_.string() + " " + withFile(c.command));
  EXPECT_EQ(code, 2) << output;
  EXPECT_NE(output.find(withFile(c.message)), std::string::npos) << output;
  EXPECT_EQ(rows(), before);
}

constexpr std::uintmax_t kMiB = 1024 * 1024;
const std::string kLongLine(kMiB + 1, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, CliOversizeTest,
    ::testing::Values(
        OversizeCase{"LongLine", "add --file {F}", "new1.com\n" + kLongLine + "\nnew2.com\n", 0,
                     "pelmora-cli add: nothing was stored: {F}: line 2 is longer than 1 MiB"},
        OversizeCase{"LongLineOnStandardInput", "add < {F}", "new1.com\n" + kLongLine + "\n", 0,
                     "pelmora-cli add: nothing was stored: standard input: line 2 is longer than "
                     "1 MiB"},
        OversizeCase{"LongCsvLine", "add --csv {F}", "域名,备注\nnew.com," + kLongLine + "\n", 0,
                     "line 2 is longer than 1 MiB"},
        OversizeCase{"LongModifyLine", "modify --file {F}", "a.com,备注=改\n" + kLongLine, 0,
                     "pelmora-cli modify: {F}: line 2 is longer than 1 MiB"},
        OversizeCase{"EndlessLine", "add --file /dev/zero", "", 0, "line 1 is longer than 1 MiB"},
        OversizeCase{"LargeFile", "add --file {F}", "", 256 * kMiB + 1,
                     "the input is larger than 256 MiB"},
        OversizeCase{"LargeCsv", "add --csv {F}", "", 256 * kMiB + 1,
                     "the input is larger than 256 MiB"},
        OversizeCase{"LargeModifyFile", "modify --file {F}", "", 256 * kMiB + 1,
                     "the input is larger than 256 MiB"}),
    [](const auto& info) { return info.param.name; });

TEST(CliAddDatabase, AnUnusableDatabaseExitsTwo) {
  TempFolder folder;
  const auto path = folder.file("domain.mdb");
  std::ofstream(path) << "not a database";
  const auto lines = folder.file("lines.txt");
  std::ofstream(lines) << "a.com\n";
  const auto [code, output] = runCli("--db " + path.string() + " add --file " + lines.string());
  EXPECT_EQ(code, 2) << output;
}

}  // namespace
}  // namespace pelmora::testing

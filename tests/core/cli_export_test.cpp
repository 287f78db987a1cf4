#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_in_process.h"
#include "cli_process.h"
#include "reports/expiry_calendar.h"
#include "support/csv_reader.h"
#include "support/text_encoding.h"
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
        {"export", "西数", "--calendar", "a.ics"},
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

TEST(CalendarText, EscapesTextValuesAndFoldsLongLines) {
  for (const auto& [text, escaped] :
       std::vector<std::pair<std::string, std::string>>{{"a\\b;c,d", "a\\\\b\\;c\\,d"},
                                                        {"一\r\n二\n三\r四", "一\\n二\\n三\\n四"},
                                                        {"tab\tbell\x07-del\x7F", "tab\tbell-del"},
                                                        {"bad\xFF", "bad\xEF\xBF\xBD"},
                                                        {"引号\"冒号:", "引号\"冒号:"}}) {
    EXPECT_EQ(calendarText(text), escaped) << text;
  }
  EXPECT_EQ(foldedCalendarLine(std::string(75, 'x')), std::string(75, 'x') + "\r\n");
  EXPECT_EQ(foldedCalendarLine(std::string(76, 'x')), std::string(75, 'x') + "\r\n x\r\n");
  std::string line = "SUMMARY:";  // 8 octets, then 3 per character
  for (int k = 0; k < 30; ++k) line += "注";
  const std::string folded = foldedCalendarLine(line);
  std::string unfolded;
  std::size_t start = 0;
  for (std::size_t end; (end = folded.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string piece = folded.substr(start, end - start);
    EXPECT_LE(piece.size(), 75u) << piece;
    EXPECT_TRUE(isValidUtf8(piece)) << piece;
    unfolded += start == 0 ? piece : piece.substr(1);
  }
  // 8 + 22 * 3 octets: the 23rd character would not fit whole.
  EXPECT_EQ(folded.substr(0, 74), line.substr(0, 74));
  EXPECT_EQ(folded.substr(74, 3), "\r\n ");
  EXPECT_EQ(unfolded, line);
}

// The interpreter Debian's python3-icalendar is installed for.
constexpr const char* kSystemPython = "/usr/bin/python3";

class CliCalendarTest : public CliExportTest {
 protected:
  // What the icalendar parser reads from the files (see calendar_check.py).
  nlohmann::json parsed(const std::vector<std::string>& files) {
    const auto json = folder_.file("parsed.json");
    std::ofstream{json};
    CliSetup setup;
    setup.program = kSystemPython;
    setup.standardOutput = json.string();
    std::vector<std::string> args{
        (std::filesystem::path(PELMORA_SOURCE_DIR) / "tests/core/calendar_check.py").string()};
    args.insert(args.end(), files.begin(), files.end());
    CliProcess python(args, folder_.file("python.err"), setup);
    EXPECT_EQ(python.wait(), 0) << python.output();
    std::ifstream in(json);
    return nlohmann::json::parse(in, nullptr, false);
  }
  const std::string kLongRegistrar =
      "阿里;云,网\\" + std::string(30, 'x') + "很长的注册商名称很长的注册商名称";
};

TEST_F(CliCalendarTest, OneAllDayEventPerExpiryWithThreeRemindersAndAStableUid) {
  add({makeDomain("CaseD.org", {{DomainField::ExpiresOn, "2017-12-31"},
                                {DomainField::Registrar, kLongRegistrar},
                                {DomainField::RenewalCost, "55.5"}}),
       makeDomain("gone.cn", {{DomainField::ExpiresOn, "2222-11-11"}}),
       makeDomain("odd.com", {{DomainField::ExpiresOn, "2018-01-01"}})});
  // A name from before names were checked.
  ASSERT_TRUE(db().run("UPDATE 域名 SET 域名='semi;colon,comma.com' WHERE 域名='odd.com'"));
  const std::string first = folder_.file("first.ics").string();
  const RunResult r = run({"calendar", first});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "已导出 3 个到期日到 " + first + ", 2 个域名没有到期时间\n");
  ASSERT_TRUE(db().run("UPDATE 域名 SET 续费成本=60 WHERE 域名='CaseD.org'"));
  const std::string second = folder_.file("second.ics").string();
  ASSERT_EQ(run({"calendar", second}).code, 0);
  const nlohmann::json files = parsed({first, second});
  ASSERT_EQ(files.size(), 2u) << files.dump();
  EXPECT_EQ(files[0]["prodid"], "-//Pelmora//青禾名簿//ZH");
  EXPECT_EQ(files[0]["version"], "2.0");
  EXPECT_EQ(files[0]["problems"].size() + files[1]["problems"].size(), 0u) << files.dump();
  const auto& events = files[0]["events"];
  ASSERT_EQ(events.size(), 3u) << files.dump();
  std::vector<std::string> uids;
  for (const auto& event : events) uids.push_back(event["uid"]);
  EXPECT_EQ(uids, (std::vector<std::string>{"one.com@pelmora", "cased.org@pelmora",
                                            "semi;colon,comma.com@pelmora"}));
  for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(files[1]["events"][k]["uid"], uids[k]);
  const auto& cased = events[1];
  EXPECT_EQ(cased["start"], "2017-12-31");
  EXPECT_EQ(cased["end"], "2018-01-01");
  EXPECT_TRUE(cased["all_day"]);
  EXPECT_EQ(cased["stamp"], "20170315T120000Z");
  EXPECT_EQ(cased["summary"], "到期: CaseD.org");
  EXPECT_EQ(cased["description"], "注册商: " + kLongRegistrar + "\n续费成本: 55.5");
  EXPECT_EQ(files[1]["events"][1]["description"], "注册商: " + kLongRegistrar + "\n续费成本: 60");
  EXPECT_EQ(events[2]["summary"], "到期: semi;colon,comma.com");
  EXPECT_EQ(events[0]["description"], "注册商: 西数\n续费成本: 0");
  ASSERT_EQ(cased["alarms"].size(), 3u);
  const std::vector<std::string> triggers{"-P30D", "-P7D", "-P1D"};
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(cased["alarms"][k]["action"], "DISPLAY");
    EXPECT_EQ(cased["alarms"][k]["trigger"], triggers[k]);
  }
  EXPECT_EQ(cased["alarms"][2]["description"], "CaseD.org 明天到期");
}

TEST_F(CliCalendarTest, TheFilterPicksTheDomains) {
  const std::string file = folder_.file("west.ics").string();
  ASSERT_EQ(run({"export", "--calendar", file, "--registrar", "西数"}).code, 0);
  const nlohmann::json files = parsed({file});
  ASSERT_EQ(files.size(), 1u);
  ASSERT_EQ(files[0]["events"].size(), 1u);
  EXPECT_EQ(files[0]["events"][0]["uid"], "one.com@pelmora");
}

TEST_F(CliCalendarTest, AFailedExportLeavesTheFileAsItWas) {
  const auto file = folder_.file("dates.ics");
  std::ofstream(file) << "old";
  ASSERT_TRUE(db().run("ALTER TABLE 域名 RENAME COLUMN 备注 TO 旧备注"));
  const RunResult r = run({"calendar", file.string()});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("备注"), std::string::npos) << r.err;
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
  }
  const RunResult missing = run({"calendar", folder_.file("none/dates.ics").string()});
  EXPECT_EQ(missing.code, 2);
  EXPECT_NE(missing.err.find("none/dates.ics"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace pelmora::testing

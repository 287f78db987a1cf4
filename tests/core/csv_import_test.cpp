#include "editing/csv_import.h"

#include <gtest/gtest.h>

#include "support/csv_reader.h"
#include "support/gbk.h"
#include "support/text_encoding.h"
#include "test_db.h"

namespace pelmora::testing {
namespace {

using Fields = std::vector<std::string>;

// ---- the CSV reader -----------------------------------------------------------

struct CsvCase {
  std::string text;
  char separator;
  Fields header;
  std::vector<Fields> records;  // the readable ones
  std::vector<std::size_t> brokenLines;
};

void PrintTo(const CsvCase& c, std::ostream* out) { *out << c.text; }

class CsvReaderTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvReaderTest, ReadsRecordsAndNamesTheBrokenOnes) {
  const CsvCase& c = GetParam();
  const CsvTable table = readCsv(c.text);
  ASSERT_TRUE(table.ok()) << table.error;
  EXPECT_EQ(table.separator, c.separator);
  EXPECT_EQ(table.header, c.header);
  std::vector<Fields> records;
  std::vector<std::size_t> broken;
  for (const CsvRecord& record : table.records) {
    if (record.ok()) {
      records.push_back(record.fields);
    } else {
      broken.push_back(record.line);
    }
  }
  EXPECT_EQ(records, c.records);
  EXPECT_EQ(broken, c.brokenLines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvReaderTest,
    ::testing::Values(
        CsvCase{"a,b\r\n1,2\r\n3,4", ',', {"a", "b"}, {{"1", "2"}, {"3", "4"}}, {}},
        CsvCase{"a;b\n1;2,5\n", ';', {"a", "b"}, {{"1", "2,5"}}, {}},
        // the separator is the one the header uses more often outside quotes
        CsvCase{"\"a,x\";b;c\n1;2;3\n", ';', {"a,x", "b", "c"}, {{"1", "2", "3"}}, {}},
        CsvCase{"a,b\n\"x,\"\"y\"\"\",\"line1\r\nline2\"\n",
                ',',
                {"a", "b"},
                {{"x,\"y\"", "line1\r\nline2"}},
                {}},
        // empty lines are skipped; empty fields are kept
        CsvCase{"a,b\n\n1,\n,\n\r\n", ',', {"a", "b"}, {{"1", ""}, {"", ""}}, {}},
        // wrong field counts and text after a closing quote
        CsvCase{"a,b\n1\n1,2,3\n\"x\"y,2\nok,1\n", ',', {"a", "b"}, {{"ok", "1"}}, {2, 3, 4}},
        // line numbers count the breaks inside quoted fields
        CsvCase{"a,b\n\"1\n2\",x\n3,y\nbad\n", ',', {"a", "b"}, {{"1\n2", "x"}, {"3", "y"}}, {5}},
        // an unclosed quote breaks its record; reading goes on at the next line
        CsvCase{"a,b\n\"open,1\n2,3\n", ',', {"a", "b"}, {{"2", "3"}}, {2}},
        CsvCase{"a,b\n1,\"open\n", ',', {"a", "b"}, {}, {2}},
        // a quote inside an unquoted field is text
        CsvCase{"a,b\nx\"y,2\n", ',', {"a", "b"}, {{"x\"y", "2"}}, {}}));

TEST(CsvReaderErrors, NoHeaderOrABrokenHeaderIsAnError) {
  EXPECT_FALSE(readCsv("").ok());
  EXPECT_FALSE(readCsv("\r\n\n").ok());
  EXPECT_FALSE(readCsv("\"domain,x\n").ok());
}

// ---- encoding detection ----------------------------------------------------------

TEST(TextEncoding, DetectsUtf8MarksUtf16AndGb18030) {
  const std::string chinese = "域名|西数";
  EXPECT_EQ(decodeTextFile(chinese), chinese);
  EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF" + chinese), chinese);
  EXPECT_EQ(decodeTextFile(utf8ToGbk(chinese + "\r\n例子.com")), chinese + "\r\n例子.com");
  // the GB18030 four-byte form of U+0E01, which GBK lacks
  EXPECT_EQ(decodeTextFile("th\x81\x32\xCE\x39"), "th\xE0\xB8\x81");
  // UTF-16 with its mark, little and big endian, with a surrogate pair
  EXPECT_EQ(decodeTextFile(std::string("\xFF\xFE\xDF\x57\x0D\x54\x3D\xD8\x00\xDE", 10)),
            "域名\xF0\x9F\x98\x80");
  EXPECT_EQ(decodeTextFile(std::string("\xFE\xFF\x57\xDF\x00\x61", 6)), "域a");
  // after a UTF-8 mark the bytes are taken as they are
  EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF\xFF"), "\xFF");
  EXPECT_EQ(decodeTextFile(""), "");
  // What GB18030 or UTF-16 cannot read stays unreadable, so its line fails;
  // the blank after a bad lead byte is kept.
  const std::string note = "g.com|西数|||||||||||备注";
  EXPECT_EQ(decodeTextFile(utf8ToGbk(note) + "\x81\x20\xff\xfe"), note + "\x81 \xff\xfe");
  EXPECT_EQ(decodeTextFile(std::string("\xFF\xFE\x00\xD8\x61\x00", 6)),
            "\xFF"
            "a");
  // UTF-8 lines with one stray byte stay UTF-8: only that line is damaged.
  const std::string mostlyUtf8 = "中文.com\r\nbad\xFF.com\r\ng.com|西数";
  EXPECT_EQ(decodeTextFile(mostlyUtf8), mostlyUtf8);
}

TEST(TextEncoding, Utf8Validity) {
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(isValidUtf8("ascii 域名 \xF0\x9F\x98\x80"));
  EXPECT_FALSE(isValidUtf8("\xFF"));
  EXPECT_FALSE(isValidUtf8("\xE5\x9F"));      // cut short
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(isValidUtf8(utf8ToGbk("域名")));
}

// ---- the import ------------------------------------------------------------------

class CsvImportTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    addEntry("注册商", "西数", 1);
    ASSERT_TRUE(lists_.rebuild(db()));
  }
  ClassificationLists lists_;
};

TEST_F(CsvImportTest, MapsChineseAndEnglishColumnsInAnyOrder) {
  const CsvImport import = readCsvImport(
      " Note ;DOMAIN; 对外标价 ;价格;cost;registrar;final;sold_on\n"
      "\"a;b\";x.com;100;9;1.005;西数;50;2017-3-15\n"
      "n;y.com;;;;;;\n",
      lists_);
  ASSERT_TRUE(import.ok()) << import.error;
  EXPECT_EQ(import.unknownColumns, (Fields{"价格"}));
  EXPECT_EQ(unknownColumnsWarning(import.unknownColumns), "未知的列已跳过: 价格");
  ASSERT_EQ(import.rows.size(), 2u);
  ASSERT_TRUE(import.rows[0].record);
  const DomainRecord& r = *import.rows[0].record;
  EXPECT_EQ(r[DomainField::Name], "x.com");
  EXPECT_EQ(r[DomainField::Note], "a;b");
  EXPECT_EQ(r[DomainField::AskingPrice], "100");
  EXPECT_EQ(r[DomainField::OneTimeCost], "1.01");
  EXPECT_EQ(r[DomainField::Registrar], "西数");
  EXPECT_EQ(r[DomainField::Profit], "48.99");
  EXPECT_EQ(r[DomainField::SoldOn], "2017-03-15");
  ASSERT_TRUE(import.rows[1].record);
  EXPECT_EQ((*import.rows[1].record)[DomainField::Registrar], "-");
}

TEST_F(CsvImportTest, AmountsMustBeNumbersAndSemicolonFilesTakeDecimalCommas) {
  const CsvImport semicolons = readCsvImport(
      "域名;一次成本;标价\nx.com;12,5;1,5\ny.com;12abc;\nt.com;1;12,345\n"
      "u.com;1,000;\n",
      lists_);
  ASSERT_TRUE(semicolons.ok()) << semicolons.error;
  ASSERT_EQ(semicolons.rows.size(), 4u);
  ASSERT_TRUE(semicolons.rows[0].record);
  EXPECT_EQ((*semicolons.rows[0].record)[DomainField::OneTimeCost], "12.5");
  EXPECT_EQ((*semicolons.rows[0].record)[DomainField::AskingPrice], "1.5");
  // Not a number, or a comma that may separate thousands: refused, the field named.
  EXPECT_EQ(semicolons.rows[1].tag, kTagBadOneTimeCost);
  EXPECT_EQ(semicolons.rows[2].tag, kTagBadAskingPrice);
  EXPECT_EQ(semicolons.rows[3].tag, kTagBadOneTimeCost);

  // With commas separating the fields, "12,5" must have been quoted, and a
  // quoted decimal comma is not taken for a number.
  const CsvImport commas = readCsvImport("domain,cost\nz.com,\"12,5\"\n", lists_);
  ASSERT_EQ(commas.rows.size(), 1u);
  EXPECT_FALSE(commas.rows[0].record);
}

TEST_F(CsvImportTest, TheRunGivesTheSameFailureListAsTheWindow) {
  const std::string csv =
      "域名,注册商,备注\r\n"
      "a.com,西数,\"it's, \"\"quoted\"\"\"\r\n"
      "b.com,爱名,\r\n"
      "a.com,,\r\n"
      "broken.com,,,extra\r\n"
      "\"q1.com\nq2.com\",,\r\n"
      "c.com,,\"never closed\r\n"
      "d.com,,\r\n";
  const CsvImport import = readCsvImport(csv, lists_);
  ASSERT_TRUE(import.ok());
  const BatchAddResult result = runBatchAddRows(db(), import.rows);
  EXPECT_EQ(result.total, 7u);
  EXPECT_EQ(result.added, 2u);
  EXPECT_EQ(result.failures,
            "b.com[注册商字段不正确]\r\n"
            "a.com[格式错误,或域名已存在]\r\n"
            "第 5 行[格式错误]\r\n"
            "q1.com\nq2.com[格式错误]\r\n"
            "第 8 行[格式错误]\r\n");
  std::vector<std::string> notes;
  db().query("SELECT 域名, 备注 FROM 域名 ORDER BY id", {},
             [&](const SqlRow& row) { notes.push_back(row.text(0) + "=" + row.text(1)); });
  EXPECT_EQ(notes, (Fields{"a.com=it's, \"quoted\"", "d.com="}));
}

TEST_F(CsvImportTest, AFileThatCannotBeImportedIsAnError) {
  for (const std::string text : {"", "registrar,note\nx,y\n", "域名,domain\na,b\n",
                                 "标价,对外标价,域名\n1,2,a\n", "\"域名\n"}) {
    EXPECT_FALSE(readCsvImport(text, lists_).ok()) << text;
  }
}

}  // namespace
}  // namespace pelmora::testing
